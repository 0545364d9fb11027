#include "catalogedits.h"

#include "catalogdb.h"

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

} // namespace

namespace catalogedits {

void deleteDisk(const QSqlDatabase& db, qint64 diskId) {
    const QString id = QString::number(diskId);
    runInOneTransaction(db, {"DELETE FROM Tracks WHERE DiskID=" + id,
                             "DELETE FROM Dirs WHERE DiskID=" + id,
                             "DELETE FROM Disks WHERE DiskID=" + id});
}

void deleteDirectory(const QSqlDatabase& db, qint64 dirId) {
    const QString id = QString::number(dirId);
    runInOneTransaction(
        db, {"DELETE FROM Tracks WHERE DirID=" + id, "DELETE FROM Dirs WHERE DirID=" + id});
}

void deleteTrack(const QSqlDatabase& db, qint64 trackId) {
    runInOneTransaction(db, {"DELETE FROM Tracks WHERE TrackID=" + QString::number(trackId)});
}

void emptyCatalogue(const QSqlDatabase& db) {
    runInOneTransaction(db, {"DELETE FROM Tracks", "DELETE FROM Dirs", "DELETE FROM Disks"});
}

} // namespace catalogedits
