#include "mountedvolumes.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {

// A volume's UUID is the name of the udev link that points at its device.
QString uuidOf(const QByteArray& device) {
    const QString target = QFileInfo(QString::fromLocal8Bit(device)).canonicalFilePath();
    if (target.isEmpty())
        return {};
    const QDir links(QStringLiteral("/dev/disk/by-uuid"));
    for (const QFileInfo& link : links.entryInfoList(QDir::System | QDir::Files)) {
        if (link.canonicalFilePath() == target)
            return link.fileName();
    }
    return {};
}

VolumeIdentity identityOf(const QStorageInfo& volume) {
    VolumeIdentity identity;
    identity.root = mountedvolumes::driveText(volume.rootPath());
    identity.label = volume.name();
    identity.uuid = uuidOf(volume.device());
    identity.fileSystem = QString::fromLatin1(volume.fileSystemType());
    identity.capacity = volume.bytesTotal();
    return identity;
}

} // namespace

namespace mountedvolumes {

bool isRealFileSystem(const QStorageInfo& volume) {
    static const QSet<QByteArray> virtualTypes = {
        "proc",     "sysfs",       "devtmpfs", "devpts",   "tmpfs",     "cgroup",
        "cgroup2",  "mqueue",      "debugfs",  "tracefs",  "pstore",    "securityfs",
        "configfs", "fusectl",     "bpf",      "autofs",   "hugetlbfs", "nsfs",
        "ramfs",    "binfmt_misc", "squashfs", "efivarfs", "rpc_pipefs"};
    return volume.isValid() && volume.isReady() && !virtualTypes.contains(volume.fileSystemType());
}

QString driveText(const QString& rootPath) {
    QString text = QDir::toNativeSeparators(rootPath);
    while (text.size() > 1 && text.endsWith(QDir::separator()))
        text.chop(1);
    return text;
}

VolumeIdentity volumeAt(const QString& path) {
    return identityOf(QStorageInfo(path));
}

QList<VolumeIdentity> list() {
    QList<VolumeIdentity> volumes;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isRoot() || isRealFileSystem(volume))
            volumes << identityOf(volume);
    }
    return volumes;
}

} // namespace mountedvolumes
