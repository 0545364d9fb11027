#include "trackpaths.h"

#include <QDir>

namespace {

// Parts joined as they stand, then tidied: a drive that is the root "/" and a directory name
// that starts with the separator would otherwise meet as "//".
QString joined(const QString& drive, const QString& dirName, const QString& trackName) {
    return QDir::toNativeSeparators(
        QDir::cleanPath(drive + dirName + QLatin1Char('/') + trackName));
}

} // namespace

TrackPaths TrackPaths::database(Lookups lookups, bool useCdDrive, const QString& cdDrive) {
    TrackPaths paths;
    paths.m_lookups.emplace(std::move(lookups));
    paths.m_useCdDrive = useCdDrive;
    paths.m_cdDrive = cdDrive;
    return paths;
}

TrackPaths TrackPaths::local(const DirList& dirs, const QString& folder) {
    TrackPaths paths;
    paths.m_dirs = &dirs;
    paths.m_localFolder = folder;
    return paths;
}

QString TrackPaths::drive(qint32 diskId) {
    if (isLocal())
        return m_localFolder;
    auto found = m_drives.constFind(diskId);
    if (found == m_drives.cend())
        found = m_drives.insert(diskId, m_lookups->GetDiskDrive(diskId, m_useCdDrive, m_cdDrive));
    return *found;
}

QString TrackPaths::fullPath(const TrackRecord& track) {
    if (isLocal()) {
        // Local directories are recorded at the index that is their DirID.
        const auto at = static_cast<size_t>(track.DirID);
        const QString dirName =
            track.DirID >= 0 && at < m_dirs->size() ? (*m_dirs)[at].DirName : QString();
        return joined(m_localFolder + QLatin1Char('/'), dirName, track.TrackName);
    }
    auto dir = m_dirNames.constFind(track.DirID);
    if (dir == m_dirNames.cend())
        dir = m_dirNames.insert(track.DirID, m_lookups->GetDirName(track.DirID));
    return joined(drive(track.DiskID), *dir, track.TrackName);
}

QString localMusicFolder() {
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\MP3");
#else
    return QDir::home().filePath(QStringLiteral("MP3"));
#endif
}
