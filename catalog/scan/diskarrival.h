#pragma once

#include "volumeidentity.h"
#include "volumewatch.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <vector>

// Whether catalogued disk `diskId` is in its drive: `file`, a file on it as the file system
// names it, is there and, where `known` holds the disk's volume, one of the `mounted` volumes
// is that volume and holds the file. A disk whose volume is unknown is known by its file alone.
bool diskIsIn(qint64 diskId, const QByteArray& file, const std::vector<DiskVolume>& known,
              const QList<VolumeIdentity>& mounted);

// Waits for a catalogued disk to come into its drive, looking again each time the mounted
// volumes change.
class DiskArrival : public QObject {
    Q_OBJECT
public:
    DiskArrival(VolumeWatch::Source mountedVolumes, int intervalMs, QObject* parent = nullptr);

    // Looks for disk `diskId` now and, unless it is in, waits for it for `limitMs` (0: until
    // stopped); a wait under way is given up.
    void waitFor(qint64 diskId, const QByteArray& file, std::vector<DiskVolume> known,
                 int limitMs = 0);
    void stop();
    bool isWaiting() const { return m_watch.isActive(); }
    // Whether the disk last waited for is in, found at once or since.
    bool hasArrived() const { return m_arrived; }

Q_SIGNALS:
    // The disk waited for came in; not sent for a disk that was in already.
    void arrived();

private:
    void lookAgain();

    VolumeWatch m_watch;
    QTimer m_limit;
    qint64 m_diskId = 0;
    QByteArray m_file;
    std::vector<DiskVolume> m_known;
    bool m_arrived = false;
};
