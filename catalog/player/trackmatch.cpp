#include "trackmatch.h"

#include "trackpaths.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

std::vector<qint32> matchTracks(const QStringList& paths, const TrackList& tracks,
                                const TrackPaths& trackPaths) {
    QSet<QString> wanted;
    for (const QString& path : paths)
        wanted.insert(QFileInfo(path).fileName());
    QHash<QString, std::vector<qint32>> named; // the tracks of each wanted file name
    for (size_t i = 0; i < tracks.size(); ++i)
        if (tracks[i].TrackID != 0 && wanted.contains(tracks[i].TrackName))
            named[tracks[i].TrackName].push_back(qint32(i));

    std::vector<qint32> found;
    found.reserve(size_t(paths.size()));
    for (const QString& path : paths) {
        const std::vector<qint32> candidates = named.value(QFileInfo(path).fileName());
        qint32 match = candidates.empty() ? -1 : candidates.front();
        for (const qint32 i : candidates) {
            if (QDir::cleanPath(trackPaths.fullPath(tracks[size_t(i)])) == path) {
                match = i;
                break;
            }
        }
        found.push_back(match);
    }
    return found;
}
