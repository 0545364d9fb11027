#pragma once

#include "volumeidentity.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <vector>

// The volume each disk was last scanned from, in the program's own table DiskVolumes: one row
// a disk, keyed by its DiskID. Failures throw CatalogError.

// Stores `volume` as the volume disk `diskId` was scanned from at `scannedAt`, in place of
// any earlier one. The root is not stored: where a volume is mounted does not identify it.
void saveDiskVolume(const QSqlDatabase& db, qint64 diskId, const VolumeIdentity& volume,
                    const QDateTime& scannedAt);
// Forgets the volume of disk `diskId`, if one is stored.
void forgetDiskVolume(const QSqlDatabase& db, qint64 diskId);
// Every disk's volume with the disk's name, by DiskID; their roots are empty. A catalogue that
// has no DiskVolumes table (an older one read as it is, on a read-only disk) has none.
std::vector<DiskVolume> loadDiskVolumes(const QSqlDatabase& db);
