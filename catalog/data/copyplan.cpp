#include "copyplan.h"

#include "localfolder.h"

#include <QDir>
#include <QHash>
#include <algorithm>

namespace copyplan {

namespace {

// Finds tracks by identity, falling back to the first track of a name.
class TrackFinder {
public:
    explicit TrackFinder(const TrackList& tracks) : m_tracks(tracks) {
        m_byId.reserve(static_cast<qsizetype>(tracks.size()));
        for (qint32 i = 0; i < static_cast<qint32>(tracks.size()); ++i)
            if (tracks[i].TrackID != 0)
                m_byId.insert(tracks[i].TrackID, i);
    }

    const TrackRecord* find(const Entry& entry) {
        if (entry.trackId != 0) {
            const qint32 at = m_byId.value(entry.trackId, -1);
            if (at >= 0 && m_tracks[at].TrackName == entry.text)
                return &m_tracks[at];
        }
        if (m_byName.isEmpty())
            for (qint32 i = static_cast<qint32>(m_tracks.size()) - 1; i >= 0; --i)
                if (m_tracks[i].TrackID != 0)
                    m_byName.insert(m_tracks[i].TrackName, i); // the first of a name wins
        const qint32 at = m_byName.value(entry.text, -1);
        return at >= 0 ? &m_tracks[at] : nullptr;
    }

private:
    const TrackList& m_tracks;
    QHash<qint32, qint32> m_byId;
    QHash<QString, qint32> m_byName;
};

} // namespace

QString joinTrackPath(const QString& drive, const QString& dirName, const QString& fileName) {
    const QChar sep = QDir::separator();
    QString path = drive;
    QString dir = dirName;
    if (path.endsWith(sep) && dir.startsWith(sep))
        dir.remove(0, 1);
    else if (!path.isEmpty() && !path.endsWith(sep) && !dir.isEmpty() && !dir.startsWith(sep))
        path += sep;
    path += dir;
    if (!path.endsWith(sep))
        path += sep;
    return path + fileName;
}

std::vector<Item> plan(const std::vector<Entry>& entries, const CatalogLists& lists,
                       const Source& source) {
    QHash<qint32, const DiskRecord*> disks;
    QHash<qint32, const DirRecord*> dirs;
    if (!source.local) {
        for (const DiskRecord& disk : lists.disks)
            disks.insert(disk.DiskID, &disk);
        for (const DirRecord& dir : lists.dirs)
            dirs.insert(dir.DirID, &dir);
    }
    TrackFinder finder(lists.tracks);
    std::vector<Item> items;
    for (const Entry& entry : entries) {
        const TrackRecord* track = finder.find(entry);
        if (!track)
            continue;
        Item item{entry.row, QString::number(track->DiskID), {}, {}, track->TrackName};
        if (source.local) {
            item.diskName = QStringLiteral("Local");
            item.source = localfolder::trackPath(lists, source.localRoot, *track);
        } else {
            const DiskRecord* disk = disks.value(track->DiskID);
            const DirRecord* dir = dirs.value(track->DirID);
            item.diskName = disk ? disk->DiskName : QString();
            const QString drive = source.useCdDrive ? source.cdDrive : (disk ? disk->Drive : "");
            item.source = joinTrackPath(drive, dir ? dir->DirName : QString(), track->TrackName);
        }
        items.push_back(std::move(item));
    }
    std::stable_sort(items.begin(), items.end(),
                     [](const Item& a, const Item& b) { return a.diskKey < b.diskKey; });
    return items;
}

} // namespace copyplan
