#include "copyplan.h"

#include "tracklookup.h"

#include <algorithm>

namespace copyplan {

std::vector<Item> plan(const std::vector<Entry>& entries, const CatalogLists& lists,
                       const Source& source) {
    TrackLookup lookup(lists.tracks);
    const TrackPaths paths(lists, source);
    std::vector<Item> items;
    for (const Entry& entry : entries) {
        const TrackRecord* track = lookup.record(entry.trackId, entry.text);
        if (!track)
            continue;
        items.push_back({entry.row, QString::number(track->DiskID), paths.diskName(*track),
                         paths.fullPath(*track), paths.localPath(*track), track->TrackName,
                         paths.fault(*track)});
    }
    std::stable_sort(items.begin(), items.end(),
                     [](const Item& a, const Item& b) { return a.diskKey < b.diskKey; });
    return items;
}

} // namespace copyplan
