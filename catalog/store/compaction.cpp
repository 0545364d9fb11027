#include "compaction.h"

#include "catalogdb.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlQuery>
#include <atomic>
#include <cstdio>
#include <optional>

namespace {

QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

const char* const logSuffixes[] = {"-wal", "-shm", "-journal"};

// A work file and its logs, none of which may be there before the program makes them.
bool nameIsFree(const QString& path) {
    if (QFileInfo::exists(path))
        return false;
    for (const char* suffix : logSuffixes)
        if (QFileInfo::exists(path + suffix))
            return false;
    return true;
}

// Removes a work file this compaction made, and the logs SQLite made beside it.
void removeWorkFile(const QString& path) {
    for (const char* suffix : logSuffixes)
        QFile::remove(path + suffix);
    QFile::remove(path);
}

bool replaceFile(const QString& from, const QString& to) {
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

QString inUse(const QString& dbPath) {
    return QStringLiteral("The catalogue %1 is in use by another program (another Catalog, "
                          "perhaps). Close it there and compact again.")
        .arg(nativePath(dbPath));
}

// What went wrong, in a person's terms, with the engine's own words where they help.
QString describe(const CatalogError& error, const QString& dbPath) {
    switch (catalogdb::failureOf(error.code())) {
    case catalogdb::Failure::InUse:
        return inUse(dbPath);
    case catalogdb::Failure::ReadOnly:
        return QStringLiteral("The catalogue %1 is read-only.\n%2")
            .arg(nativePath(dbPath), error.message());
    case catalogdb::Failure::DiskFull:
        return QStringLiteral("The disk holding %1 is full.\n%2")
            .arg(nativePath(dbPath), error.message());
    case catalogdb::Failure::Damaged:
        return catalogdb::unreadableMessage(dbPath, error);
    case catalogdb::Failure::Unreachable:
    case catalogdb::Failure::Other:
        break;
    }
    return error.message();
}

// The catalogue held by one connection that shares it with no other: in SQLite's exclusive
// locking mode the connection takes the file's exclusive lock and keeps it until it closes.
// Another connection that has the catalogue open holds a shared lock, so the hold fails then.
class ExclusiveHold {
public:
    explicit ExclusiveHold(const QString& path) {
        static std::atomic<int> counter{0};
        m_name = QStringLiteral("catalog-compact-%1").arg(++counter);
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", m_name);
        db.setDatabaseName(path);
        db.setConnectOptions("QSQLITE_BUSY_TIMEOUT=2000");
        try {
            if (!db.open())
                throw CatalogError(db.lastError().text(),
                                   catalogdb::resultCode(db.lastError(), db.driver()));
            catalogdb::run(db, "PRAGMA locking_mode=EXCLUSIVE");
            catalogdb::run(db, "BEGIN EXCLUSIVE");
            catalogdb::run(db, "COMMIT");
        } catch (const CatalogError& e) {
            m_error = e;
        }
    }
    ~ExclusiveHold() {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    ExclusiveHold(const ExclusiveHold&) = delete;
    ExclusiveHold& operator=(const ExclusiveHold&) = delete;

    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }
    const std::optional<CatalogError>& error() const { return m_error; }

private:
    QString m_name;
    std::optional<CatalogError> m_error;
};

// Moves everything in the write-ahead log into the file, so that a byte copy of the file is
// the whole catalogue.
bool checkpoint(const QSqlDatabase& held) {
    QSqlQuery q = catalogdb::run(held, "PRAGMA wal_checkpoint(TRUNCATE)");
    return q.next() && q.value(0).toInt() == 0;
}

QString backupFailure(const QString& backup, const QFileDevice& file) {
    const QString why = file.error() == QFileDevice::ResourceError
                            ? QStringLiteral("The disk holding %1 is full.\n")
                            : QStringLiteral("The backup %1 cannot be written.\n");
    return why.arg(nativePath(backup)) + file.errorString();
}

// Copies the held catalogue byte for byte. The file stays open until the hold is let go:
// closing any descriptor of a file drops every lock the process has on it.
QString writeBackup(QFile& original, const QString& backup) {
    if (!original.isOpen() && !original.open(QIODevice::ReadOnly))
        return backupFailure(backup, original);
    original.seek(0);
    QSaveFile copy(backup);
    if (!copy.open(QIODevice::WriteOnly))
        return backupFailure(backup, copy);
    while (!original.atEnd()) {
        const QByteArray chunk = original.read(1 << 20);
        if (chunk.isEmpty() && original.error() != QFileDevice::NoError)
            return backupFailure(backup, original);
        if (copy.write(chunk) != chunk.size())
            return backupFailure(backup, copy);
    }
    if (!copy.commit())
        return backupFailure(backup, copy);
    return {};
}

// Throws CatalogError, as a damaged catalogue, when a page of the held catalogue is damaged.
void checkWhole(const QSqlDatabase& held) {
    QSqlQuery q = catalogdb::run(held, "PRAGMA quick_check(1)");
    if (!q.next() || q.value(0).toString() != "ok")
        throw CatalogError(q.value(0).toString(), catalogdb::DamagedCode);
}

// Makes an empty work file under a name nothing else uses, so that it is certainly ours.
QString makeWorkFile(const QString& dbPath, QString& error) {
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const QString path = compaction::workFilePath(dbPath);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return path;
        if (!QFileInfo::exists(path)) {
            error = QStringLiteral("The work file %1 cannot be made.\n%2")
                        .arg(nativePath(path), file.errorString());
            return {};
        }
    }
    error = "No free name for a work file was found.";
    return {};
}

// Writes the compact copy into the work file and checks it. Opening the copy as a catalogue
// puts it in write-ahead log mode, ready for several programs once it replaces the catalogue.
// The copy gets 4 KB pages, which catalogues made with 1 KB pages read a third slower.
void writeCompactCopy(const QSqlDatabase& held, const QString& workFile) {
    catalogdb::run(held, "PRAGMA page_size=4096");
    catalogdb::run(held, "VACUUM INTO ?", {workFile});
    CatalogConnection work(workFile, "compact-check");
    if (!work.isOpen())
        throw CatalogError(work.lastError());
    QSqlQuery q = catalogdb::run(work.db(), "PRAGMA quick_check");
    if (!q.next() || q.value(0).toString() != "ok")
        throw CatalogError("The compacted catalogue failed its check.");
}

} // namespace

