#pragma once

#include <QString>
#include <QStringList>

// Directory listings shared by the browser lists and the disk walks, so that both see the
// same entries in the same order: ascending name order ignoring case, hidden entries left out.
namespace dirlisting {

// Full native paths of the subdirectories of `path`. Symbolic links to directories are left
// out, so that a walk over them always ends. `readable` tells whether `path` could be listed.
QStringList subdirectories(const QString& path, bool* readable = nullptr);

// Names of the regular files of `path` matching `pattern`, compared case-insensitively ("*.mp3"
// finds "SONG.MP3"); a symbolic link is listed only when it leads to a regular file.
QStringList files(const QString& path, const QString& pattern);

// The root of the volume holding `path`, without a trailing separator except for the
// file-system root itself.
QString volumeRoot(const QString& path);

// `path` below its volume root, starting with the separator; the root itself gives the
// separator alone.
QString pathBelowVolume(const QString& path, const QString& volumeRoot);

// Where a scan of `start` walks, and the root its directory names are stored below.
struct ScanStart {
    QString path;
    QString root;
};
// The disk's `drive` as the person gave it is the root when `start` lies on it, reached
// through a link or not (a drive "/media/cdrom0" linked to "/media/cdrom" and a start of
// "/media/cdrom/Album" walk "/media/cdrom0/Album"); otherwise the root of the volume holding
// `start`.
ScanStart scanStart(const QString& start, const QString& drive);

} // namespace dirlisting
