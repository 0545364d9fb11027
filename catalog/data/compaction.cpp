#include "compaction.h"

#include "catalogdb.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <cstdio>

namespace {

QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// Removes a file and the journal files SQLite may have left beside it.
bool removeDatabaseFile(const QString& path) {
    for (const char* suffix : {"-wal", "-shm", "-journal"})
        QFile::remove(path + suffix);
    return !QFileInfo::exists(path) || QFile::remove(path);
}

bool replaceFile(const QString& from, const QString& to) {
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// Moves everything in the write-ahead log into the catalogue file, so that a byte copy of
// the file is the whole catalogue.
QString checkpoint(const QString& dbPath) {
    CatalogConnection connection(dbPath, "checkpoint");
    if (!connection.isOpen())
        return connection.lastError();
    QSqlQuery q(connection.db());
    if (!q.exec("PRAGMA wal_checkpoint(TRUNCATE)") || !q.next() || q.value(0).toInt() != 0)
        return "The catalogue is still in use by another program.";
    return {};
}

QString writeBackup(const QString& dbPath, const QString& backup) {
    const QString partial = backup + ".part";
    QFile::remove(partial);
    if (!QFile::copy(dbPath, partial)) {
        QFile::remove(partial);
        return QStringLiteral("The backup %1 cannot be written.").arg(nativePath(backup));
    }
    if (!replaceFile(partial, backup)) {
        QFile::remove(partial);
        return QStringLiteral("The backup %1 cannot be written.").arg(nativePath(backup));
    }
    return {};
}

QString vacuumInto(const QString& dbPath, const QString& workFile) {
    CatalogConnection connection(dbPath, "compact");
    if (!connection.isOpen())
        return connection.lastError();
    try {
        catalogdb::run(connection.db(), "VACUUM INTO ?", {workFile});
        CatalogConnection work(workFile, "compact-check");
        QSqlQuery q = catalogdb::run(work.db(), "PRAGMA quick_check");
        if (!q.next() || q.value(0).toString() != "ok")
            return "The compacted catalogue failed its check.";
    } catch (const CatalogError& e) {
        return e.message();
    }
    return {};
}

} // namespace

namespace compaction {

QString workFilePath(const QString& dbPath) {
    return QFileInfo(dbPath).absoluteDir().filePath("tDB.mdb");
}

QString backupPath(const QString& dbPath) {
    return dbPath + ".bak";
}

QString compact(const QString& catalogue) {
    // A catalogue reached through a link is rewritten where it really lives; the link stays.
    const QFileInfo info(catalogue);
    const QString dbPath = info.isSymLink() ? info.canonicalFilePath() : catalogue;
    const QString workFile = workFilePath(dbPath);
    const QString prefix = "The catalogue could not be compacted.\n";
    // Opening a missing catalogue would make an empty database there and call it compacted.
    if (!QFileInfo(dbPath).isFile())
        return prefix + QStringLiteral("The catalogue %1 is not there.").arg(nativePath(catalogue));
    if (!removeDatabaseFile(workFile))
        return prefix +
               QStringLiteral("The old work file %1 cannot be removed.").arg(nativePath(workFile));
    if (QString error = checkpoint(dbPath); !error.isEmpty())
        return prefix + error;
    if (QString error = writeBackup(dbPath, backupPath(catalogue)); !error.isEmpty())
        return prefix + error;
    if (QString error = vacuumInto(dbPath, workFile); !error.isEmpty()) {
        removeDatabaseFile(workFile);
        return prefix + error;
    }
    // A log with content means someone wrote meanwhile: replacing the file would lose it.
    if (QFileInfo(dbPath + "-wal").size() > 0) {
        removeDatabaseFile(workFile);
        return prefix + "The catalogue is still in use by another program.";
    }
    QFile::remove(dbPath + "-wal");
    QFile::remove(dbPath + "-shm");
    if (!replaceFile(workFile, dbPath)) {
        removeDatabaseFile(workFile);
        return prefix + QStringLiteral("The work file %1 cannot be renamed to %2.")
                            .arg(nativePath(workFile), nativePath(dbPath));
    }
    return {};
}

} // namespace compaction
