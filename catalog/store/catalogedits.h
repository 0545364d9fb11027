#pragma once

#include <QSqlDatabase>

// Deletions of catalogue rows with their dependants. Each runs its statements in order (tracks,
// then directories, then disks) inside one transaction: all or nothing. Failures throw
// CatalogError.
namespace catalogedits {

void deleteDisk(const QSqlDatabase& db, qint64 diskId);
void deleteDirectory(const QSqlDatabase& db, qint64 dirId);
void deleteTrack(const QSqlDatabase& db, qint64 trackId);
void emptyCatalogue(const QSqlDatabase& db);

} // namespace catalogedits
