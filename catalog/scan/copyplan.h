#pragma once

#include "cataloglists.h"
#include "trackpaths.h"

#include <QString>
#include <vector>

// Which files the play list's "&Copy" copies, from where, and in which order.
namespace copyplan {

// A play-list row as the copy sees it.
struct Entry {
    int row = 0;        // the row to tick once its file is copied
    qint32 trackId = 0; // the track the row was added from; 0 when it has none
    QString text;       // the track's file name, as the row shows it
};

// Where the tracks are read from.
using Source = TrackSource;

// One file to copy.
struct Item {
    int row = 0;
    QString diskKey;        // the disk's identifier as decimal text; the copy goes disk by disk
    QString diskName;       // the disk to ask for ("Local" in local mode)
    QString source;         // full path of the file on its disk, as people read it
    QByteArray localSource; // the same as the file system holds it: for opening
    QString fileName;
    QString refusal; // why the catalogue's names for the file cannot be used, if they cannot
};

// Resolves each entry to its track (by identity, by name for a row without one) and orders the
// result by disk key compared as text, so disk 10 comes before disk 2; rows of one disk keep
// their play-list order. Entries whose track is not in the lists are left out; a track whose
// names would lead outside the target folder or off its disk is planned with its refusal.
std::vector<Item> plan(const std::vector<Entry>& entries, const CatalogLists& lists,
                       const Source& source);

} // namespace copyplan
