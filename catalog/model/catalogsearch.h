#pragma once

#include "cataloglists.h"
#include "foldedtexts.h"

#include <QString>
#include <vector>

// Searches of the in-memory catalogue. A text matches a name that contains it ignoring case
// and accents (searchFolded): "cafe" finds "Café.mp3". Results are indexes into the list, in
// list order. An empty name never matches, so spare elements never do, and an empty text
// matches every record that has a name.
//
// The names are folded once, on first need or by prepare(), and again whenever a list is found
// replaced or resized; whoever changes records in place calls prepare().
class CatalogSearch {
public:
    CatalogSearch(const TrackList& tracks, const DirList& dirs) : m_tracks(tracks), m_dirs(dirs) {}

    // Folds every searched text of both lists now, before the first search needs them.
    void prepare();
    // Takes over the tracks' folded texts of `prepared`, whose track list was since moved into
    // this one's: they can be folded on another thread while the list loads.
    void adoptTracks(CatalogSearch&& prepared);
    // Tracks by file name.
    std::vector<qint32> trackNames(const QString& text);
    // Directories by name.
    std::vector<qint32> dirNames(const QString& text);
    // Tracks whose title, artist or album contains the text; empty tags never match, so a
    // track without tags never does.
    std::vector<qint32> trackTags(const QString& text);

private:
    template <typename Record> struct Seen {
        const Record* data = nullptr;
        size_t size = 0;
        bool same(const std::vector<Record>& list) const {
            return data == list.data() && size == list.size();
        }
        void remember(const std::vector<Record>& list) {
            data = list.data();
            size = list.size();
        }
    };
    void foldTrackNames();
    void foldTags();
    void foldDirNames();

    const TrackList& m_tracks;
    const DirList& m_dirs;
    FoldedTexts m_trackNames;
    FoldedTexts m_titles;
    FoldedTexts m_artists;
    FoldedTexts m_albums;
    FoldedTexts m_dirNames;
    Seen<TrackRecord> m_namesSeen;
    Seen<TrackRecord> m_tagsSeen;
    Seen<DirRecord> m_dirsSeen;
};

// One search of a list that is searched once, as the command line does.
std::vector<qint32> searchTrackNames(const TrackList& tracks, const QString& text);
std::vector<qint32> searchDirNames(const DirList& dirs, const QString& text);
std::vector<qint32> searchTrackTags(const TrackList& tracks, const QString& text);

// How a track found by its tags is listed: "Artist - Title (file name)".
QString tagsResultText(const TrackRecord& track);
QString tagsResultText(const QString& artist, const QString& title, const QString& trackName);
