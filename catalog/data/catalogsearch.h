#pragma once

#include "cataloglists.h"

#include <QString>
#include <vector>

// Indexes of the records whose name contains `text`, ignoring case, in list order. A record
// with an empty name never matches, so spare elements never do, and an empty text matches
// every record that has a name.
std::vector<qint32> searchTrackNames(const TrackList& tracks, const QString& text);
std::vector<qint32> searchDirNames(const DirList& dirs, const QString& text);
