// The tests' PostgreSQL server: each fresh database is empty and its own, its URI reaches it,
// it is gone once dropped, and a test without the server says why it fails.

#include "testserver.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSqlQuery>
#include <QTest>

#include <memory>

namespace {

QVariant single(const QSqlDatabase& db, const QString& statement) {
    QSqlQuery q(db);
    if (!q.exec(statement) || !q.next())
        return {};
    return q.value(0);
}

int tableCount(const QSqlDatabase& db) {
    return single(db, "SELECT count(*) FROM pg_tables WHERE schemaname = 'public'").toInt();
}

bool exists(const QString& database) {
    QSqlQuery q(QSqlDatabase::database("admin"));
    q.prepare("SELECT 1 FROM pg_database WHERE datname = ?");
    q.addBindValue(database);
    return q.exec() && q.next();
}

} // namespace

class TestServer : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { openServerConnection(testServerUri(), "admin"); }

    void freshDatabaseIsEmptyAndItsUriReachesIt() {
        {
            ServerDatabase fresh;
            QVERIFY(fresh.name().startsWith(
                QString("catalog_test_%1_").arg(QCoreApplication::applicationPid())));
            QSqlDatabase db = openServerConnection(fresh.uri(), "fresh");
            QCOMPARE(single(db, "SELECT current_database()").toString(), fresh.name());
            QCOMPARE(tableCount(db), 0);
        }
        QSqlDatabase::removeDatabase("fresh");
    }

    void twoDatabasesAreDistinct() {
        ServerDatabase first;
        ServerDatabase second;
        QVERIFY(first.name() != second.name());
        {
            QSqlDatabase one = openServerConnection(first.uri(), "first");
            QSqlDatabase two = openServerConnection(second.uri(), "second");
            QVERIFY(QSqlQuery(one).exec("CREATE TABLE Disks (DiskID int)"));
            QCOMPARE(tableCount(one), 1);
            QCOMPARE(tableCount(two), 0);
        }
        QSqlDatabase::removeDatabase("first");
        QSqlDatabase::removeDatabase("second");
    }

    // A test may end with its own connection still open: the drop ends it.
    void droppedDatabaseIsGoneEvenWhileConnected() {
        {
            auto fresh = std::make_unique<ServerDatabase>();
            const QString name = fresh->name();
            QVERIFY(exists(name));
            QSqlDatabase db = openServerConnection(fresh->uri(), "open");
            fresh.reset();
            QVERIFY(!exists(name));
        }
        QSqlDatabase::removeDatabase("open");
    }

    void withoutServerTheTestFailsSayingWhy() {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("CATALOG_TEST_SERVER");
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), {"twoDatabasesAreDistinct"});
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE_NE(child.exitCode(), 0);
        QVERIFY2(child.readAll().contains("CATALOG_TEST_SERVER is not set"), "no reason given");
    }
};

QTEST_GUILESS_MAIN(TestServer)

#include "test_testserver.moc"
