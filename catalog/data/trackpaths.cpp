#include "trackpaths.h"

#include "localfolder.h"

#include <QDir>

namespace {

QString joined(QString head, const QString& tail) {
    const QChar separator = QDir::separator();
    while (head.endsWith(separator))
        head.chop(1);
    qsizetype skip = 0;
    while (skip < tail.size() && tail.at(skip) == separator)
        ++skip;
    return head + separator + tail.mid(skip);
}

} // namespace

QString fullDirPath(const QString& drive, const QString& dirName) {
    return joined(drive, dirName);
}

QString fullTrackPath(const QString& drive, const QString& dirName, const QString& trackName) {
    return joined(fullDirPath(drive, dirName), trackName);
}

bool fitsPlayListLine(const QString& path) {
    return !path.contains(u'\r') && !path.contains(u'\n');
}

TrackPaths::TrackPaths(const CatalogLists& lists, const TrackSource& source)
    : m_lists(lists), m_source(source) {
    if (source.local)
        return;
    for (const DiskRecord& disk : lists.disks)
        if (disk.DiskID != 0)
            m_disks.insert(disk.DiskID, &disk);
    for (const DirRecord& dir : lists.dirs)
        if (dir.DirID != 0)
            m_dirs.insert(dir.DirID, &dir);
}

QString TrackPaths::fullPath(const TrackRecord& track) const {
    if (m_source.local)
        return localfolder::trackPath(m_lists, m_source.localRoot, track);
    const DirRecord* dir = m_dirs.value(track.DirID);
    return fullTrackPath(drive(track), dir ? dir->DirName : QString(), track.TrackName);
}

QString TrackPaths::diskName(const TrackRecord& track) const {
    if (m_source.local)
        return QStringLiteral("Local");
    const DiskRecord* disk = m_disks.value(track.DiskID);
    return disk ? disk->DiskName : QString();
}

QString TrackPaths::drive(const TrackRecord& track) const {
    if (m_source.local)
        return m_source.localRoot;
    if (m_source.useCdDrive)
        return m_source.cdDrive;
    const DiskRecord* disk = m_disks.value(track.DiskID);
    return disk ? disk->Drive : QString();
}
