#pragma once

#include <QSqlDatabase>

// Deletions of catalogue rows with their dependants. Each runs its statements in order (tracks,
// then directories, then disks) inside one transaction: all or nothing. The bytes kept of
// names go with their rows, a disk's volume with its disk. Failures throw CatalogError.
namespace catalogedits {

void deleteDisk(const QSqlDatabase& db, qint64 diskId);
// Deletes a disk's tracks and directories but keeps the disk, inside the caller's transaction
// (a scan that replaces the disk's rows); its volume is the caller's to replace. Returns how
// many rows went.
struct DiskContents {
    int directories = 0;
    int tracks = 0;
};
DiskContents deleteDiskContents(const QSqlDatabase& db, qint64 diskId);
// What disk `diskId` holds now, counted without changing anything.
DiskContents diskContents(const QSqlDatabase& db, qint64 diskId);
void deleteDirectory(const QSqlDatabase& db, qint64 dirId);
void deleteTrack(const QSqlDatabase& db, qint64 trackId);
void emptyCatalogue(const QSqlDatabase& db);

} // namespace catalogedits
