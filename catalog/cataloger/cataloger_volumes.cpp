// The cataloguing window and the mounted volumes: the disk in the drive is recognised as a
// catalogued one, a disk catalogued again is replaced or added to as the person says, and a
// new disk row takes its drive and name from the volume it is typed for.
#include "cataloger.h"

#include "catalogdb.h"
#include "catalogedits.h"
#include "directorylist.h"
#include "diskvolumes.h"
#include "drivelist.h"
#include "filelist.h"
#include "gridmodels.h"
#include "mountedvolumes.h"
#include "programstate.h"
#include "prompts.h"
#include "scanprogress.h"
#include "statuspanels.h"
#include "volumewatch.h"

#include <QDir>
#include <QLocale>
#include <QTableView>

namespace {

std::optional<VolumeIdentity> mountedAt(const QList<VolumeIdentity>& volumes,
                                        const QString& drive) {
    for (const VolumeIdentity& volume : volumes) {
        if (volume.root == drive)
            return volume;
    }
    return std::nullopt;
}

} // namespace

void Cataloger::watchVolumes() {
    m_volumeWatch = new VolumeWatch(m_state.mountedVolumes, this);
    connect(m_volumeWatch, &VolumeWatch::changed, this, &Cataloger::rereadDrive);
    connect(m_volumeWatch, &VolumeWatch::changed, this, &Cataloger::recogniseDrive);
    m_volumeWatch->start();
    connect(Drive1, &DriveList::driveChanged, this, &Cataloger::recogniseDrive);
    Disks->newDiskDefaults = [this] {
        const std::optional<VolumeIdentity> volume = driveVolume();
        return volume ? DiskGridModel::NewDiskDefaults{volume->label, volume->root}
                      : DiskGridModel::NewDiskDefaults{};
    };
}

// The directory and file lists show what the drive holds now: a disk swapped in it, taken
// out or put in is read again.
void Cataloger::rereadDrive(const QList<VolumeIdentity>& appeared,
                            const QList<VolumeIdentity>& gone) {
    const QString drive = Drive1->drive();
    if (!mountedAt(appeared, drive) && !mountedAt(gone, drive))
        return;
    Dir1->reread(DriveList::rootOf(drive));
    File1->setPath(Dir1->path());
}

std::optional<VolumeIdentity> Cataloger::driveVolume() const {
    return mountedAt(m_volumeWatch->volumes(), Drive1->drive());
}

// The volume mounted at `root`, as the program's list of volumes shows it.
VolumeIdentity Cataloger::volumeAt(const QString& root) const {
    const std::optional<VolumeIdentity> listed =
        mountedAt(m_state.mountedVolumes(), mountedvolumes::driveText(root));
    return listed ? *listed : mountedvolumes::volumeAt(root);
}

// Says which catalogued disk the drive holds and makes its row current, once for each volume
// that comes into the drive: the person may choose another row meanwhile.
void Cataloger::recogniseDrive() {
    const std::optional<VolumeIdentity> volume = driveVolume();
    const QString seen = volume ? volume->root + '\n' + volume->uuid + '\n' + volume->label : "";
    if (seen == m_recognisedVolume || isScanning() || !m_edits || !m_edits->isOpen())
        return;
    m_recognisedVolume = seen;
    if (!volume)
        return;
    std::vector<DiskVolume> known;
    try {
        known = loadDiskVolumes(m_edits->db());
    } catch (const CatalogError& e) {
        qWarning("%s", qPrintable(e.message()));
        return;
    }
    const DiskVolume* disk = recogniseDisk(known, *volume);
    const int row = disk ? Disks->rowOf(disk->diskId) : -1;
    if (row < 0)
        return;
    StatusBar1->setPanelText(
        1, QStringLiteral("Drive %1 holds the disk \"%2\", catalogued %3.")
               .arg(QDir::toNativeSeparators(volume->root), disk->diskName,
                    QLocale().toString(disk->scannedAt.toLocalTime(), QLocale::ShortFormat)));
    DBGrid1->setCurrentIndex(Disks->index(row, DiskGridModel::DiskNameColumn));
    disksGridClicked();
}

// A disk that has directories already is replaced by the new scan, or gets a second set of
// rows beside them, as the person answers; nothing when they cancel.
std::optional<DiskScanner::Mode> Cataloger::askHowToScan(qint64 diskId, const QString& start) {
    const catalogedits::DiskContents held = catalogedits::diskContents(m_edits->db(), diskId);
    if (held.directories == 0)
        return DiskScanner::Mode::Add;
    const QString text =
        QStringLiteral("The disk \"%1\" is catalogued already: %2, %3.\n\n"
                       "Replace them with a fresh scan of %4, add a second set of rows beside "
                       "them, or cancel?\n\nA replace keeps the disk's rows until the new scan "
                       "is complete.")
            .arg(Disks->diskName(Disks->rowOf(diskId)))
            .arg(plural(held.directories, "directory", "directories"),
                 plural(held.tracks, "track", "tracks"), QDir::toNativeSeparators(start));
    switch (m_state.prompts.message(text, Prompts::Buttons::ReplaceAddCancel, windowTitle())) {
    case Prompts::Answer::Replace:
        return DiskScanner::Mode::Replace;
    case Prompts::Answer::Add:
        return DiskScanner::Mode::Add;
    default:
        return std::nullopt;
    }
}
