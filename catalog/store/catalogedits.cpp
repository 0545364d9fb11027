#include "catalogedits.h"

#include "catalogdb.h"
#include "diskvolumes.h"

#include <initializer_list>

namespace {

// The write lock is taken first, waiting for another writer as long as the connection's busy
// timeout allows: a deferred transaction that read first could not become a writer once
// another program had committed meanwhile, however long it waited.
void runInOneTransaction(const QSqlDatabase& db, std::initializer_list<QString> statements) {
    Transaction transaction(db, Transaction::Mode::Immediate);
    for (const QString& statement : statements)
        catalogdb::run(db, statement);
    transaction.commit();
}

// The bytes kept of names that are not UTF-8 go with their rows.
QString deleteTrackNameBytes(const QString& condition) {
    return "DELETE FROM TrackNameBytes WHERE TrackID IN (SELECT TrackID FROM Tracks WHERE " +
           condition + ")";
}

QString deleteDirNameBytes(const QString& condition) {
    return "DELETE FROM DirNameBytes WHERE DirID IN (SELECT DirID FROM Dirs WHERE " + condition +
           ")";
}

} // namespace

namespace catalogedits {

void deleteDisk(const QSqlDatabase& db, qint64 diskId) {
    const QString id = QString::number(diskId);
    Transaction transaction(db, Transaction::Mode::Immediate);
    deleteDiskContents(db, diskId);
    forgetDiskVolume(db, diskId);
    catalogdb::run(db, "DELETE FROM Disks WHERE DiskID=" + id);
    transaction.commit();
}

DiskContents deleteDiskContents(const QSqlDatabase& db, qint64 diskId) {
    const QString id = QString::number(diskId);
    catalogdb::run(db, deleteTrackNameBytes("DiskID=" + id));
    catalogdb::run(db, deleteDirNameBytes("DiskID=" + id));
    DiskContents removed;
    removed.tracks = catalogdb::run(db, "DELETE FROM Tracks WHERE DiskID=" + id).numRowsAffected();
    removed.directories =
        catalogdb::run(db, "DELETE FROM Dirs WHERE DiskID=" + id).numRowsAffected();
    return removed;
}

DiskContents diskContents(const QSqlDatabase& db, qint64 diskId) {
    QSqlQuery counts = catalogdb::run(db,
                                      "SELECT (SELECT COUNT(*) FROM Dirs WHERE DiskID = ?), "
                                      "(SELECT COUNT(*) FROM Tracks WHERE DiskID = ?)",
                                      {diskId, diskId});
    DiskContents held;
    if (counts.next()) {
        held.directories = counts.value(0).toInt();
        held.tracks = counts.value(1).toInt();
    }
    return held;
}

void deleteDirectory(const QSqlDatabase& db, qint64 dirId) {
    const QString id = QString::number(dirId);
    runInOneTransaction(
        db, {deleteTrackNameBytes("DirID=" + id), "DELETE FROM DirNameBytes WHERE DirID=" + id,
             "DELETE FROM Tracks WHERE DirID=" + id, "DELETE FROM Dirs WHERE DirID=" + id});
}

void deleteTrack(const QSqlDatabase& db, qint64 trackId) {
    const QString id = QString::number(trackId);
    runInOneTransaction(db, {"DELETE FROM TrackNameBytes WHERE TrackID=" + id,
                             "DELETE FROM Tracks WHERE TrackID=" + id});
}

void emptyCatalogue(const QSqlDatabase& db) {
    runInOneTransaction(db, {"DELETE FROM TrackNameBytes", "DELETE FROM DirNameBytes",
                             "DELETE FROM Tracks", "DELETE FROM Dirs", "DELETE FROM DiskVolumes",
                             "DELETE FROM Disks"});
}

} // namespace catalogedits
