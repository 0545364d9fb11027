#pragma once

#include "volumeidentity.h"

#include <QList>
#include <QStorageInfo>
#include <QString>

namespace mountedvolumes {

// Whether the volume holds files a person keeps, rather than the system's own (proc, tmpfs…).
bool isRealFileSystem(const QStorageInfo& volume);
// A drive's text: the volume's root without a trailing separator; "/" for the root itself.
QString driveText(const QString& rootPath);

// The identity of the volume holding `path`: its root, label, file-system type, capacity and,
// where udev links it under /dev/disk/by-uuid, its UUID.
VolumeIdentity volumeAt(const QString& path);
// The real file systems mounted now, the root file system included.
QList<VolumeIdentity> list();

} // namespace mountedvolumes
