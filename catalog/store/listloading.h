#pragma once

#include "cataloglists.h"

#include <QSqlDatabase>

// The lists read from the catalogue. Each load leaves its list as it was when the table returns
// no row. A table that cannot be read completely (a damaged catalogue) leaves the list as it was
// and throws CatalogError.
void LoadDisks(const QSqlDatabase& db, DiskList& list);
void LoadDirs(const QSqlDatabase& db, DirList& list);
void LoadTracks(const QSqlDatabase& db, TrackList& list);
// Disks, then tracks, then directories, then the bytes of names that are not UTF-8.
void LoadCatalog(const QSqlDatabase& db, CatalogLists& lists);
