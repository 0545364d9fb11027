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

} // namespace dirlisting
