#include "listloading.h"

#include "catalogengine.h"
#include "rowreader.h"
#include "textarena.h"

#include <QSqlDriver>
#include <algorithm>

namespace {

// Reads every row of `table` into a fresh list, then swaps it in, so that a table with no
// rows leaves the old list untouched. A table that cannot be read completely leaves it
// untouched too, and throws: a shortened list is never taken for the whole.
// The rows `table` holds at most, as far as it is worth making room for them ahead: identifiers
// are given in ascending order, so the largest is about the count. Growing the list instead
// would hold two copies of it at once.
size_t expectedRows(const QSqlDatabase& db, const QString& table, const QString& id) {
    constexpr qint64 plausible = 1 << 24;
    const auto rows =
        catalogengine::forConnection(db).rows(db, "SELECT MAX(" + id + ") FROM " + table);
    const qint64 largest = rows->next() ? rows->integer64(0) : 0;
    return size_t(std::clamp<qint64>(largest, 0, plausible));
}

// How many rows pass between two reports of progress: few enough reports not to slow reading.
constexpr size_t ProgressStep = 16384;

template <typename Record, typename Fill>
void loadTable(const QSqlDatabase& db, const QString& table, const QString& id,
               std::vector<Record>& list, Fill fill, const LoadProgress& progress = {}) {
    std::vector<Record> loaded;
    const size_t expected = expectedRows(db, table, id);
    loaded.reserve(expected + 1);
    const auto rows = catalogengine::forConnection(db).rows(db, "SELECT * FROM " + table);
    while (rows->next()) {
        Record& record = loaded.emplace_back();
        fill(*rows, record);
        if (progress && loaded.size() % ProgressStep == 0 &&
            !progress(
                int(std::min<size_t>(99, loaded.size() * 100 / std::max<size_t>(expected, 1)))))
            throw LoadStopped();
    }
    if (loaded.empty())
        return;
    loaded.emplace_back(); // the spare element
    loaded.shrink_to_fit();
    list.swap(loaded);
}

// A catalogue on a read-only disk made before these tables has none.
void loadNameBytes(const QSqlDatabase& db, const QString& table, QHash<qint32, QByteArray>& bytes) {
    if (!db.tables().contains(table, Qt::CaseInsensitive))
        return;
    QHash<qint32, QByteArray> loaded;
    const auto rows = catalogengine::forConnection(db).rows(db, "SELECT * FROM " + table);
    while (rows->next())
        loaded.insert(rows->integer(0), rows->blob(1));
    bytes.swap(loaded);
}

} // namespace

void LoadDisks(const QSqlDatabase& db, DiskList& list) {
    loadTable(db, "Disks", "DiskID", list, [](const RowReader& q, DiskRecord& r) {
        r.DiskID = q.integer(0);
        r.DiskName = q.text(1);
        r.Drive = q.text(2);
    });
}

void LoadDirs(const QSqlDatabase& db, DirList& list) {
    TextArena names;
    loadTable(db, "Dirs", "DirID", list, [&](const RowReader& q, DirRecord& r) {
        r.DirID = q.integer(0);
        r.DiskID = q.integer(1);
        r.DirName = q.text(2, names);
    });
}

// Artists, albums and playing times repeat over many tracks: each record shares one copy.
// All texts lie side by side in shared blocks, the names apart from the rest, so that a search
// by name reads only names.
void LoadTracks(const QSqlDatabase& db, TrackList& list, const LoadProgress& progress) {
    TextArena arena, names;
    TextPool durations(arena), artists(arena), albums(arena);
    loadTable(
        db, "Tracks", "TrackID", list,
        [&](const RowReader& q, TrackRecord& r) {
            r.TrackID = q.integer(0);
            r.DirID = q.integer(1);
            r.DiskID = q.integer(2);
            r.Title = q.text(3, arena);
            r.TrackName = q.text(4, names);
            r.Duration = q.text(5, durations);
            r.Artist = q.text(6, artists);
            r.Album = q.text(7, albums);
        },
        progress);
}

void LoadCatalogTree(const QSqlDatabase& db, CatalogLists& lists) {
    LoadDisks(db, lists.disks);
    LoadDirs(db, lists.dirs);
    loadNameBytes(db, "DirNameBytes", lists.dirNameBytes);
    loadNameBytes(db, "TrackNameBytes", lists.trackNameBytes);
}

void LoadCatalog(const QSqlDatabase& db, CatalogLists& lists) {
    // Programs scanning meanwhile add whole directories: one state shows each whole or not.
    Transaction snapshot(db, Transaction::Mode::Snapshot);
    LoadCatalogTree(db, lists);
    LoadTracks(db, lists.tracks);
}
