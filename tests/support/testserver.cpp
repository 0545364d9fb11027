#include "testserver.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <cstdlib>
#include <libpq-fe.h>

namespace {

// Every later step of a test needs the server, so the program ends here, as QFAIL would end
// the test function, with the reason in the test log.
[[noreturn]] void failTest(const QString& why) {
    QTest::qFail(qPrintable(why), __FILE__, __LINE__);
    std::exit(EXIT_FAILURE);
}

// The URI with its database replaced: postgresql://[authority]/<database>[?parameters].
QString withDatabase(const QString& uri, const QString& database) {
    const qsizetype authority = uri.indexOf("://") + 3;
    qsizetype end = uri.indexOf('?', authority);
    if (end < 0)
        end = uri.size();
    qsizetype start = uri.indexOf('/', authority);
    if (start < 0 || start > end)
        start = end;
    return uri.left(start) + '/' + database + uri.mid(end);
}

// The connection keywords the driver has fields for; the test server's URIs use no others.
void applyOption(QSqlDatabase& db, const QString& key, const QString& value) {
    if (key == "host")
        db.setHostName(value);
    else if (key == "port")
        db.setPort(value.toInt());
    else if (key == "dbname")
        db.setDatabaseName(value);
    else if (key == "user")
        db.setUserName(value);
    else if (key == "password")
        db.setPassword(value);
    else
        failTest("a test connection takes host, port, dbname, user and password, not " + key);
}

} // namespace

QString testServerUri() {
    const QString uri = qEnvironmentVariable("CATALOG_TEST_SERVER");
    if (uri.isEmpty())
        failTest("CATALOG_TEST_SERVER is not set: run this test through CTest, whose fixture "
                 "test_server_start starts the test server");
    return uri;
}

QSqlDatabase openServerConnection(const QString& uri, const QString& connection) {
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(uri.toUtf8().constData(), &error);
    if (!options) {
        const QString why = error ? QString::fromUtf8(error).trimmed() : "out of memory";
        PQfreemem(error);
        failTest(QString("%1 is not a connection URI: %2").arg(uri, why));
    }
    QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", connection);
    for (const PQconninfoOption* option = options; option->keyword; ++option) {
        if (option->val)
            applyOption(db, option->keyword, QString::fromUtf8(option->val));
    }
    PQconninfoFree(options);
    if (!db.open())
        failTest(QString("cannot connect to %1: %2").arg(uri, db.lastError().text()));
    return db;
}

ServerDatabase::ServerDatabase() : m_serverUri(testServerUri()) {
    static int created = 0;
    m_name = QString("catalog_test_%1_%2").arg(QCoreApplication::applicationPid()).arg(++created);
    m_adminConnection = "admin " + m_name;
    QSqlQuery create(openServerConnection(m_serverUri, m_adminConnection));
    // template0 holds nothing and takes no connections: nothing put into template1 comes along,
    // and a connection to template1 cannot hold the creation up.
    if (!create.exec("CREATE DATABASE " + m_name + " TEMPLATE template0"))
        failTest(QString("cannot create %1: %2").arg(m_name, create.lastError().text()));
}

ServerDatabase::~ServerDatabase() {
    {
        QSqlQuery drop(QSqlDatabase::database(m_adminConnection, false));
        if (!drop.exec("DROP DATABASE " + m_name + " WITH (FORCE)"))
            qWarning("cannot drop %s: %s", qPrintable(m_name), qPrintable(drop.lastError().text()));
    }
    QSqlDatabase::removeDatabase(m_adminConnection);
}

QString ServerDatabase::uri() const {
    return withDatabase(m_serverUri, m_name);
}
