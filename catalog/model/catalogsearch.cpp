#include "catalogsearch.h"

#include <future>
#include <system_error>
#include <thread>

namespace {

char16_t folded(char16_t c) {
    if (c < 0x80)
        return c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
    return QChar(c).toCaseFolded().unicode();
}

// Whether `candidate` holds `needle`, which is already case-folded, ignoring case. A plain
// scan that folds each character once it is compared: faster on short names than a general
// matcher, which matters over hundreds of thousands of tracks.
bool contains(const QString& candidate, const QString& needle) {
    const qsizetype length = needle.size();
    const qsizetype last = candidate.size() - length;
    if (candidate.isEmpty() || last < 0)
        return false;
    const char16_t* text = reinterpret_cast<const char16_t*>(candidate.constData());
    const char16_t* wanted = reinterpret_cast<const char16_t*>(needle.constData());
    if (length == 0)
        return true;
    for (qsizetype at = 0; at <= last; ++at) {
        if (folded(text[at]) != wanted[0])
            continue;
        qsizetype k = 1;
        while (k < length && folded(text[at + k]) == wanted[k])
            ++k;
        if (k == length)
            return true;
    }
    return false;
}

void prefetch(const QString& text) {
    __builtin_prefetch(text.constData());
}

// Matches the records [begin, end) in order. The names lie behind their records: the time
// goes into waiting for them, unless the names of the records a little ahead are asked for
// early.
template <typename Record, typename Matches, typename Fetch>
std::vector<qint32> searchPart(const std::vector<Record>& list, qint32 begin, qint32 end,
                               const QString& needle, Matches matches, Fetch fetch) {
    constexpr qint32 ahead = 16;
    std::vector<qint32> found;
    for (qint32 i = begin; i < end; ++i) {
        if (i + ahead < end)
            fetch(list[size_t(i + ahead)]);
        if (matches(needle, list[size_t(i)]))
            found.push_back(i);
    }
    return found;
}

// A large list is searched in two halves at once: one core alone cannot read memory as fast
// as two.
template <typename Record, typename Matches, typename Fetch>
std::vector<qint32> search(const std::vector<Record>& list, const QString& text, Matches matches,
                           Fetch fetch) {
    constexpr qint32 worthSplitting = 100000;
    QString needle = text;
    for (QChar& c : needle)
        c = QChar(folded(c.unicode()));
    const auto count = static_cast<qint32>(list.size());
    if (count < worthSplitting || std::thread::hardware_concurrency() < 2)
        return searchPart(list, 0, count, needle, matches, fetch);
    const qint32 middle = count / 2;
    std::future<std::vector<qint32>> secondHalf;
    try {
        secondHalf = std::async(std::launch::async, [&] {
            return searchPart(list, middle, count, needle, matches, fetch);
        });
    } catch (const std::system_error&) { // no thread to be had: search on this one
        return searchPart(list, 0, count, needle, matches, fetch);
    }
    std::vector<qint32> found = searchPart(list, 0, middle, needle, matches, fetch);
    const std::vector<qint32> rest = secondHalf.get();
    found.insert(found.end(), rest.begin(), rest.end());
    return found;
}

} // namespace

std::vector<qint32> searchTrackNames(const TrackList& tracks, const QString& text) {
    return search(
        tracks, text,
        [](const QString& needle, const TrackRecord& r) { return contains(r.TrackName, needle); },
        [](const TrackRecord& r) { prefetch(r.TrackName); });
}

std::vector<qint32> searchDirNames(const DirList& dirs, const QString& text) {
    return search(
        dirs, text,
        [](const QString& needle, const DirRecord& r) { return contains(r.DirName, needle); },
        [](const DirRecord& r) { prefetch(r.DirName); });
}

std::vector<qint32> searchTrackTags(const TrackList& tracks, const QString& text) {
    return search(
        tracks, text,
        [](const QString& needle, const TrackRecord& r) {
            return contains(r.Title, needle) || contains(r.Artist, needle) ||
                   contains(r.Album, needle);
        },
        [](const TrackRecord& r) {
            prefetch(r.Title);
            prefetch(r.Artist);
            prefetch(r.Album);
        });
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
