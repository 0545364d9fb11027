#include "localfolder.h"

#include "dirlisting.h"
#include "mp3info.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace localfolder {
namespace {

const std::atomic<bool> neverStop{false};

// The playing times of the tracks from `first` on, read as a scan reads them.
void readDurations(CatalogLists& lists, const QString& root, size_t first,
                   const std::atomic<bool>& stop) {
    for (size_t i = first; i < lists.tracks.size() && !stop; ++i) {
        TrackRecord& track = lists.tracks[i];
        track.Duration =
            readMp3Info(QFile::encodeName(trackPath(lists, root, track)), stop).duration;
    }
}

} // namespace

QString defaultRoot() {
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\MP3");
#else
    return QDir::toNativeSeparators(QDir::home().filePath("MP3"));
#endif
}

bool isReadableFolder(const QString& root) {
    bool readable = false;
    dirlisting::subdirectories(root, &readable);
    return readable;
}

CatalogLists emptyLists() {
    CatalogLists lists;
    lists.disks.resize(2);
    lists.dirs.resize(2);
    lists.tracks.resize(2);
    lists.disks[0].DiskID = 1;
    lists.disks[0].DiskName = QStringLiteral("Local");
    return lists;
}

void addFolder(CatalogLists& lists, const QString& root, const QString& folder,
               const QStringList& files) {
    if (files.isEmpty())
        return;
    const qint32 dirId = static_cast<qint32>(lists.dirs.size());
    const qint32 diskId = lists.disks.empty() ? 1 : lists.disks[0].DiskID;
    const QString below = QDir::toNativeSeparators(QDir(root).relativeFilePath(folder));
    lists.dirs.push_back({dirId, diskId, below == "." ? QString() : below});
    for (const QString& name : files) {
        TrackRecord track;
        track.TrackID = static_cast<qint32>(lists.tracks.size());
        track.DirID = dirId;
        track.DiskID = diskId;
        track.TrackName = name;
        lists.tracks.push_back(std::move(track));
    }
}

void walk(CatalogLists& lists, const QString& root, const QString& path,
          const std::atomic<bool>* stop) {
    const std::atomic<bool>& stopped = stop ? *stop : neverStop;
    bool readable = false;
    const QStringList subfolders = dirlisting::subdirectories(path, &readable);
    if (!readable || stopped)
        return;
    for (const QString& subfolder : subfolders)
        walk(lists, root, subfolder, &stopped);
    if (stopped)
        return;
    const size_t first = lists.tracks.size();
    addFolder(lists, root, path, dirlisting::files(path, QStringLiteral("*.mp3")));
    readDurations(lists, root, first, stopped);
}

QString trackPath(const CatalogLists& lists, const QString& root, const TrackRecord& track) {
    QString dirName;
    if (track.DirID >= 0 && track.DirID < static_cast<qint32>(lists.dirs.size()))
        dirName = lists.dirs[track.DirID].DirName;
    QDir folder(root);
    if (!dirName.isEmpty())
        folder.setPath(folder.filePath(dirName));
    return QDir::toNativeSeparators(folder.filePath(track.TrackName));
}

} // namespace localfolder
