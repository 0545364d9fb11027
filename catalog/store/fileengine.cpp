#include "backgroundcheckpoint.h"
#include "catalogengine.h"
#include "catalogtables.h"
#include "compaction.h"
#include "engines.h"
#include "filereportcursor.h"
#include "playingseconds.h"
#include "rowwriter.h"
#include "sqliterows.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlError>
#include <QStringList>
#include <memory>
#include <sqlite3.h>
#include <vector>

// A catalogue in a SQLite file.
namespace {

using catalogdb::codes::Corrupt;
using catalogdb::codes::NotADatabase;

const char* const createTables[] = {
    "CREATE TABLE Disks (DiskID INTEGER PRIMARY KEY AUTOINCREMENT, DiskName TEXT, Drive TEXT)",
    "CREATE TABLE Dirs (DirID INTEGER PRIMARY KEY AUTOINCREMENT, DiskID INTEGER, DirName TEXT)",
    "CREATE TABLE Tracks (TrackID INTEGER PRIMARY KEY AUTOINCREMENT, DirID INTEGER, "
    "DiskID INTEGER, Title TEXT, TrackName TEXT, Duration TEXT, Artist TEXT, Album TEXT)",
};

// The changes each version of the schema made to the one before, in order. A catalogue of an
// older version gains the steps above its own, all in one transaction; a new catalogue gets
// them all. Version 1 was the three tables with the views and indexes below; another SQLite
// tool's catalogue, without a version, is of version 0. The statements tolerate what is there
// already (a version number set back by another tool).
struct UpgradeStep {
    int version;
    std::vector<const char*> statements;
};

const UpgradeStep upgradeSteps[] = {
    // A name that is not UTF-8 is stored readably in its table, with U+FFFD for each byte that
    // is not; its own bytes lie beside it, so that the file can be reached again.
    {2,
     {"CREATE TABLE IF NOT EXISTS DirNameBytes (DirID INTEGER PRIMARY KEY, Bytes BLOB)",
      "CREATE TABLE IF NOT EXISTS TrackNameBytes (TrackID INTEGER PRIMARY KEY, Bytes BLOB)"}},
    // The volume each disk was last scanned from, so that the disk is known when it is back
    // in a drive. ScannedAt is ISO 8601 in UTC.
    {3,
     {"CREATE TABLE IF NOT EXISTS DiskVolumes (DiskID INTEGER PRIMARY KEY, Label TEXT, "
      "Uuid TEXT, FileSystem TEXT, Capacity INTEGER, ScannedAt TEXT)"}},
    // The reports ordered by disk name walk the disks in that order and sort each disk's few
    // rows, instead of sorting all the tracks before the first row. The planner takes that way
    // only when it knows that Disks is small beside the other tables, as it is; a row of its
    // statistics tells it so from the start, with no ANALYZE of an empty catalogue (which would
    // say nothing). An ANALYZE by another tool replaces the row with the real figures.
    {4,
     {"CREATE INDEX IF NOT EXISTS DisksByName ON Disks(DiskName)",
      "ANALYZE sqlite_schema", // makes the statistics table when it is missing
      "DELETE FROM sqlite_stat1 WHERE tbl = 'Disks' AND idx = 'DisksByName'",
      "INSERT INTO sqlite_stat1 (tbl, idx, stat) VALUES ('Disks', 'DisksByName', '10000 1')"}},
};

void applyPragmas(const QSqlDatabase& db) {
    QSqlQuery q(db);
    // First, so that the others wait for a program that holds the catalogue for a moment.
    q.exec("PRAGMA busy_timeout=5000");
    q.exec("PRAGMA journal_mode=WAL");
    q.exec("PRAGMA synchronous=NORMAL");
    q.exec("PRAGMA foreign_keys=OFF");
}

QByteArray headerOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(100) : QByteArray();
}

bool hasSqliteHeader(const QByteArray& header) {
    return header.startsWith(QByteArray("SQLite format 3\0", 16));
}

QStringList columnsOf(const QSqlDatabase& db, const QString& table) {
    QStringList names;
    QSqlQuery q = catalogdb::run(db, QStringLiteral("PRAGMA table_info(%1)").arg(table));
    while (q.next())
        names << q.value(1).toString();
    return names;
}

QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString notCatalogueMessage(const QString& path) {
    return QStringLiteral("The file \"%1\" is not a catalogue.").arg(nativePath(path));
}

// Reads the schema of an existing file without writing to it, and checks its pages.
// What checking an existing file found.
struct Examined {
    QString why; // why it cannot be used; empty when it can
    int version = 0;
    bool noSchema = false;      // a database without tables: new, or still being made elsewhere
    bool viewsAsDefined = true; // the reports' views are the program's own
};

