#include "catalogsearch.h"

#include <QStringMatcher>

namespace {

bool contains(const QStringMatcher& matcher, const QString& candidate) {
    return !candidate.isEmpty() && matcher.indexIn(candidate) >= 0;
}

template <typename Record, typename Matches>
std::vector<qint32> search(const std::vector<Record>& list, const QString& text, Matches matches) {
    std::vector<qint32> found;
    const QStringMatcher matcher(text, Qt::CaseInsensitive);
    for (qint32 i = 0; i < static_cast<qint32>(list.size()); ++i) {
        if (matches(matcher, list[i]))
            found.push_back(i);
    }
    return found;
}

} // namespace

std::vector<qint32> searchTrackNames(const TrackList& tracks, const QString& text) {
    return search(tracks, text, [](const QStringMatcher& m, const TrackRecord& r) {
        return contains(m, r.TrackName);
    });
}

std::vector<qint32> searchDirNames(const DirList& dirs, const QString& text) {
    return search(dirs, text, [](const QStringMatcher& m, const DirRecord& r) {
        return contains(m, r.DirName);
    });
}

std::vector<qint32> searchTrackTags(const TrackList& tracks, const QString& text) {
    return search(tracks, text, [](const QStringMatcher& m, const TrackRecord& r) {
        return contains(m, r.Title) || contains(m, r.Artist) || contains(m, r.Album);
    });
}

QString tagsResultText(const TrackRecord& track) {
    return track.Artist + QStringLiteral(" - ") + track.Title + QStringLiteral(" (") +
           track.TrackName + QLatin1Char(')');
}
