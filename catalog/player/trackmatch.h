#pragma once

#include "cataloglists.h"

#include <QStringList>
#include <vector>

class TrackPaths;

// For each path, the index of the catalogued track it names: the track at that full path,
// else the first track in list order with its file name; -1 when no track has that name.
// One pass over the list, whatever the number of paths.
std::vector<qint32> matchTracks(const QStringList& paths, const TrackList& tracks,
                                const TrackPaths& trackPaths);
