#pragma once

#include <QStringList>

// The columns of the catalogue's three tables, in their order: readers take columns by
// position, and a database whose tables differ is not a catalogue.
namespace catalogtables {

inline const QStringList diskColumns = {"DiskID", "DiskName", "Drive"};
inline const QStringList dirColumns = {"DirID", "DiskID", "DirName"};
inline const QStringList trackColumns = {"TrackID",   "DirID",    "DiskID", "Title",
                                         "TrackName", "Duration", "Artist", "Album"};

inline bool sameColumns(const QStringList& found, const QStringList& wanted) {
    if (found.size() != wanted.size())
        return false;
    for (int i = 0; i < found.size(); ++i)
        if (found[i].compare(wanted[i], Qt::CaseInsensitive) != 0)
            return false;
    return true;
}

// The indexes and the reports' views, as a file keeps them. They are safe to add to an existing
// catalogue that lacks them; the views are dropped and made again whenever a catalogue is
// upgraded or one of them was changed.
inline const char* const extras[] = {
    "CREATE INDEX IF NOT EXISTS TracksByName ON Tracks(TrackName)",
    "CREATE INDEX IF NOT EXISTS TracksByDir ON Tracks(DirID)",
    "CREATE INDEX IF NOT EXISTS TracksByDisk ON Tracks(DiskID)",
    "CREATE INDEX IF NOT EXISTS DirsByDisk ON Dirs(DiskID)",
    "CREATE VIEW IF NOT EXISTS \"Directories by Disk\" AS "
    "SELECT Disks.DiskName, Disks.Drive, Dirs.DirName, Dirs.DirID, Disks.DiskID "
    "FROM Disks JOIN Dirs ON Dirs.DiskID = Disks.DiskID "
    "ORDER BY Disks.DiskName, Dirs.DirName",
    "CREATE VIEW IF NOT EXISTS \"Tracks by Disk\" AS "
    "SELECT Disks.DiskName, Tracks.TrackName, Tracks.Title, Tracks.Artist, Tracks.Album, "
    "Tracks.Duration FROM Disks JOIN Tracks ON Tracks.DiskID = Disks.DiskID "
    "ORDER BY Disks.DiskName, Tracks.TrackName",
    "CREATE VIEW IF NOT EXISTS \"Tracks by Disk and Directory\" AS "
    "SELECT Disks.DiskName, Dirs.DirName, Tracks.TrackName, Tracks.Title, Tracks.Artist, "
    "Tracks.Album, Tracks.Duration FROM Tracks "
    "JOIN Dirs ON Dirs.DirID = Tracks.DirID JOIN Disks ON Disks.DiskID = Tracks.DiskID "
    "ORDER BY Disks.DiskName, Dirs.DirName, Tracks.TrackName",
    "CREATE VIEW IF NOT EXISTS \"Full List\" AS "
    "SELECT Tracks.TrackID, Disks.DiskName, Disks.Drive, Dirs.DirName, Tracks.TrackName, "
    "Tracks.Title, Tracks.Artist, Tracks.Album, Tracks.Duration FROM Tracks "
    "LEFT JOIN Dirs ON Dirs.DirID = Tracks.DirID "
    "LEFT JOIN Disks ON Disks.DiskID = Tracks.DiskID ORDER BY Tracks.TrackID",
};

} // namespace catalogtables
