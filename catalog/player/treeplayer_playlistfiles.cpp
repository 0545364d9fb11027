// The play list's "Save Play List…" and "Open Play List…": .m3u8 files that other players read.

#include "durations.h"
#include "m3ufile.h"
#include "playlistrows.h"
#include "programstate.h"
#include "prompts.h"
#include "statuspanels.h"
#include "trackmatch.h"
#include "trackpaths.h"
#include "treeplayer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

const QString SaveTitle = QStringLiteral("Save Play List");
const QString OpenTitle = QStringLiteral("Open Play List");
const QString Filter = QStringLiteral("*.m3u8 *.m3u");

QString tracksText(qsizetype count) {
    return count == 1 ? QObject::tr("1 track") : QObject::tr("%1 tracks").arg(count);
}

} // namespace

// Entries whose track the catalogue no longer holds, or whose path cannot be one line, are
// left out, and the person is told how many.
void TreePlayer::savePlaylistFile() {
    const QString file = m_state.prompts.saveFile(SaveTitle, Filter, "m3u8");
    if (file.isEmpty())
        return;
    const TrackPaths paths(m_state.lists,
                           {isLocalMode(), localFolder, m_state.useCdDrive, m_state.CdDrive});
    const PlaylistRows rows(lstSongs);
    std::vector<M3uEntry> entries;
    for (int row = 0; row < rows.count(); ++row) {
        const PlaylistEntry entry = rows.entry(row);
        const TrackRecord* track = m_trackLookup.record(entry.trackId, entry.text);
        const QString path = track ? paths.fullPath(*track) : QString();
        if (path.isEmpty() || !fitsPlayListLine(path))
            continue;
        const auto seconds = static_cast<qint64>(GetSeconds(track->Duration));
        entries.push_back({seconds > 0 ? seconds : -1,
                           m3uTitle(track->Artist, track->Title, track->TrackName),
                           paths.localPath(*track)});
    }
    const QByteArray text = m3uText(entries);
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size() || !out.commit()) {
        m_state.prompts.message(tr("The play list cannot be saved in %1: %2")
                                    .arg(QDir::toNativeSeparators(file), out.errorString()),
                                Prompts::Buttons::Ok, SaveTitle);
        return;
    }
    const qsizetype leftOut = rows.count() - qsizetype(entries.size());
    QString status = tr("Saved %1 to %2.")
                         .arg(tracksText(qsizetype(entries.size())), QFileInfo(file).fileName());
    if (leftOut > 0)
        status +=
            tr(" %1 left out: not in the catalogue, or no path to them.").arg(tracksText(leftOut));
    StatusBar1->setPanelText(1, status);
}

// The entries found in the catalogue are added at the end of the play list, in the file's
// order; how many were not found is told.
void TreePlayer::openPlaylistFile() {
    if (isCopying())
        return;
    const QString file = m_state.prompts.openFile(OpenTitle, Filter, "m3u8");
    if (file.isEmpty())
        return;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        m_state.prompts.message(tr("The play list %1 cannot be read: %2")
                                    .arg(QDir::toNativeSeparators(file), in.errorString()),
                                Prompts::Buttons::Ok, OpenTitle);
        return;
    }
    const QStringList wanted = m3uPaths(in.readAll(), QFileInfo(file).absolutePath());
    const TrackPaths paths(m_state.lists,
                           {isLocalMode(), localFolder, m_state.useCdDrive, m_state.CdDrive});
    const TrackList& tracks = m_state.lists.tracks;
    std::vector<TrackItem> found;
    for (const qint32 index : matchTracks(wanted, tracks, paths))
        if (index >= 0)
            found.push_back({tracks[size_t(index)].TrackID, tracks[size_t(index)].TrackName});
    appendSongs(found);
    UpdateTrackduration();
    const QString name = QFileInfo(file).fileName();
    const qsizetype missing = wanted.size() - qsizetype(found.size());
    StatusBar1->setPanelText(1, tr("Added %1 from %2.").arg(tracksText(found.size()), name));
    if (missing > 0)
        m_state.prompts.message(tr("%1 of the %2 entries of %3 were not found in the catalogue.")
                                    .arg(missing)
                                    .arg(wanted.size())
                                    .arg(name),
                                Prompts::Buttons::Ok, OpenTitle);
}
