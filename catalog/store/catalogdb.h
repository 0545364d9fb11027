#pragma once

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <stdexcept>

// A database statement that failed, with the statement and the engine's message, and the
// engine's result code (0 when the failure did not come from the engine).
class CatalogError : public std::runtime_error {
public:
    explicit CatalogError(const QString& message, int code = 0)
        : std::runtime_error(message.toStdString()), m_code(code) {}
    QString message() const { return QString::fromStdString(what()); }
    int code() const { return m_code; }

private:
    int m_code;
};

namespace catalogdb {

// 1: the three tables, the report views, the indexes. 2: the tables that keep the bytes of
// names that are not UTF-8, DirNameBytes and TrackNameBytes. 3: DiskVolumes, the volume each
// disk was last scanned from. 4: the index of disks by name, DisksByName, with the planner's
// figure for it. The steps are listed in fileengine.cpp; the last one's number is this one.
inline constexpr int SchemaVersion = 4;
// The result codes the program tells apart, whatever the engine: SQLite's primary codes, and
// one of the program's own for a server that cannot be reached.
namespace codes {
inline constexpr int Busy = 5;
inline constexpr int Locked = 6;
inline constexpr int ReadOnly = 8;
inline constexpr int Interrupted = 9;
inline constexpr int Corrupt = 11;
inline constexpr int Full = 13;
inline constexpr int NotADatabase = 26;
inline constexpr int Unreachable = 1000;
} // namespace codes
// The result code for damage a check finds.
inline constexpr int DamagedCode = codes::Corrupt;

// What `prepare` found at a path.
struct Preparation {
    bool ok = false;
    bool created = false; // a new, empty catalogue was made
    QString error;        // why the file was refused, when !ok
};

// Makes sure `path` holds a catalogue. A missing or empty file, or an empty server database,
// becomes a new catalogue; a file or database that is not one, or a damaged catalogue, is
// refused and never modified. Other programs may have the catalogue open meanwhile: none of
// their files is touched.
// With PageCheck::Later, every page but the schema's is left for the caller to check with
// checkPages, as loading the lists does beside its own reading.
enum class PageCheck { Now, Later };
Preparation prepare(const QString& path, PageCheck pages = PageCheck::Now);

// Reads every page of the catalogue at `path` on a connection of its own, so any thread may
// run it. Throws CatalogError when a page is damaged (a code that failureOf calls Damaged) or
// the file cannot be read. A server checks its own pages.
void checkPages(const QString& path);

// What the engine's result code says went wrong, in the program's terms.
enum class Failure { Other, InUse, ReadOnly, DiskFull, Damaged, Unreachable };
Failure failureOf(int code);
int resultCode(const QSqlError& error, const QSqlDriver* driver);

// Where compaction keeps the catalogue's last complete copy.
QString backupPath(const QString& path);
// A catalogue that cannot be read completely: names the file, says whether it is damaged and
// points at the backup.
QString unreadableMessage(const QString& path, const CatalogError& error);
// A failed command's error as a person reads it: what happened to the catalogue at `path` and
// what to do. The statement and the engine's words go to the log, not to the person, except
// for failures the program has no words of its own for.
QString plainMessage(const QString& path, const CatalogError& error);

// Whether `location` holds a catalogue already, without making one: a file with something in
// it, or a database with the tables. A server that cannot be reached says yes, so that opening
// it tells why.
bool holdsCatalogue(const QString& location);

// Number of rows of Tracks, or -1 with `error` set when the catalogue cannot be read.
qint64 countTracks(const QString& path, QString* error);

// Runs a prepared or plain statement, throwing CatalogError with the statement text and the
// engine's message when it fails.
void prepareStatement(QSqlQuery& query, const QString& statement);
void exec(QSqlQuery& query);
void exec(QSqlQuery& query, const QString& statement);
QSqlQuery run(const QSqlDatabase& db, const QString& statement, const QVariantList& values = {});
// A text that is not there (a tag, a label) is stored as empty text: a null string would be
// bound as NULL.
inline QString textOrEmpty(const QString& text) {
    return text.isNull() ? QStringLiteral("") : text;
}

// A name for a new connection, unique in the program.
QString connectionName(const QString& purpose);

} // namespace catalogdb

// One named connection to the catalogue (a file, or a database on a server), closed and removed
// when it goes out of scope.
class CatalogConnection {
public:
    CatalogConnection(const QString& path, const QString& purpose);
    ~CatalogConnection();
    CatalogConnection(const CatalogConnection&) = delete;
    CatalogConnection& operator=(const CatalogConnection&) = delete;

    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }
    bool isOpen() const { return db().isOpen(); }
    QString lastError() const { return m_error; }
    QString path() const { return m_path; }
    // Opens again after `close` (the catalogue file may have been replaced meanwhile).
    bool reopen();
    void close();

private:
    QString m_name;
    QString m_path;
    QString m_error;
    QString m_unusable; // why the location cannot be opened at all
};

// Rolls back unless committed. An immediate transaction takes the write lock at once, so that
// what it reads cannot be changed by another program before it writes; a snapshot reads one
// state of the catalogue in all its statements.
class Transaction {
public:
    enum class Mode { Deferred, Immediate, Snapshot };
    explicit Transaction(QSqlDatabase db, Mode mode = Mode::Deferred);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    QSqlDatabase m_db;
    bool m_done = false;
};