QString viewName(const QString& statement) {
    return statement.section('"', 1, 1);
}

bool isView(const QString& statement) {
    return statement.startsWith("CREATE VIEW");
}

// A report view changed elsewhere (a query that never ends, say) would run in its place.
bool viewsAsDefined(const QSqlDatabase& db) {
    QHash<QString, QString> stored;
    QSqlQuery q = catalogdb::run(db, "SELECT name, sql FROM sqlite_master WHERE type = 'view'");
    while (q.next())
        stored.insert(q.value(0).toString(), q.value(1).toString());
    for (const char* extra : catalogtables::extras) {
        QString statement = QString::fromLatin1(extra);
        if (!isView(statement))
            continue;
        // The engine keeps a view's statement without its "IF NOT EXISTS".
        const QString name = viewName(statement);
        if (stored.value(name) != statement.replace("CREATE VIEW IF NOT EXISTS ", "CREATE VIEW "))
            return false;
    }
    return true;
}

QString checkCatalogue(const QSqlDatabase& db, const QString& path, catalogdb::PageCheck pages,
                       Examined& found) {
    QSqlQuery objects = catalogdb::run(db, "SELECT COUNT(*) FROM sqlite_master");
    found.noSchema = objects.next() && objects.value(0).toInt() == 0;
    objects.finish();
    if (!catalogtables::sameColumns(columnsOf(db, "Disks"), catalogtables::diskColumns) ||
        !catalogtables::sameColumns(columnsOf(db, "Dirs"), catalogtables::dirColumns) ||
        !catalogtables::sameColumns(columnsOf(db, "Tracks"), catalogtables::trackColumns))
        return notCatalogueMessage(path);
    QSqlQuery q = catalogdb::run(db, "PRAGMA user_version");
    found.version = q.next() ? q.value(0).toInt() : 0;
    if (found.version > catalogdb::SchemaVersion)
        return QStringLiteral("The catalogue \"%1\" was made by a newer version of Catalog.")
            .arg(nativePath(path));
    q.finish();
    found.viewsAsDefined = viewsAsDefined(db);
    // A damaged page throws, and is reported as any error met while examining the file.
    if (pages == catalogdb::PageCheck::Now)
        catalogdb::checkPages(path);
    return {};
}

QString whyCannotRead(const QString& path, const CatalogError& error) {
    const QString folder = QFileInfo(path).absolutePath();
    if (error.code() == NotADatabase)
        return notCatalogueMessage(path) + "\n" + error.message();
    if (catalogdb::failureOf(error.code()) == catalogdb::Failure::Damaged)
        return catalogdb::unreadableMessage(path, error);
    if (catalogdb::failureOf(error.code()) == catalogdb::Failure::InUse)
        return QStringLiteral("The catalogue \"%1\" is in use by another program that holds it "
                              "alone (compacting it, perhaps). Try again in a moment.\n%2")
            .arg(nativePath(path), error.message());
    if (!QFileInfo(folder).isWritable())
        return QStringLiteral("The catalogue \"%1\" cannot be opened: its folder \"%2\" is "
                              "read-only, and the catalogue's log must be kept beside it.\n%3")
            .arg(nativePath(path), nativePath(folder), error.message());
    return QStringLiteral("The catalogue \"%1\" cannot be read.\n%2")
        .arg(nativePath(path), error.message());
}

