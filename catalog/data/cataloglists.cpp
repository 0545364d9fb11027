#include "cataloglists.h"

#include "catalogdb.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {

// Reads every row of `table` into a fresh list, then swaps it in, so that a table with no
// rows leaves the old list untouched. A table that cannot be read completely leaves it
// untouched too, and throws: a shortened list is never taken for the whole.
template <typename Record, typename Fill>
void loadTable(const QSqlDatabase& db, const QString& table, std::vector<Record>& list, Fill fill) {
    QSqlQuery q(db);
    q.setForwardOnly(true);
    catalogdb::exec(q, "SELECT * FROM " + table);
    std::vector<Record> loaded;
    while (q.next()) {
        Record& record = loaded.emplace_back();
        fill(q, record);
    }
    // The rows end early, without a word, when a page cannot be read.
    if (q.lastError().isValid())
        throw CatalogError(QStringLiteral("SELECT * FROM %1\n%2").arg(table, q.lastError().text()),
                           catalogdb::resultCode(q.lastError()));
    if (loaded.empty())
        return;
    loaded.emplace_back(); // the spare element
    loaded.shrink_to_fit();
    list.swap(loaded);
}

} // namespace

void LoadDisks(const QSqlDatabase& db, DiskList& list) {
    loadTable(db, "Disks", list, [](const QSqlQuery& q, DiskRecord& r) {
        r.DiskID = q.value(0).toInt();
        r.DiskName = q.value(1).toString();
        r.Drive = q.value(2).toString();
    });
}

void LoadDirs(const QSqlDatabase& db, DirList& list) {
    loadTable(db, "Dirs", list, [](const QSqlQuery& q, DirRecord& r) {
        r.DirID = q.value(0).toInt();
        r.DiskID = q.value(1).toInt();
        r.DirName = q.value(2).toString();
    });
}

void LoadTracks(const QSqlDatabase& db, TrackList& list) {
    loadTable(db, "Tracks", list, [](const QSqlQuery& q, TrackRecord& r) {
        r.TrackID = q.value(0).toInt();
        r.DirID = q.value(1).toInt();
        r.DiskID = q.value(2).toInt();
        r.Title = q.value(3).toString();
        r.TrackName = q.value(4).toString();
        r.Duration = q.value(5).toString();
        r.Artist = q.value(6).toString();
        r.Album = q.value(7).toString();
    });
}

void LoadCatalog(const QSqlDatabase& db, CatalogLists& lists) {
    LoadDisks(db, lists.disks);
    LoadTracks(db, lists.tracks);
    LoadDirs(db, lists.dirs);
}
