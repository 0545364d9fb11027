#include "trackgroups.h"

namespace {

// Gives keys their group numbers in order of first appearance, with one lookup per run of
// tracks that share a key: a scan stores a directory's tracks one after another.
class Numbering {
public:
    explicit Numbering(TrackGroups::Groups& groups) : m_groups(groups) {}
    qint32 groupOf(qint32 key) {
        if (m_lastGroup < 0 || key != m_lastKey) {
            const auto [found, added] = m_groups.groupOf.try_emplace(key, qint32(counts.size()));
            if (added)
                counts.push_back(0);
            m_lastKey = key;
            m_lastGroup = found->second;
        }
        ++counts[size_t(m_lastGroup)];
        return m_lastGroup;
    }
    std::vector<qint32> counts;

private:
    TrackGroups::Groups& m_groups;
    qint32 m_lastKey = 0;
    qint32 m_lastGroup = -1;
};

// Lays out each group's members in list order: a counting sort of the tracks by group.
void placeMembers(TrackGroups::Groups& groups, const std::vector<qint32>& counts,
                  const std::vector<qint32>& groupOfTrack) {
    groups.starts.assign(counts.size() + 1, 0);
    for (size_t g = 0; g < counts.size(); ++g)
        groups.starts[g + 1] = groups.starts[g] + counts[g];
    groups.members.resize(size_t(groups.starts.back()));
    std::vector<qint32> next(groups.starts.begin(), groups.starts.end() - 1);
    for (size_t i = 0; i < groupOfTrack.size(); ++i)
        if (groupOfTrack[i] >= 0)
            groups.members[size_t(next[size_t(groupOfTrack[i])]++)] = qint32(i);
}

} // namespace

std::span<const qint32> TrackGroups::Groups::of(qint32 id) const {
    const auto found = groupOf.find(id);
    if (found == groupOf.end())
        return {};
    const auto g = size_t(found->second);
    return std::span<const qint32>(members).subspan(size_t(starts[g]),
                                                    size_t(starts[g + 1] - starts[g]));
}

// One pass over the records, which are large: the rest works on small arrays.
void TrackGroups::rebuild() {
    m_disks = {};
    m_dirs = {};
    Numbering disks(m_disks), dirs(m_dirs);
    std::vector<qint32> diskOfTrack(m_tracks.size(), -1), dirOfTrack(m_tracks.size(), -1);
    constexpr size_t ahead = 8;
    for (size_t i = 0; i < m_tracks.size(); ++i) {
        if (i + ahead < m_tracks.size())
            __builtin_prefetch(&m_tracks[i + ahead]);
        const TrackRecord& track = m_tracks[i];
        if (track.TrackID == 0)
            continue;
        diskOfTrack[i] = disks.groupOf(track.DiskID);
        dirOfTrack[i] = dirs.groupOf(track.DirID);
    }
    placeMembers(m_disks, disks.counts, diskOfTrack);
    placeMembers(m_dirs, dirs.counts, dirOfTrack);
    m_seenData = m_tracks.data();
    m_seenSize = m_tracks.size();
}

void TrackGroups::adopt(TrackGroups&& built) {
    m_disks = std::move(built.m_disks);
    m_dirs = std::move(built.m_dirs);
    m_seenData = built.m_seenData;
    m_seenSize = built.m_seenSize;
}

std::vector<qint32> TrackGroups::under(NodeRef node) {
    if (m_tracks.data() != m_seenData || m_tracks.size() != m_seenSize)
        rebuild();
    const Groups& groups = node.kind == NodeKind::Disk ? m_disks : m_dirs;
    const std::span<const qint32> found = groups.of(node.id);
    return {found.begin(), found.end()};
}
