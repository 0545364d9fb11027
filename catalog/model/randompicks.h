#pragma once

#include "cataloglists.h"

#include <QRandomGenerator>
#include <QSet>
#include <optional>
#include <vector>

// The play list's random songs.
namespace randompicks {

inline constexpr int ProposedCount = 15;

// The number of songs an answer to "Number of songs:" asks for: a whole number, or 0 when the
// answer is empty, cancelled, negative, fractional or not a number.
int songCount(const std::optional<QString>& answer);

// Indexes into `tracks` of `count` random tracks, each drawn uniformly from the real tracks
// (an identifier and a name) whose name is not in `taken` and was not drawn before. Fewer
// come back when the tracks run out.
std::vector<qint32> pick(const TrackList& tracks, int count, QSet<QString> taken,
                         QRandomGenerator& generator);

} // namespace randompicks
