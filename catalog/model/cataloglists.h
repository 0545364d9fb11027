#pragma once

#include "sharedtext.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <vector>

// The catalogue in memory, as the player window works on it. Field order follows the tables,
// except that a track keeps Album before Artist.
struct DiskRecord {
    qint32 DiskID = 0;
    QString DiskName;
    QString Drive;
};

struct DirRecord {
    qint32 DirID = 0;
    qint32 DiskID = 0;
    QString DirName;
};

// Playing times, albums and artists repeat over many tracks: each is shared.
struct TrackRecord {
    qint32 TrackID = 0;
    qint32 DirID = 0;
    qint32 DiskID = 0;
    QString Title;
    QString TrackName;
    SharedText Duration;
    SharedText Album;
    SharedText Artist;
};

// A list loaded from a table of n rows holds the rows in table order followed by one spare
// element with identifier 0, which consumers skip. A list never loaded has no elements.
using DiskList = std::vector<DiskRecord>;
using DirList = std::vector<DirRecord>;
using TrackList = std::vector<TrackRecord>;

struct CatalogLists {
    DiskList disks;
    DirList dirs;
    TrackList tracks;
    // The file system's bytes of the few names that are not UTF-8 (a directory's below its
    // drive), by identifier: the lists hold them readably, with U+FFFD for each byte that is
    // not.
    QHash<qint32, QByteArray> dirNameBytes;
    QHash<qint32, QByteArray> trackNameBytes;
};
