// The play list outlives the window: kept in the program's data folder whenever it changes,
// and brought back when the window opens again, in this run or the next.

#include "keptplaylist.h"
#include "playlistrows.h"
#include "programstate.h"
#include "statuspanels.h"
#include "treeplayer.h"

#include <QDir>
#include <QListWidget>
#include <QTimer>

QString TreePlayer::keptPlaylistPath() const {
    return QDir(m_state.dataDir).filePath("playlist.json");
}

// A row comes back only while its track is still the one it was added from: a track deleted
// from the catalogue since takes its rows with it.
void TreePlayer::restorePlaylist() {
    PlaylistRows rows(lstSongs);
    int dropped = 0;
    for (const KeptRow& kept : readKeptPlaylist(keptPlaylistPath())) {
        const TrackRecord* track = m_trackLookup.record(kept.trackId, kept.text);
        if (!track || track->TrackID != kept.trackId) {
            ++dropped;
            continue;
        }
        rows.append({kept.trackId, kept.key, kept.text});
        if (kept.ticked)
            rows.tick(rows.count() - 1);
    }
    UpdateTrackduration();
    if (dropped > 0)
        StatusBar1->setPanelText(1, (dropped == 1 ? tr("1 play-list row was")
                                                  : tr("%1 play-list rows were").arg(dropped)) +
                                        tr(" dropped: the track is no longer in the catalogue."));

    // Every change is kept once the event that made it is over: a command that adds a hundred
    // rows writes the file once.
    m_keepTimer = new QTimer(this);
    m_keepTimer->setSingleShot(true);
    connect(m_keepTimer, &QTimer::timeout, this, &TreePlayer::keepPlaylist);
    QAbstractItemModel* model = lstSongs->model();
    connect(model, &QAbstractItemModel::rowsInserted, this, &TreePlayer::keepPlaylistSoon);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &TreePlayer::keepPlaylistSoon);
    connect(model, &QAbstractItemModel::dataChanged, this, &TreePlayer::keepPlaylistSoon);
    connect(model, &QAbstractItemModel::modelReset, this, &TreePlayer::keepPlaylistSoon);
}

void TreePlayer::keepPlaylistSoon() {
    m_keepTimer->start(0);
}

void TreePlayer::keepPlaylist() {
    if (!m_keepTimer)
        return; // not yet brought back: the kept list is still the one to bring back
    m_keepTimer->stop();
    const PlaylistRows rows(lstSongs);
    std::vector<KeptRow> kept;
    kept.reserve(size_t(rows.count()));
    for (int row = 0; row < rows.count(); ++row) {
        const PlaylistEntry entry = rows.entry(row);
        kept.push_back({entry.trackId, entry.key, entry.text, rows.isTicked(row)});
    }
    QString error;
    if (!writeKeptPlaylist(keptPlaylistPath(), kept, &error))
        StatusBar1->setPanelText(1, error);
}
