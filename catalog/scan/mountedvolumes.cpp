#include "mountedvolumes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QSet>
#include <blkid/blkid.h>
#include <sys/stat.h>

namespace {

// A volume's UUID is the name of the udev link that points at its device. The links are read
// once for every volume looked at together.
using UuidsByDevice = QHash<QString, QString>;

UuidsByDevice uuidsByDevice() {
    UuidsByDevice uuids;
    const QDir links(QStringLiteral("/dev/disk/by-uuid"));
    for (const QFileInfo& link : links.entryInfoList(QDir::System | QDir::Files))
        uuids.insert(link.canonicalFilePath(), link.fileName());
    return uuids;
}

QString uuidOf(const QByteArray& device, const UuidsByDevice& uuids) {
    const QString target = QFileInfo(QString::fromLocal8Bit(device)).canonicalFilePath();
    return target.isEmpty() ? QString() : uuids.value(target);
}

struct Probed {
    QString label;
    QString uuid;
};

// When the volume's top directory last changed, to the nanosecond where the file system keeps
// it: two disks swapped through one device at one folder differ in it, as a rule.
QString rootChanged(const QString& root) {
    struct stat status {};
    if (::stat(QFile::encodeName(root).constData(), &status) != 0)
        return {};
    return QStringLiteral("%1.%2").arg(status.st_ctim.tv_sec).arg(status.st_ctim.tv_nsec);
}

// Where udev keeps no links (a container, a minimal system), the file system's own superblock
// names it; reading it needs read access to the device, which only its owner group has. A
// device is probed once per mount (device, folder, size and the folder's change time
// together), since a watch asks again every second.
Probed probe(const QByteArray& device, const QString& root, qint64 capacity) {
    static QMutex mutex;
    static QHash<QString, Probed> probed;
    const QString key = QStringLiteral("%1\n%2\n%3\n%4")
                            .arg(QString::fromLocal8Bit(device), root)
                            .arg(capacity)
                            .arg(rootChanged(root));
    const QMutexLocker lock(&mutex);
    if (const auto found = probed.constFind(key); found != probed.constEnd())
        return *found;
    Probed result;
    if (blkid_probe pr = blkid_new_probe_from_filename(device.constData())) {
        blkid_probe_enable_superblocks(pr, 1);
        blkid_probe_set_superblocks_flags(pr, BLKID_SUBLKS_LABEL | BLKID_SUBLKS_UUID);
        const char* value = nullptr;
        if (blkid_do_safeprobe(pr) == 0) {
            if (blkid_probe_lookup_value(pr, "LABEL", &value, nullptr) == 0)
                result.label = QString::fromUtf8(value);
            if (blkid_probe_lookup_value(pr, "UUID", &value, nullptr) == 0)
                result.uuid = QString::fromLatin1(value);
        }
        blkid_free_probe(pr);
    }
    probed.insert(key, result);
    return result;
}

VolumeIdentity identityOf(const QStorageInfo& volume, const UuidsByDevice& uuids) {
    VolumeIdentity identity;
    identity.root = mountedvolumes::driveText(volume.rootPath());
    identity.label = volume.name();
    identity.uuid = uuidOf(volume.device(), uuids);
    if ((identity.label.isEmpty() || identity.uuid.isEmpty()) &&
        volume.device().startsWith("/dev/")) {
        const Probed probed = probe(volume.device(), identity.root, volume.bytesTotal());
        if (identity.label.isEmpty())
            identity.label = probed.label;
        if (identity.uuid.isEmpty())
            identity.uuid = probed.uuid;
    }
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
    return identityOf(QStorageInfo(path), uuidsByDevice());
}

QList<VolumeIdentity> list() {
    QList<VolumeIdentity> volumes;
    const UuidsByDevice uuids = uuidsByDevice();
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isRoot() || isRealFileSystem(volume))
            volumes << identityOf(volume, uuids);
    }
    return volumes;
}

} // namespace mountedvolumes
