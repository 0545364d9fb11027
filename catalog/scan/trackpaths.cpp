#include "trackpaths.h"

#include "localfolder.h"
#include "scanlisting.h"

#include <QDir>
#include <QFile>

namespace {

template <typename Text> Text joinedWith(Text head, const Text& tail, char separator) {
    while (head.endsWith(separator))
        head.chop(1);
    qsizetype skip = 0;
    while (skip < tail.size() && tail.at(skip) == separator)
        ++skip;
    return head + separator + tail.mid(skip);
}

QString joined(const QString& head, const QString& tail) {
    return joinedWith(head, tail, QDir::separator().toLatin1());
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
    if (!fault(track).isEmpty())
        return {};
    if (m_source.local)
        return localfolder::trackPath(m_lists, m_source.localRoot, track);
    const DirRecord* dir = m_dirs.value(track.DirID);
    return fullTrackPath(drive(track), dir ? dir->DirName : QString(), track.TrackName);
}

// The bytes kept of a name that is not UTF-8 are checked as well as its readable form.
QString TrackPaths::fault(const TrackRecord& track) const {
    const auto bytesFault = [](const QHash<qint32, QByteArray>& kept, qint32 id, auto check) {
        const auto found = kept.constFind(id);
        return found == kept.cend() ? QString() : check(scanlisting::readableName(*found));
    };
    QString name = fileNameFault(track.TrackName);
    if (name.isEmpty())
        name = bytesFault(m_lists.trackNameBytes, track.TrackID, fileNameFault);
    if (!name.isEmpty() || m_source.local)
        return name;
    const DirRecord* dir = m_dirs.value(track.DirID);
    const QString folder = dir ? dirNameFault(dir->DirName) : QString();
    return folder.isEmpty() ? bytesFault(m_lists.dirNameBytes, track.DirID, dirNameFault) : folder;
}

QByteArray TrackPaths::localPath(const TrackRecord& track) const {
    if (!fault(track).isEmpty())
        return {};
    if (m_source.local)
        return QFile::encodeName(fullPath(track));
    const DirRecord* dir = m_dirs.value(track.DirID);
    const QByteArray dirName =
        m_lists.dirNameBytes.value(track.DirID, QFile::encodeName(dir ? dir->DirName : QString()));
    const QByteArray trackName =
        m_lists.trackNameBytes.value(track.TrackID, QFile::encodeName(track.TrackName));
    const char separator = QDir::separator().toLatin1();
    return joinedWith(joinedWith(QFile::encodeName(drive(track)), dirName, separator), trackName,
                      separator);
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