// Checks, without writing, that an existing file is a catalogue this program can use, and
// reads its schema version. The connection may read and write, so that SQLite itself removes
// the log files it made for it when it is the last to close; it never removes files another
// program is using.
Examined examine(const QString& path, catalogdb::PageCheck pages) {
    // An empty file is a catalogue another program is making, still all in its log.
    Examined found;
    if (QFileInfo(path).size() > 0 && !hasSqliteHeader(headerOf(path))) {
        found.why = notCatalogueMessage(path);
        return found;
    }
    const QString name = catalogdb::connectionName("check");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
        db.setDatabaseName(path);
        db.setConnectOptions("QSQLITE_BUSY_TIMEOUT=5000");
        try {
            if (!db.open())
                throw CatalogError(db.lastError().text(),
                                   catalogdb::resultCode(db.lastError(), db.driver()));
            found.why = checkCatalogue(db, path, pages, found);
        } catch (const CatalogError& e) {
            found.why = whyCannotRead(path, e);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return found;
}

void runAll(const QSqlDatabase& db, const char* const* begin, const char* const* end) {
    for (auto it = begin; it != end; ++it)
        catalogdb::run(db, QString::fromLatin1(*it));
}

// Runs the upgrade steps above `fromVersion`, in the caller's transaction.
void applySteps(const QSqlDatabase& db, int fromVersion) {
    for (const UpgradeStep& step : upgradeSteps)
        if (step.version > fromVersion)
            runAll(db, step.statements.data(), step.statements.data() + step.statements.size());
}

// Makes the tables, views and indexes of a new catalogue. False when another program made
// them first (its catalogue is then checked as any existing one).
bool createCatalogue(const QString& path) {
    CatalogConnection connection(path, "prepare");
    if (!connection.isOpen())
        throw CatalogError(connection.lastError());
    const QSqlDatabase db = connection.db();
    Transaction transaction(db, Transaction::Mode::Immediate);
    QSqlQuery q = catalogdb::run(db, "SELECT COUNT(*) FROM sqlite_master");
    if (q.next() && q.value(0).toInt() > 0)
        return false;
    runAll(db, std::begin(createTables), std::end(createTables));
    applySteps(db, 0);
    runAll(db, std::begin(catalogtables::extras), std::end(catalogtables::extras));
    catalogdb::run(db, QStringLiteral("PRAGMA user_version=%1").arg(catalogdb::SchemaVersion));
    transaction.commit();
    return true;
}

// Adds what an older catalogue lacks, and makes the reports' views the program's own again.
// The version is read again under the write lock: another program may have upgraded the
// catalogue since it was examined.
void upgradeCatalogue(const QString& path) {
    CatalogConnection connection(path, "prepare");
    if (!connection.isOpen())
        throw CatalogError(connection.lastError());
    const QSqlDatabase db = connection.db();
    Transaction transaction(db, Transaction::Mode::Immediate);
    int version = 0;
    {
        QSqlQuery q = catalogdb::run(db, "PRAGMA user_version");
        version = q.next() ? q.value(0).toInt() : 0;
    }
    if (version > catalogdb::SchemaVersion)
        throw CatalogError(
            QStringLiteral("The catalogue was made by a newer version of Catalog meanwhile."));
    applySteps(db, version);
    for (const char* extra : catalogtables::extras)
        if (const QString statement = QString::fromLatin1(extra); isView(statement))
            catalogdb::run(db,
                           QStringLiteral("DROP VIEW IF EXISTS \"%1\"").arg(viewName(statement)));
    runAll(db, std::begin(catalogtables::extras), std::end(catalogtables::extras));
    catalogdb::run(db, QStringLiteral("PRAGMA user_version=%1").arg(catalogdb::SchemaVersion));
    transaction.commit();
}

catalogdb::Preparation prepareFile(const QString& path, catalogdb::PageCheck pages) {
    catalogdb::Preparation result;
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        result.error = QStringLiteral("\"%1\" is not a file.").arg(nativePath(path));
        return result;
    }
    try {
        const bool isNew = !info.exists() || info.size() == 0;
        if (isNew && createCatalogue(path)) {
            result.ok = result.created = true;
            return result;
        }
        Examined found = examine(path, pages);
        // No tables yet: another program is making this catalogue right now (its tables may
        // still be in its log only), or it is an empty database. Make it, or wait for it.
        if (found.noSchema) {
            if (createCatalogue(path)) {
                result.ok = result.created = true;
                return result;
            }
            found = examine(path, pages);
        }
        result.error = found.why;
        if (!result.error.isEmpty())
            return result;
        // A catalogue of this version has its views and indexes: opening it writes nothing.
        // One on a read-only disk is read as it is.
        if (found.version != catalogdb::SchemaVersion || !found.viewsAsDefined) {
            try {
                upgradeCatalogue(path);
            } catch (const CatalogError& e) {
                if (catalogdb::failureOf(e.code()) != catalogdb::Failure::ReadOnly)
                    throw;
            }
        }
    } catch (const CatalogError& e) {
        result.error = QStringLiteral("The catalogue \"%1\" cannot be opened.\n%2")
                           .arg(nativePath(path), e.message());
        return result;
    }
    result.ok = true;
    return result;
}

