#include "randompicks.h"

namespace randompicks {

int songCount(const std::optional<QString>& answer) {
    if (!answer)
        return 0;
    bool ok = false;
    const int count = answer->trimmed().toInt(&ok);
    return ok && count > 0 ? count : 0;
}

std::vector<qint32> pick(const TrackList& tracks, int count, QSet<QString> taken,
                         QRandomGenerator& generator) {
    std::vector<qint32> picks;
    if (count <= 0)
        return picks;
    // The tracks still free; a drawn one leaves the pool, so every draw is uniform over
    // what remains and the command ends however many songs are asked for.
    std::vector<qint32> pool;
    for (qint32 i = 0; i < static_cast<qint32>(tracks.size()); ++i)
        if (tracks[i].TrackID != 0 && !tracks[i].TrackName.isEmpty() &&
            !taken.contains(tracks[i].TrackName))
            pool.push_back(i);
    while (static_cast<int>(picks.size()) < count && !pool.empty()) {
        const auto at = static_cast<size_t>(generator.bounded(static_cast<quint32>(pool.size())));
        const qint32 index = pool[at];
        pool[at] = pool.back();
        pool.pop_back();
        // Another track of the same name may have been drawn already.
        if (taken.contains(tracks[index].TrackName))
            continue;
        taken.insert(tracks[index].TrackName);
        picks.push_back(index);
    }
    return picks;
}

} // namespace randompicks
