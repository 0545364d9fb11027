#pragma once

#include "cataloglists.h"
#include "catalogtree.h"

#include <span>
#include <unordered_map>
#include <vector>

// The tracks on each disk and in each directory, as indexes into the list in list order, so
// that a click on a disk of a million-track catalogue does not pass over every track. The
// groups are built on first need and again whenever the list is found replaced or resized;
// whoever changes records in place calls rebuild().
class TrackGroups {
public:
    explicit TrackGroups(const TrackList& tracks) : m_tracks(tracks) {}

    // Builds the groups from the list as it is now.
    void rebuild();
    // Takes over the groups `built` made of a list that was since moved into this one's: they
    // can be made on another thread while the list loads.
    void adopt(TrackGroups&& built);
    // Indexes of the tracks on a disk or in a directory, in list order.
    std::vector<qint32> under(NodeRef node);

    struct Groups {
        std::unordered_map<qint32, qint32> groupOf; // DiskID or DirID to its group
        std::vector<qint32> starts;  // group g is members[starts[g]] up to members[starts[g + 1]]
        std::vector<qint32> members; // indexes into the list
        std::span<const qint32> of(qint32 id) const;
    };

private:
    const TrackList& m_tracks;
    const TrackRecord* m_seenData = nullptr;
    size_t m_seenSize = 0;
    Groups m_disks;
    Groups m_dirs;
};