void checkFilePages(const QString& path) {
    // SQLite's own interface: a Qt connection belongs to the thread that made it.
    sqlite3* opened = nullptr;
    const int code = sqlite3_open_v2(QFile::encodeName(path).constData(), &opened,
                                     SQLITE_OPEN_READWRITE, nullptr);
    const std::unique_ptr<sqlite3, decltype(&sqlite3_close_v2)> db(opened, sqlite3_close_v2);
    const auto fail = [&db](int result) {
        throw CatalogError(
            QString::fromUtf8(db ? sqlite3_errmsg(db.get()) : sqlite3_errstr(result)),
            result & 0xff);
    };
    if (code != SQLITE_OK)
        fail(code);
    sqlite3_busy_timeout(db.get(), 5000);
    sqlite3_stmt* prepared = nullptr;
    if (const int result =
            sqlite3_prepare_v2(db.get(), "PRAGMA quick_check(1)", -1, &prepared, nullptr);
        result != SQLITE_OK)
        fail(result);
    const std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> statement(prepared,
                                                                               sqlite3_finalize);
    const int result = sqlite3_step(statement.get());
    if (result != SQLITE_ROW)
        fail(result);
    const auto* verdict = reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), 0));
    if (!verdict || qstrcmp(verdict, "ok") != 0)
        throw CatalogError(QString::fromUtf8(verdict), Corrupt);
}

// Turns a connection's own checkpoints off for as long as it lives.
class AutoCheckpointOff {
public:
    explicit AutoCheckpointOff(const QSqlDatabase& db) : m_db(db) {
        QSqlQuery(m_db).exec("PRAGMA wal_autocheckpoint=0");
    }
    ~AutoCheckpointOff() { QSqlQuery(m_db).exec("PRAGMA wal_autocheckpoint=1000"); }
    AutoCheckpointOff(const AutoCheckpointOff&) = delete;
    AutoCheckpointOff& operator=(const AutoCheckpointOff&) = delete;

private:
    QSqlDatabase m_db;
};

// A long series of small transactions never waits for the disk: the log is moved into the file
// on a thread of its own meanwhile.
class QuickWrites : public LongWrite {
public:
    explicit QuickWrites(const QSqlDatabase& db) : m_off(db), m_checkpoint(db.databaseName()) {}

private:
    AutoCheckpointOff m_off;
    BackgroundCheckpoint m_checkpoint;
};

class FileEngine : public CatalogEngine {
public:
    QString driverName() const override { return QStringLiteral("QSQLITE"); }
    QString configure(QSqlDatabase& db, const QString& location) const override {
        db.setDatabaseName(location);
        return {};
    }
    void tune(const QSqlDatabase& db) const override {
        applyPragmas(db);
        addPlayingSecondsFunction(db);
    }
    QString openFailure(const QString&, const QSqlError& error) const override {
        return error.text();
    }
    catalogdb::Preparation prepare(const QString& location,
                                   catalogdb::PageCheck pages) const override {
        return prepareFile(location, pages);
    }
    void checkPages(const QString& location) const override { checkFilePages(location); }
    int resultCode(const QSqlError& error) const override {
        // The driver reports extended codes; their low byte is the primary one.
        return error.nativeErrorCode().toInt() & 0xff;
    }
    void beginWriting(const QSqlDatabase& db) const override {
        catalogdb::run(db, "BEGIN IMMEDIATE");
    }
    void readOneState(const QSqlDatabase&) const override {
        // A read transaction in a file sees one state from its first statement on.
    }
    std::unique_ptr<RowReader> rows(const QSqlDatabase& db,
                                    const QString& statement) const override {
        return std::make_unique<SqliteRows>(db, statement);
    }
    std::unique_ptr<RowWriter> rowWriter(const QSqlDatabase& db, const QString& table,
                                         const QStringList& columns) const override {
        return std::make_unique<RowWriter>(db, table, columns);
    }
    std::unique_ptr<LongWrite> beginLongWrite(const QSqlDatabase& db) const override {
        return std::make_unique<QuickWrites>(db);
    }
    QString compact(const QString& location) const override {
        return compaction::compact(location);
    }
    QString compactionWords() const override { return {}; }
    void resumeCounters(const QSqlDatabase&) const override {
        // AUTOINCREMENT counts on from the largest identifier stored.
    }
    void refreshStatistics(const QSqlDatabase&) const override {
        // The planner's one figure, that Disks is small, is part of the schema and holds.
    }
    QString greatest(const QString& a, const QString& b) const override {
        return QStringLiteral("max(%1, %2)").arg(a, b);
    }
    QString playingSeconds(const QString& column) const override {
        return "playing_seconds(" + column + ")";
    }
    QString orderKey(const QString& column, bool text, bool descending) const override {
        return column + (text ? " COLLATE NOCASE" : "") + (descending ? " DESC" : "");
    }
    std::unique_ptr<ReportCursor> reportCursor(const QString& location,
                                               const QString& statement) const override {
        return std::make_unique<FileReportCursor>(location, statement);
    }
};

} // namespace

const CatalogEngine& fileEngine() {
    static const FileEngine engine;
    return engine;
}