namespace compaction {

QString workFilePath(const QString& dbPath) {
    const QDir folder = QFileInfo(dbPath).absoluteDir();
    QString path = folder.filePath("tDB.mdb");
    for (int n = 2; !nameIsFree(path); ++n)
        path = folder.filePath(QStringLiteral("tDB-%1.mdb").arg(n));
    return path;
}

QString backupPath(const QString& dbPath) {
    return catalogdb::backupPath(dbPath);
}

QString compact(const QString& catalogue, const StepHook& afterStep) {
    const auto step = [&](Step done) {
        if (afterStep)
            afterStep(done);
    };
    // A catalogue reached through a link is rewritten where it really lives; the link stays.
    const QFileInfo info(catalogue);
    const QString dbPath = info.isSymLink() ? info.canonicalFilePath() : catalogue;
    const QString folder = QFileInfo(dbPath).absolutePath();
    const QString prefix = "The catalogue could not be compacted.\n";
    // Opening a missing catalogue would make an empty database there and call it compacted.
    if (!QFileInfo(dbPath).isFile())
        return prefix + QStringLiteral("The catalogue %1 is not there.").arg(nativePath(catalogue));
    if (!QFileInfo(dbPath).isWritable())
        return prefix + QStringLiteral("The catalogue %1 is read-only.").arg(nativePath(dbPath));
    if (!QFileInfo(folder).isWritable())
        return prefix + QStringLiteral("The folder %1 is read-only: the work file and the "
                                       "backup cannot be written there.")
                            .arg(nativePath(folder));

    QFile original(dbPath); // declared before the hold: it must be closed after it
    const ExclusiveHold hold(dbPath);
    if (hold.error())
        return prefix + describe(*hold.error(), dbPath);
    step(Step::Held);
    QString workFile;
    // The backup may be the only good copy of a catalogue damaged since: it is replaced only
    // by a catalogue that passed its check, once its compact copy is complete and checked too.
    try {
        if (!checkpoint(hold.db()))
            return prefix + inUse(dbPath);
        checkWhole(hold.db());
        QString error;
        workFile = makeWorkFile(dbPath, error);
        if (workFile.isEmpty())
            return prefix + error;
        writeCompactCopy(hold.db(), workFile);
        step(Step::Compacted);
        if (error = writeBackup(original, backupPath(catalogue)); !error.isEmpty()) {
            removeWorkFile(workFile);
            return prefix + error;
        }
        step(Step::BackedUp);
        // The catalogue's log goes while the catalogue is still held, so that closing the
        // hold afterwards removes nothing a program opening the new file has made.
        catalogdb::run(hold.db(), "PRAGMA journal_mode=MEMORY");
    } catch (const CatalogError& e) {
        if (!workFile.isEmpty())
            removeWorkFile(workFile);
        return prefix + describe(e, dbPath);
    }
    if (!replaceFile(workFile, dbPath)) {
        removeWorkFile(workFile);
        return prefix + QStringLiteral("The work file %1 cannot be renamed to %2.")
                            .arg(nativePath(workFile), nativePath(dbPath));
    }
    return {};
}

} // namespace compaction
