#include "catalogdb.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QStringList>
#include <atomic>

namespace {

// The tables keep their column order: readers take columns by position.
const char* const createTables[] = {
    "CREATE TABLE Disks (DiskID INTEGER PRIMARY KEY AUTOINCREMENT, DiskName TEXT, Drive TEXT)",
    "CREATE TABLE Dirs (DirID INTEGER PRIMARY KEY AUTOINCREMENT, DiskID INTEGER, DirName TEXT)",
    "CREATE TABLE Tracks (TrackID INTEGER PRIMARY KEY AUTOINCREMENT, DirID INTEGER, "
    "DiskID INTEGER, Title TEXT, TrackName TEXT, Duration TEXT, Artist TEXT, Album TEXT)",
};

// Views and indexes are safe to add to an existing catalogue that lacks them.
const char* const createExtras[] = {
    "CREATE INDEX IF NOT EXISTS TracksByName ON Tracks(TrackName)",
    "CREATE INDEX IF NOT EXISTS TracksByDir ON Tracks(DirID)",
    "CREATE INDEX IF NOT EXISTS TracksByDisk ON Tracks(DiskID)",
    "CREATE INDEX IF NOT EXISTS DirsByDisk ON Dirs(DiskID)",
    "CREATE VIEW IF NOT EXISTS \"Directories by Disk\" AS "
    "SELECT Disks.DiskName, Disks.Drive, Dirs.DirName, Dirs.DirID, Disks.DiskID "
    "FROM Disks JOIN Dirs ON Dirs.DiskID = Disks.DiskID "
    "ORDER BY Disks.DiskName, Dirs.DirName",
    "CREATE VIEW IF NOT EXISTS \"Tracks by Disk\" AS "
    "SELECT Disks.DiskName, Tracks.TrackName, Tracks.Title, Tracks.Artist, Tracks.Album, "
    "Tracks.Duration FROM Disks JOIN Tracks ON Tracks.DiskID = Disks.DiskID "
    "ORDER BY Disks.DiskName, Tracks.TrackName",
    "CREATE VIEW IF NOT EXISTS \"Tracks by Disk and Directory\" AS "
    "SELECT Disks.DiskName, Dirs.DirName, Tracks.TrackName, Tracks.Title, Tracks.Artist, "
    "Tracks.Album, Tracks.Duration FROM Tracks "
    "JOIN Dirs ON Dirs.DirID = Tracks.DirID JOIN Disks ON Disks.DiskID = Tracks.DiskID "
    "ORDER BY Disks.DiskName, Dirs.DirName, Tracks.TrackName",
    "CREATE VIEW IF NOT EXISTS \"Full List\" AS "
    "SELECT Tracks.TrackID, Disks.DiskName, Disks.Drive, Dirs.DirName, Tracks.TrackName, "
    "Tracks.Title, Tracks.Artist, Tracks.Album, Tracks.Duration FROM Tracks "
    "LEFT JOIN Dirs ON Dirs.DirID = Tracks.DirID "
    "LEFT JOIN Disks ON Disks.DiskID = Tracks.DiskID ORDER BY Tracks.TrackID",
};

const QStringList diskColumns = {"DiskID", "DiskName", "Drive"};
const QStringList dirColumns = {"DirID", "DiskID", "DirName"};
const QStringList trackColumns = {"TrackID",   "DirID",    "DiskID", "Title",
                                  "TrackName", "Duration", "Artist", "Album"};

QString uniqueConnectionName(const QString& purpose) {
    static std::atomic<int> counter{0};
    return QStringLiteral("catalog-%1-%2").arg(purpose).arg(++counter);
}

void applyPragmas(const QSqlDatabase& db) {
    QSqlQuery q(db);
    // A new catalogue gets small pages: a scan commits every row on its own, and each commit
    // writes every page it touched to the log. (An existing file keeps its page size.)
    q.exec("PRAGMA page_size=1024");
    q.exec("PRAGMA journal_mode=WAL");
    q.exec("PRAGMA synchronous=NORMAL");
    q.exec("PRAGMA foreign_keys=OFF");
    q.exec("PRAGMA busy_timeout=5000");
}

bool hasSqliteHeader(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return file.read(16) == QByteArray("SQLite format 3\0", 16);
}

QStringList columnsOf(const QSqlDatabase& db, const QString& table) {
    QSqlQuery q(db);
    QStringList names;
    if (!q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(table)))
        return names;
    while (q.next())
        names << q.value(1).toString();
    return names;
}

bool sameColumns(const QStringList& found, const QStringList& wanted) {
    if (found.size() != wanted.size())
        return false;
    for (int i = 0; i < found.size(); ++i)
        if (found[i].compare(wanted[i], Qt::CaseInsensitive) != 0)
            return false;
    return true;
}

