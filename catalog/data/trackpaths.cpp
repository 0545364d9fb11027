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

// A name's parts between separators; "\\" separates only where it is the system's separator.
QStringList parts(const QString& name) {
    return QString(name).replace(QDir::separator(), u'/').split(u'/');
}

} // namespace

QString fileNameFault(const QString& name) {
    if (name.isEmpty())
        return QStringLiteral("the catalogue gives it no file name");
    if (name == u"." || name == u"..")
        return QStringLiteral("\"%1\" names a folder, not a file").arg(name);
    if (parts(name).size() > 1)
        return QStringLiteral("its name \"%1\" holds a folder separator").arg(name);
    return {};
}

QString dirNameFault(const QString& dirName) {
    if (parts(dirName).contains(u".."))
        return QStringLiteral("its folder \"%1\" climbs out of the disk").arg(dirName);
    return {};
}

QString fullDirPath(const QString& drive, const QString& dirName) {
    return joined(drive, dirName);
}

QString fullTrackPath(const QString& drive, const QString& dirName, const QString& trackName) {
    return joined(fullDirPath(drive, dirName), trackName);
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
    if (!fault(track).isEmpty())
        return {};
    if (m_source.local)
        return localfolder::trackPath(m_lists, m_source.localRoot, track);
    const DirRecord* dir = m_dirs.value(track.DirID);
    return fullTrackPath(drive(track), dir ? dir->DirName : QString(), track.TrackName);
}

QString TrackPaths::fault(const TrackRecord& track) const {
    const QString name = fileNameFault(track.TrackName);
    if (!name.isEmpty() || m_source.local)
        return name;
    const DirRecord* dir = m_dirs.value(track.DirID);
    return dir ? dirNameFault(dir->DirName) : QString();
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
