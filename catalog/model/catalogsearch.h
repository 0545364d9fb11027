#pragma once

#include "cataloglists.h"

#include <QString>
#include <vector>

// Indexes of the records whose name contains `text`, ignoring case, in list order. A record
// with an empty name never matches, so spare elements never do, and an empty text matches
// every record that has a name.
std::vector<qint32> searchTrackNames(const TrackList& tracks, const QString& text);
std::vector<qint32> searchDirNames(const DirList& dirs, const QString& text);

// Indexes of the tracks whose title, artist or album contains `text`, ignoring case, in list
// order. Empty tag texts never match, so a track without tags and the spare element never do.
std::vector<qint32> searchTrackTags(const TrackList& tracks, const QString& text);

// How a track found by its tags is listed: "Artist - Title (file name)".
QString tagsResultText(const TrackRecord& track);
QString tagsResultText(const QString& artist, const QString& title, const QString& trackName);
