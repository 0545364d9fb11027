#pragma once

#include <QDateTime>
#include <QString>
#include <vector>

// What tells one mounted volume from another: what the system says about it, not where it is
// mounted, since a removable disk may come back under another folder.
struct VolumeIdentity {
    QString root;        // where it is mounted now, as a drive's text; not part of its identity
    QString label;       // empty when it has none
    QString uuid;        // the file system's UUID, empty where the system gives none
    QString fileSystem;  // "vfat", "iso9660", "ext4"…
    qint64 capacity = 0; // bytes
};

// A catalogued disk's volume as it was when the disk was last scanned.
struct DiskVolume {
    qint64 diskId = 0;
    QString diskName;
    VolumeIdentity volume;
    QDateTime scannedAt;
};

// Whether two identities are the same volume: by UUID where both have one, else by label,
// file system and capacity together, and never two volumes that have none of these.
bool sameVolume(const VolumeIdentity& a, const VolumeIdentity& b);

// The catalogued disk that `mounted` is; null when none is, or when several disks were
// scanned from that one volume (folders of a hard disk catalogued as disks of their own).
const DiskVolume* recogniseDisk(const std::vector<DiskVolume>& known,
                                const VolumeIdentity& mounted);
