#include "catalogsearch.h"

#include "searchfold.h"

#include <future>
#include <system_error>
#include <thread>

namespace {

struct Needle {
    std::u16string text; // folded
    bool ascii = true;
};

Needle needleOf(const QString& text) {
    const QString folded = searchFolded(text);
    return {std::u16string(reinterpret_cast<const char16_t*>(folded.constData()),
                           size_t(folded.size())),
            isAscii(folded)};
}

// Whether the ASCII `candidate` holds `needle`, reading capitals as small letters. A plain scan:
// faster on short names than a general matcher, which matters over a million tracks. A
// character beyond ASCII (a list changed in place since it was folded) is still compared by
// its case.
bool asciiContains(const QString& candidate, const std::u16string& needle) {
    const auto length = qsizetype(needle.size());
    const qsizetype last = candidate.size() - length;
    if (last < 0)
        return false;
    const char16_t* text = reinterpret_cast<const char16_t*>(candidate.constData());
    const auto folded = [](char16_t c) {
        return c < 0x80 ? asciiFolded(c) : QChar(c).toCaseFolded().unicode();
    };
    for (qsizetype at = 0; at <= last; ++at) {
        if (folded(text[at]) != needle[0])
            continue;
        qsizetype k = 1;
        while (k < length && folded(text[at + k]) == needle[size_t(k)])
            ++k;
        if (k == length)
            return true;
    }
    return false;
}

// One text field of the records a part of a search walks through, in rising order.
class Field {
public:
    Field(const FoldedTexts& folded, qint32 begin) : m_folded(folded, begin) {}

    bool contains(qint32 index, const QString& text, const Needle& needle) {
        if (text.isEmpty())
            return false;
        if (needle.text.empty())
            return true;
        if (const std::u16string_view* folded = m_folded.at(index))
            return folded->find(needle.text) != std::u16string_view::npos;
        return needle.ascii && asciiContains(text, needle.text);
    }

private:
    FoldedTexts::Reader m_folded;
};

void prefetch(const QString& text) {
    __builtin_prefetch(text.constData());
}

// Matches the records [begin, end) in order. The names lie behind their records: the time
// goes into waiting for them, unless the names of the records a little ahead are asked for
// early. `matcherFrom(begin)` gives the part its matcher, which keeps its place in the
// folded texts.
template <typename Record, typename MatcherFrom, typename Fetch>
std::vector<qint32> searchPart(const std::vector<Record>& list, qint32 begin, qint32 end,
                               MatcherFrom matcherFrom, Fetch fetch) {
    constexpr qint32 ahead = 16;
    auto matches = matcherFrom(begin);
    std::vector<qint32> found;
    for (qint32 i = begin; i < end; ++i) {
        if (i + ahead < end)
            fetch(list[size_t(i + ahead)]);
        if (matches(i, list[size_t(i)]))
            found.push_back(i);
    }
    return found;
}

// A large list is searched in two halves at once: one core alone cannot read memory as fast
// as two.
template <typename Record, typename MatcherFrom, typename Fetch>
std::vector<qint32> search(const std::vector<Record>& list, MatcherFrom matcherFrom, Fetch fetch) {
    constexpr qint32 worthSplitting = 100000;
    const auto count = static_cast<qint32>(list.size());
    if (count < worthSplitting || std::thread::hardware_concurrency() < 2)
        return searchPart(list, 0, count, matcherFrom, fetch);
    const qint32 middle = count / 2;
    std::future<std::vector<qint32>> secondHalf;
    try {
        secondHalf = std::async(std::launch::async, [&] {
            return searchPart(list, middle, count, matcherFrom, fetch);
        });
    } catch (const std::system_error&) { // no thread to be had: search on this one
        return searchPart(list, 0, count, matcherFrom, fetch);
    }
    std::vector<qint32> found = searchPart(list, 0, middle, matcherFrom, fetch);
    const std::vector<qint32> rest = secondHalf.get();
    found.insert(found.end(), rest.begin(), rest.end());
    return found;
}

} // namespace

void CatalogSearch::prepare() {
    foldTrackNames();
    foldTags();
    foldDirNames();
}

