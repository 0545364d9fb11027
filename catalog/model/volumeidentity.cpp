#include "volumeidentity.h"

bool sameVolume(const VolumeIdentity& a, const VolumeIdentity& b) {
    if (!a.uuid.isEmpty() && !b.uuid.isEmpty())
        return a.uuid.compare(b.uuid, Qt::CaseInsensitive) == 0;
    // Without a UUID (an optical disc's file system has none), the label alone would match
    // every disc burned with the same default label: capacity tells those apart.
    if (a.label.isEmpty() && a.capacity == 0)
        return false;
    return a.label == b.label && a.fileSystem == b.fileSystem && a.capacity == b.capacity;
}

const DiskVolume* recogniseDisk(const std::vector<DiskVolume>& known,
                                const VolumeIdentity& mounted) {
    const DiskVolume* found = nullptr;
    for (const DiskVolume& disk : known) {
        if (!sameVolume(disk.volume, mounted))
            continue;
        if (found && found->diskId != disk.diskId)
            return nullptr;
        found = &disk;
    }
    return found;
}
