#pragma once

#include "cataloglists.h"

#include <QSqlDatabase>
#include <functional>

// The lists read from the catalogue. Each load leaves its list as it was when the table returns
// no row. A table that cannot be read completely (a damaged catalogue) leaves the list as it was
// and throws CatalogError.
void LoadDisks(const QSqlDatabase& db, DiskList& list);
void LoadDirs(const QSqlDatabase& db, DirList& list);
// Told the share of the rows read so far, in percent, now and then; false stops the reading
// with LoadStopped, the list left as it was.
using LoadProgress = std::function<bool(int percent)>;
struct LoadStopped {};
void LoadTracks(const QSqlDatabase& db, TrackList& list, const LoadProgress& progress = {});
// Everything but the tracks: disks, directories and the bytes of names that are not UTF-8.
void LoadCatalogTree(const QSqlDatabase& db, CatalogLists& lists);
// The tree and the tracks, in one state of the catalogue.
void LoadCatalog(const QSqlDatabase& db, CatalogLists& lists);
