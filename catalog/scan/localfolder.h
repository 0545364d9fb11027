#pragma once

#include "cataloglists.h"

#include <QString>
#include <QStringList>

#include <atomic>

// The player's local mode: the MP3 files under one local folder as an in-memory catalogue of
// one disk, "Local". Every directory and track record's identifier is its index in its list,
// from 2 upward; nothing is written to the database.
namespace localfolder {

// "MP3" in the home folder; "C:\MP3" on Windows.
QString defaultRoot();

// Whether `root` is a folder that can be listed.
bool isReadableFolder(const QString& root);

// Lists of two empty records each, the first disk being disk 1, "Local".
CatalogLists emptyLists();

// Records `folder` (at or below `root`) with `files`, its MP3 file names, in order: a
// directory record, then a track record per file. A folder without files is not recorded.
void addFolder(CatalogLists& lists, const QString& root, const QString& folder,
               const QStringList& files);

// Walks `path` depth-first, recording each folder after all of its subfolders, and each track's
// playing time. Symbolic links to directories are not followed and folders that cannot be
// listed are left out. Setting `stop` (from another thread) ends the walk soon, the lists then
// being incomplete.
void walk(CatalogLists& lists, const QString& root, const QString& path,
          const std::atomic<bool>* stop = nullptr);

// Where a local track lies: `root`, its directory's name and its file name.
QString trackPath(const CatalogLists& lists, const QString& root, const TrackRecord& track);

} // namespace localfolder
