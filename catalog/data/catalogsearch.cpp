#include "catalogsearch.h"

#include <QStringMatcher>

namespace {

template <typename Record, typename Name>
std::vector<qint32> search(const std::vector<Record>& list, const QString& text, Name name) {
    std::vector<qint32> found;
    const QStringMatcher matcher(text, Qt::CaseInsensitive);
    for (qint32 i = 0; i < static_cast<qint32>(list.size()); ++i) {
        const QString& candidate = name(list[i]);
        if (!candidate.isEmpty() && matcher.indexIn(candidate) >= 0)
            found.push_back(i);
    }
    return found;
}

} // namespace

std::vector<qint32> searchTrackNames(const TrackList& tracks, const QString& text) {
    return search(tracks, text, [](const TrackRecord& r) -> const QString& { return r.TrackName; });
}

std::vector<qint32> searchDirNames(const DirList& dirs, const QString& text) {
    return search(dirs, text, [](const DirRecord& r) -> const QString& { return r.DirName; });
}
