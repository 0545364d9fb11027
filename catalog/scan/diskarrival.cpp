#include "diskarrival.h"

#include <QFile>
#include <unistd.h>

namespace {

bool holds(const VolumeIdentity& volume, const QByteArray& file) {
    const QByteArray root = QFile::encodeName(volume.root);
    return root == "/" || file.startsWith(root + '/');
}

} // namespace

bool diskIsIn(qint64 diskId, const QByteArray& file, const std::vector<DiskVolume>& known,
              const QList<VolumeIdentity>& mounted) {
    if (file.isEmpty() || ::access(file.constData(), F_OK) != 0)
        return false;
    bool volumeKnown = false;
    for (const DiskVolume& disk : known) {
        if (disk.diskId != diskId)
            continue;
        volumeKnown = true;
        for (const VolumeIdentity& volume : mounted)
            if (sameVolume(disk.volume, volume) && holds(volume, file))
                return true;
    }
    return !volumeKnown;
}

DiskArrival::DiskArrival(VolumeWatch::Source mountedVolumes, int intervalMs, QObject* parent)
    : QObject(parent), m_watch(std::move(mountedVolumes)) {
    m_watch.setInterval(intervalMs);
    m_limit.setSingleShot(true);
    connect(&m_watch, &VolumeWatch::changed, this, &DiskArrival::lookAgain);
    connect(&m_limit, &QTimer::timeout, this, &DiskArrival::stop);
}

void DiskArrival::waitFor(qint64 diskId, const QByteArray& file, std::vector<DiskVolume> known,
                          int limitMs) {
    stop();
    m_diskId = diskId;
    m_file = file;
    m_known = std::move(known);
    m_watch.start();
    m_arrived = diskIsIn(m_diskId, m_file, m_known, m_watch.volumes());
    if (m_arrived)
        stop();
    else if (limitMs > 0)
        m_limit.start(limitMs);
}

void DiskArrival::stop() {
    m_watch.stop();
    m_limit.stop();
}

void DiskArrival::lookAgain() {
    if (!diskIsIn(m_diskId, m_file, m_known, m_watch.volumes()))
        return;
    m_arrived = true;
    stop();
    Q_EMIT arrived();
}
