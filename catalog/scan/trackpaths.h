#pragma once

#include "cataloglists.h"

#include <QHash>
#include <QString>

// Full paths of catalogued directories and tracks: the disk's drive, then the directory's
// name below it, then the file name, with one separator between each ("/" and "/Music" give
// "/Music", "E:" and "\\" give "E:\\").
QString fullDirPath(const QString& drive, const QString& dirName);
QString fullTrackPath(const QString& drive, const QString& dirName, const QString& trackName);

// Whether `path` can be one line of an m3u play list: a CR or LF in it (legal in a Linux file
// name) would split it into several entries, some of them of the name's choosing.
bool fitsPlayListLine(const QString& path);

// Why a name from the catalogue cannot be used, or "" when it can. A track name must be one
// file name: empty, "." or "..", or holding a separator, it names a folder or leads out of its
// own. A directory name must stay below its drive: a ".." component climbs out of it.
QString fileNameFault(const QString& name);
QString dirNameFault(const QString& dirName);

// Where the player reads tracks from.
struct TrackSource {
    bool local = false;      // local mode: the lists hold a walk of `localRoot`
    QString localRoot;       // the local folder
    bool useCdDrive = false; // the "&Drive" option: every disk is read from `cdDrive`
    QString cdDrive;
};

// Where tracks lie and which disk holds them, read from the in-memory lists: in database mode
// the disk's drive (or the one CD drive of the "&Drive" option), the directory's name below it
// and the file name; in local mode a path under the local folder.
class TrackPaths {
public:
    TrackPaths(const CatalogLists& lists, const TrackSource& source);

    // Empty for a track whose names the catalogue got wrong; fault() says what is wrong.
    QString fullPath(const TrackRecord& track) const;
    QString fault(const TrackRecord& track) const;
    // The path as the file system holds it, with the bytes of names that are not UTF-8: for
    // opening the file. Empty as fullPath is.
    QByteArray localPath(const TrackRecord& track) const;
    // The disk to insert for a track whose file is not there, and the drive it is read from.
    QString diskName(const TrackRecord& track) const;
    QString drive(const TrackRecord& track) const;
    bool isLocal() const { return m_source.local; }

private:
    const CatalogLists& m_lists;
    TrackSource m_source;
    QHash<qint32, const DiskRecord*> m_disks;
    QHash<qint32, const DirRecord*> m_dirs;
};