// Checks, without writing, that an existing file is a catalogue this program can use, and
// reads its schema version.
QString whyNotCatalogue(const QString& path, int& version) {
    const QString notCatalogue =
        QStringLiteral("The file \"%1\" is not a catalogue.").arg(QDir::toNativeSeparators(path));
    if (!hasSqliteHeader(path))
        return notCatalogue;
    QString why;
    const QString name = uniqueConnectionName("check");
    // Reading a WAL-mode file makes SQLite create its log and shared-memory files beside it.
    const bool hadLog = QFileInfo::exists(path + "-wal");
    const bool hadShm = QFileInfo::exists(path + "-shm");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
        db.setDatabaseName(path);
        db.setConnectOptions("QSQLITE_OPEN_READONLY");
        if (!db.open()) {
            why = notCatalogue + "\n" + db.lastError().text();
        } else if (!sameColumns(columnsOf(db, "Disks"), diskColumns) ||
                   !sameColumns(columnsOf(db, "Dirs"), dirColumns) ||
                   !sameColumns(columnsOf(db, "Tracks"), trackColumns)) {
            why = notCatalogue;
        } else {
            QSqlQuery q(db);
            version = q.exec("PRAGMA user_version") && q.next() ? q.value(0).toInt() : 0;
            if (version > catalogdb::SchemaVersion)
                why = QStringLiteral("The catalogue \"%1\" was made by a newer version of Catalog.")
                          .arg(QDir::toNativeSeparators(path));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (!hadLog && QFileInfo(path + "-wal").size() == 0)
        QFile::remove(path + "-wal");
    if (!hadShm)
        QFile::remove(path + "-shm");
    return why;
}

void runAll(const QSqlDatabase& db, const char* const* begin, const char* const* end) {
    for (auto it = begin; it != end; ++it)
        catalogdb::run(db, QString::fromLatin1(*it));
}

} // namespace

namespace catalogdb {

void exec(QSqlQuery& query) {
    if (!query.exec())
        throw CatalogError(
            QStringLiteral("%1\n%2").arg(query.lastQuery(), query.lastError().text()));
}

void exec(QSqlQuery& query, const QString& statement) {
    if (!query.exec(statement))
        throw CatalogError(QStringLiteral("%1\n%2").arg(statement, query.lastError().text()));
}

QSqlQuery run(const QSqlDatabase& db, const QString& statement, const QVariantList& values) {
    QSqlQuery query(db);
    if (values.isEmpty()) {
        exec(query, statement);
        return query;
    }
    if (!query.prepare(statement))
        throw CatalogError(QStringLiteral("%1\n%2").arg(statement, query.lastError().text()));
    for (const QVariant& value : values)
        query.addBindValue(value);
    exec(query);
    return query;
}

Preparation prepare(const QString& path) {
    Preparation result;
    const QFileInfo info(path);
    const bool isNew = !info.exists() || info.size() == 0;
    if (info.exists() && !info.isFile()) {
        result.error = QStringLiteral("\"%1\" is not a file.").arg(QDir::toNativeSeparators(path));
        return result;
    }
    if (!isNew) {
        int version = 0;
        result.error = whyNotCatalogue(path, version);
        if (!result.error.isEmpty())
            return result;
        // A catalogue of this version has its views and indexes: opening it writes nothing.
        if (version == SchemaVersion) {
            result.ok = true;
            return result;
        }
    }
    try {
        CatalogConnection connection(path, "prepare");
        if (!connection.isOpen())
            throw CatalogError(connection.lastError());
        const QSqlDatabase db = connection.db();
        Transaction transaction(db);
        if (isNew)
            runAll(db, std::begin(createTables), std::end(createTables));
        runAll(db, std::begin(createExtras), std::end(createExtras));
        run(db, QStringLiteral("PRAGMA user_version=%1").arg(SchemaVersion));
        transaction.commit();
    } catch (const CatalogError& e) {
        result.error = QStringLiteral("The catalogue \"%1\" cannot be opened.\n%2")
                           .arg(QDir::toNativeSeparators(path), e.message());
        return result;
    }
    result.ok = true;
    result.created = isNew;
    return result;
}

qint64 countTracks(const QString& path, QString* error) {
    try {
        // Opening would create a missing file: the probe never makes a catalogue.
        if (!QFileInfo(path).isFile())
            throw CatalogError(QStringLiteral("The catalogue \"%1\" is not there.")
                                   .arg(QDir::toNativeSeparators(path)));
        CatalogConnection connection(path, "probe");
        if (!connection.isOpen())
            throw CatalogError(connection.lastError());
        QSqlQuery q = run(connection.db(), "SELECT COUNT(*) FROM Tracks");
        return q.next() ? q.value(0).toLongLong() : 0;
    } catch (const CatalogError& e) {
        if (error)
            *error = e.message();
        return -1;
    }
}

} // namespace catalogdb

CatalogConnection::CatalogConnection(const QString& path, const QString& purpose)
    : m_name(uniqueConnectionName(purpose)), m_path(path) {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", m_name);
    db.setDatabaseName(path);
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
    if (!db.open()) {
        m_error = db.lastError().text();
        return false;
    }
    applyPragmas(db);
    m_error.clear();
    return true;
}

void CatalogConnection::close() {
    QSqlDatabase db = this->db();
    if (db.isOpen())
        db.close();
}

Transaction::Transaction(QSqlDatabase db) : m_db(db) {
    if (!m_db.transaction())
        throw CatalogError(QStringLiteral("BEGIN\n%1").arg(m_db.lastError().text()));
}

Transaction::~Transaction() {
    if (!m_done)
        m_db.rollback();
}

void Transaction::commit() {
    if (!m_db.commit())
        throw CatalogError(QStringLiteral("COMMIT\n%1").arg(m_db.lastError().text()));
    m_done = true;
}
