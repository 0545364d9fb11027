#include "catalogdb.h"

#include "catalogengine.h"

#include <QFileInfo>
#include <QSqlError>
#include <atomic>

namespace {

using namespace catalogdb::codes;

QString shown(const QString& location) {
    return catalogengine::displayName(location);
}

} // namespace

namespace catalogdb {

QString connectionName(const QString& purpose) {
    static std::atomic<int> counter{0};
    return QStringLiteral("catalog-%1-%2").arg(purpose).arg(++counter);
}

int resultCode(const QSqlError& error, const QSqlDriver* driver) {
    return catalogengine::forDriver(driver).resultCode(error);
}

Failure failureOf(int code) {
    switch (code) {
    case Busy:
    case Locked:
        return Failure::InUse;
    case ReadOnly:
        return Failure::ReadOnly;
    case Full:
        return Failure::DiskFull;
    case Corrupt:
    case NotADatabase:
        return Failure::Damaged;
    case Unreachable:
        return Failure::Unreachable;
    default:
        return Failure::Other;
    }
}

QString backupPath(const QString& path) {
    return path + ".bak";
}

QString unreadableMessage(const QString& path, const CatalogError& error) {
    const QString what = failureOf(error.code()) == Failure::Damaged
                             ? QStringLiteral("The catalogue \"%1\" is damaged: it cannot be "
                                              "read completely.")
                             : QStringLiteral("The catalogue \"%1\" cannot be read completely.");
    if (catalogengine::isServer(path))
        return QStringLiteral("%1\n\n%2").arg(what.arg(shown(path)), error.message());
    const QString backup = backupPath(path);
    const QString rescue =
        QFileInfo(backup).isFile()
            ? QStringLiteral("Its backup from the last compaction is \"%1\": choose that "
                             "file (or a copy of it) to go on.")
                  .arg(shown(backup))
            : QStringLiteral("There is no backup of it (compacting a catalogue backs it up to "
                             "\"%1\").")
                  .arg(shown(backup));
    return QStringLiteral("%1\n%2\n\n%3").arg(what.arg(shown(path)), rescue, error.message());
}

QString plainMessage(const QString& path, const CatalogError& error) {
    qWarning("%s", qPrintable(error.message()));
    switch (failureOf(error.code())) {
    case Failure::InUse:
        return QStringLiteral("The catalogue \"%1\" is busy: another window or program is "
                              "writing to it (a scan, perhaps). Try again in a moment.")
            .arg(shown(path));
    case Failure::ReadOnly:
        return QStringLiteral("The catalogue \"%1\" is read-only.").arg(shown(path));
    case Failure::DiskFull:
        return QStringLiteral("The disk holding the catalogue \"%1\" is full. Make room on it "
                              "and try again.")
            .arg(shown(path));
    case Failure::Damaged:
        return unreadableMessage(path, error);
    case Failure::Unreachable:
        return error.message();
    case Failure::Other:
        break;
    }
    return QStringLiteral("The catalogue \"%1\" could not be changed.\n%2")
        .arg(shown(path), error.message());
}

void exec(QSqlQuery& query) {
    if (!query.exec())
        throw CatalogError(
            QStringLiteral("%1\n%2").arg(query.lastQuery(), query.lastError().text()),
            resultCode(query.lastError(), query.driver()));
}

void exec(QSqlQuery& query, const QString& statement) {
    if (!query.exec(statement))
        throw CatalogError(QStringLiteral("%1\n%2").arg(statement, query.lastError().text()),
                           resultCode(query.lastError(), query.driver()));
}

void prepareStatement(QSqlQuery& query, const QString& statement) {
    if (!query.prepare(statement))
        throw CatalogError(QStringLiteral("%1\n%2").arg(statement, query.lastError().text()),
                           resultCode(query.lastError(), query.driver()));
}

QSqlQuery run(const QSqlDatabase& db, const QString& statement, const QVariantList& values) {
    QSqlQuery query(db);
    if (values.isEmpty()) {
        exec(query, statement);
        return query;
    }
    if (!query.prepare(statement))
        throw CatalogError(QStringLiteral("%1\n%2").arg(statement, query.lastError().text()),
                           resultCode(query.lastError(), query.driver()));
    for (const QVariant& value : values)
        query.addBindValue(value);
    exec(query);
    return query;
}

Preparation prepare(const QString& path, PageCheck pages) {
    return catalogengine::forLocation(path).prepare(path, pages);
}

void checkPages(const QString& path) {
    catalogengine::forLocation(path).checkPages(path);
}

bool holdsCatalogue(const QString& location) {
    if (!catalogengine::isServer(location))
        return QFileInfo(location).isFile() && QFileInfo(location).size() > 0;
    CatalogConnection connection(location, "probe");
    return !connection.isOpen() ||
           connection.db().tables().contains(QStringLiteral("tracks"), Qt::CaseInsensitive);
}

qint64 countTracks(const QString& path, QString* error) {
    // Opening would create a missing file: the probe never makes a catalogue.
    if (!catalogengine::mayExist(path)) {
        if (error)
            *error = QStringLiteral("The catalogue \"%1\" is not there.").arg(shown(path));
        return -1;
    }
    try {
        CatalogConnection connection(path, "probe");
        if (!connection.isOpen())
            throw CatalogError(connection.lastError());
        QSqlQuery q = run(connection.db(), "SELECT COUNT(*) FROM Tracks");
        return q.next() ? q.value(0).toLongLong() : 0;
    } catch (const CatalogError& e) {
        if (error)
            *error = unreadableMessage(path, e);
        return -1;
    }
}

} // namespace catalogdb

CatalogConnection::CatalogConnection(const QString& path, const QString& purpose)
    : m_name(catalogdb::connectionName(purpose)), m_path(path) {
    const CatalogEngine& engine = catalogengine::forLocation(path);
    QSqlDatabase db = QSqlDatabase::addDatabase(engine.driverName(), m_name);
    m_unusable = engine.configure(db, path);
    reopen();
}

CatalogConnection::~CatalogConnection() {
    close();
    QSqlDatabase::removeDatabase(m_name);
}

bool CatalogConnection::reopen() {
    QSqlDatabase db = this->db();
    if (db.isOpen())
        return true;
    if (!m_unusable.isEmpty()) {
        m_error = m_unusable;
        return false;
    }
    const CatalogEngine& engine = catalogengine::forLocation(m_path);
    if (!db.open()) {
        m_error = engine.openFailure(m_path, db.lastError());
        return false;
    }
    engine.tune(db);
    m_error.clear();
    return true;
}

void CatalogConnection::close() {
    QSqlDatabase db = this->db();
    if (db.isOpen())
        db.close();
}

Transaction::Transaction(QSqlDatabase db, Mode mode) : m_db(db) {
    const CatalogEngine& engine = catalogengine::forConnection(m_db);
    if (mode == Mode::Immediate) {
        engine.beginWriting(m_db);
        return;
    }
    if (!m_db.transaction())
        throw CatalogError(QStringLiteral("BEGIN\n%1").arg(m_db.lastError().text()),
                           catalogdb::resultCode(m_db.lastError(), m_db.driver()));
    if (mode == Mode::Snapshot)
        engine.readOneState(m_db);
}

Transaction::~Transaction() {
    if (!m_done)
        m_db.rollback();
}

void Transaction::commit() {
    if (!m_db.commit())
        throw CatalogError(QStringLiteral("COMMIT\n%1").arg(m_db.lastError().text()),
                           catalogdb::resultCode(m_db.lastError(), m_db.driver()));
    m_done = true;
}