void CatalogSearch::adoptTracks(CatalogSearch&& prepared) {
    m_trackNames = std::move(prepared.m_trackNames);
    m_titles = std::move(prepared.m_titles);
    m_artists = std::move(prepared.m_artists);
    m_albums = std::move(prepared.m_albums);
    m_namesSeen = prepared.m_namesSeen;
    m_tagsSeen = prepared.m_tagsSeen;
}

void CatalogSearch::foldTrackNames() {
    m_trackNames.build(qint32(m_tracks.size()), [this](qint32 i) -> const QString& {
        return m_tracks[size_t(i)].TrackName;
    });
    m_namesSeen.remember(m_tracks);
}

void CatalogSearch::foldTags() {
    const auto count = qint32(m_tracks.size());
    m_titles.build(count, [this](qint32 i) -> const QString& { return m_tracks[size_t(i)].Title; });
    m_artists.build(count,
                    [this](qint32 i) -> const QString& { return m_tracks[size_t(i)].Artist; });
    m_albums.build(count, [this](qint32 i) -> const QString& { return m_tracks[size_t(i)].Album; });
    m_tagsSeen.remember(m_tracks);
}

void CatalogSearch::foldDirNames() {
    m_dirNames.build(qint32(m_dirs.size()),
                     [this](qint32 i) -> const QString& { return m_dirs[size_t(i)].DirName; });
    m_dirsSeen.remember(m_dirs);
}

std::vector<qint32> CatalogSearch::trackNames(const QString& text) {
    if (!m_namesSeen.same(m_tracks))
        foldTrackNames();
    const Needle needle = needleOf(text);
    return search(
        m_tracks,
        [&](qint32 begin) {
            return [&needle, names = Field(m_trackNames, begin)](qint32 i,
                                                                 const TrackRecord& r) mutable {
                return names.contains(i, r.TrackName, needle);
            };
        },
        [](const TrackRecord& r) { prefetch(r.TrackName); });
}

std::vector<qint32> CatalogSearch::dirNames(const QString& text) {
    if (!m_dirsSeen.same(m_dirs))
        foldDirNames();
    const Needle needle = needleOf(text);
    return search(
        m_dirs,
        [&](qint32 begin) {
            return
                [&needle, names = Field(m_dirNames, begin)](qint32 i, const DirRecord& r) mutable {
                    return names.contains(i, r.DirName, needle);
                };
        },
        [](const DirRecord& r) { prefetch(r.DirName); });
}

std::vector<qint32> CatalogSearch::trackTags(const QString& text) {
    if (!m_tagsSeen.same(m_tracks))
        foldTags();
    const Needle needle = needleOf(text);
    return search(
        m_tracks,
        [&](qint32 begin) {
            return [&needle, titles = Field(m_titles, begin), artists = Field(m_artists, begin),
                    albums = Field(m_albums, begin)](qint32 i, const TrackRecord& r) mutable {
                return titles.contains(i, r.Title, needle) ||
                       artists.contains(i, r.Artist, needle) || albums.contains(i, r.Album, needle);
            };
        },
        [](const TrackRecord& r) {
            prefetch(r.Title);
            prefetch(r.Artist);
            prefetch(r.Album);
        });
}

std::vector<qint32> searchTrackNames(const TrackList& tracks, const QString& text) {
    return CatalogSearch(tracks, {}).trackNames(text);
}

std::vector<qint32> searchDirNames(const DirList& dirs, const QString& text) {
    return CatalogSearch({}, dirs).dirNames(text);
}

std::vector<qint32> searchTrackTags(const TrackList& tracks, const QString& text) {
    return CatalogSearch(tracks, {}).trackTags(text);
}

QString tagsResultText(const TrackRecord& track) {
    return tagsResultText(track.Artist, track.Title, track.TrackName);
}

QString tagsResultText(const QString& artist, const QString& title, const QString& trackName) {
    QString text;
    text.reserve(artist.size() + title.size() + trackName.size() + 6);
    text.append(artist).append(u" - ").append(title).append(u" (");
    return text.append(trackName).append(u')');
}
