#include "diskvolumes.h"

#include "catalogdb.h"

#include <QSqlError>
#include <QSqlQuery>

void saveDiskVolume(const QSqlDatabase& db, qint64 diskId, const VolumeIdentity& volume,
                    const QDateTime& scannedAt) {
    catalogdb::run(db,
                   "INSERT INTO DiskVolumes (DiskID, Label, Uuid, FileSystem, Capacity, "
                   "ScannedAt) VALUES (?, ?, ?, ?, ?, ?) ON CONFLICT (DiskID) DO UPDATE SET "
                   "Label = excluded.Label, Uuid = excluded.Uuid, FileSystem = "
                   "excluded.FileSystem, Capacity = excluded.Capacity, ScannedAt = "
                   "excluded.ScannedAt",
                   {diskId, catalogdb::textOrEmpty(volume.label),
                    catalogdb::textOrEmpty(volume.uuid), catalogdb::textOrEmpty(volume.fileSystem),
                    volume.capacity, scannedAt.toUTC().toString(Qt::ISODateWithMs)});
}

void forgetDiskVolume(const QSqlDatabase& db, qint64 diskId) {
    catalogdb::run(db, "DELETE FROM DiskVolumes WHERE DiskID = ?", {diskId});
}

std::vector<DiskVolume> loadDiskVolumes(const QSqlDatabase& db) {
    std::vector<DiskVolume> volumes;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    const QString statement =
        "SELECT DiskVolumes.DiskID, Disks.DiskName, Label, Uuid, FileSystem, Capacity, "
        "ScannedAt FROM DiskVolumes JOIN Disks ON Disks.DiskID = DiskVolumes.DiskID "
        "ORDER BY DiskVolumes.DiskID";
    // A catalogue on a read-only disk made before the table has none.
    if (!db.tables().contains("DiskVolumes", Qt::CaseInsensitive))
        return volumes;
    catalogdb::exec(q, statement);
    while (q.next()) {
        DiskVolume disk;
        disk.diskId = q.value(0).toLongLong();
        disk.diskName = q.value(1).toString();
        disk.volume.label = q.value(2).toString();
        disk.volume.uuid = q.value(3).toString();
        disk.volume.fileSystem = q.value(4).toString();
        disk.volume.capacity = q.value(5).toLongLong();
        disk.scannedAt = QDateTime::fromString(q.value(6).toString(), Qt::ISODateWithMs);
        volumes.push_back(std::move(disk));
    }
    if (q.lastError().isValid())
        throw CatalogError(statement + "\n" + q.lastError().text(),
                           catalogdb::resultCode(q.lastError(), q.driver()));
    return volumes;
}
