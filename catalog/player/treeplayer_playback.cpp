// Playing from the track list: the double-click, the temporary play list, the hand-off to the
// embedded or the external player, the window following the embedded one, and a track waiting
// for its disk.

#include "diskarrival.h"
#include "mediaplayer.h"
#include "mpvplayer.h"
#include "playerstrip.h"
#include "playlistrows.h"
#include "programstate.h"
#include "prompts.h"
#include "statuspanels.h"
#include "templaylist.h"
#include "trackpaths.h"
#include "treeplayer.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QListView>
#include <QListWidget>
#include <QProcess>
#include <QToolButton>
#include <unistd.h>

namespace {

const QString NowPlaying = QStringLiteral("Now Playing...");

bool sameItems(const std::vector<TrackItem>& a, const std::vector<TrackItem>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const TrackItem& x, const TrackItem& y) {
                          return x.TrackID == y.TrackID && x.TrackName == y.TrackName;
                      });
}

} // namespace

void TreePlayer::connectPlayback() {
    startDetached = [](const QString& program, const QStringList& arguments) {
        return QProcess::startDetached(program, arguments);
    };
    connect(lstFiles, &QListView::activated, this,
            [this](const QModelIndex& index) { playRow(index.row()); });
    connect(lstSongs, &QListWidget::activated, this,
            [this](const QModelIndex& index) { playSongRow(index.row()); });
    connect(MediaPlayer1, &PlayerStrip::playRequested, this, [this] {
        const QModelIndex current = lstFiles->currentIndex();
        if (current.isValid())
            playRow(current.row());
    });
    m_diskArrival = new DiskArrival(m_state.mountedVolumes, m_state.volumeWatchMs, this);
    connect(m_diskArrival, &DiskArrival::arrived, this, &TreePlayer::playWaitingTrack);
    connect(MediaPlayer1->stopButton, &QToolButton::clicked, this, &TreePlayer::forgetWaitingTrack);
    for (QAction* option : {mnuWinamp, mnuVolume, mnuDrive})
        connect(option, &QAction::toggled, this, &TreePlayer::forgetWaitingTrack);
}

MediaPlayer* TreePlayer::mediaPlayer() {
    if (!m_player)
        setMediaPlayer(std::make_unique<MpvPlayer>());
    return m_player.get();
}

void TreePlayer::setMediaPlayer(std::unique_ptr<MediaPlayer> player) {
    m_player = std::move(player);
    MediaPlayer1->setPlayer(m_player.get());
    if (!m_player)
        return;
    connect(m_player.get(), &MediaPlayer::newStream, this, &TreePlayer::onNewStream);
    connect(m_player.get(), &MediaPlayer::playStateChanged, this, &TreePlayer::onPlayStateChange);
    // Told after the player's event has been handled, never from inside it.
    connect(m_player.get(), &MediaPlayer::problem, this, &TreePlayer::showPlayerProblem,
            Qt::QueuedConnection);
}

void TreePlayer::playRow(int row) {
    forgetWaitingTrack();
    playItems(filesModel->items(), row, PlayingList::Tracks);
}

// The play list from `row` on, as "&Volume" plays the track list: one temporary play list the
// embedded player goes through, highlighting each entry's row, or that the external player
// gets.
void TreePlayer::playSongRow(int row) {
    forgetWaitingTrack();
    std::vector<TrackItem> items;
    const PlaylistRows rows(lstSongs);
    items.reserve(size_t(rows.count()));
    for (int i = 0; i < rows.count(); ++i) {
        const PlaylistEntry entry = rows.entry(i);
        items.push_back({entry.trackId, entry.text});
    }
    playItems(items, row, PlayingList::Songs);
}

// A track whose file is not there leaves everything as it was, says which disk to insert and
// waits for it.
void TreePlayer::playItems(const std::vector<TrackItem>& items, int row, PlayingList from) {
    if (row < 0 || row >= static_cast<int>(items.size()))
        return;
    const TrackItem& chosen = items[static_cast<size_t>(row)];
    const TrackPaths paths(m_state.lists,
                           {isLocalMode(), localFolder, m_state.useCdDrive, m_state.CdDrive});
    const TrackRecord* track = m_trackLookup.record(chosen.TrackID, chosen.TrackName);
    if (!track)
        return;
    const QString file = paths.fullPath(*track);
    if (file.isEmpty()) {
        StatusBar1->setPanelText(
            1, tr("%1 cannot be played: %2.").arg(track->TrackName, paths.fault(*track)));
        return;
    }
    const QByteArray local = paths.localPath(*track);
    if (::access(local.constData(), F_OK) != 0) {
        StatusBar1->setPanelText(1, QStringLiteral("Please Insert Disk - ") +
                                        paths.diskName(*track) + QStringLiteral(" (") +
                                        QDir::toNativeSeparators(paths.drive(*track)) +
                                        QStringLiteral(")"));
        waitForDisk(items, row, from, track->DiskID, local);
        return;
    }
    if (from == PlayingList::Tracks)
        playIndex = row + 1;
    QString target = file;
    std::vector<int> entryRows;
    if (from == PlayingList::Songs || mnuVolume->isChecked()) {
        const int first = from == PlayingList::Songs ? row : 0;
        target = writeVolumeList(items, first, paths, file, entryRows);
    } else if (local != QFile::encodeName(file)) {
        // A name that is not UTF-8 reaches the player through a play list of its bytes.
        entryRows = {row + 1};
        target = writeListFile({local});
    }
    if (target.isEmpty())
        return;
    if (mnuWinamp->isChecked()) {
        handToExternalPlayer(target);
        return;
    }
    highlightSongRow(0);
    m_playingItems = items;
    m_playingFrom = from;
    m_playingRow = row + 1;
    m_playingEntryRows = std::move(entryRows);
    m_problemInView = false;
    mediaPlayer()->open(target);
}

void TreePlayer::waitForDisk(const std::vector<TrackItem>& items, int row, PlayingList from,
                             qint32 diskId, const QByteArray& file) {
    m_waitingItems = items;
    m_waitingRow = row;
    m_waitingFrom = from;
    m_diskArrival->waitFor(diskId, file, m_state.knownVolumes, diskWaitMs);
}

// The insert message gives way to what playing says.
void TreePlayer::playWaitingTrack() {
    const std::vector<TrackItem> items = std::move(m_waitingItems);
    const int row = m_waitingRow;
    forgetWaitingTrack();
    StatusBar1->setPanelText(1, QString());
    playItems(items, row, m_waitingFrom);
}

void TreePlayer::forgetWaitingTrack() {
    m_diskArrival->stop();
    m_waitingItems.clear();
}

// The items from `first` (0-based) on as a temporary play list, one line an entry; `entryRows`
// gets each entry's row (1-based). A path holding a line break cannot be one line, and a track
// whose names the catalogue got wrong has none: both are left out; when none is left, the
// chosen file is played alone. Empty text when the list could not be written.
QString TreePlayer::writeVolumeList(const std::vector<TrackItem>& items, int first,
                                    const TrackPaths& paths, const QString& chosenFile,
                                    std::vector<int>& entryRows) {
    QList<QByteArray> lines;
    int leftOut = 0;
    for (size_t i = size_t(first); i < items.size(); ++i) {
        const TrackRecord* listed = m_trackLookup.record(items[i].TrackID, items[i].TrackName);
        if (!listed)
            continue;
        const QString path = paths.fullPath(*listed);
        if (path.isEmpty() || !fitsPlayListLine(path)) {
            ++leftOut;
            continue;
        }
        lines << paths.localPath(*listed);
        entryRows.push_back(static_cast<int>(i) + 1);
    }
    if (leftOut > 0)
        StatusBar1->setPanelText(1, (leftOut == 1 ? tr("1 track") : tr("%1 tracks").arg(leftOut)) +
                                        tr(" left out of the play list: a line break or a "
                                           "folder in the name."));
    if (lines.isEmpty())
        return chosenFile;
    return writeListFile(lines);
}

// Empty text, once the person was told why, when the list could not be written.
QString TreePlayer::writeListFile(const QList<QByteArray>& lines) {
    QString error;
    const QString list = writeTempPlayList(
        m_state.tempPlaylistDir, playListStamp(QDateTime::currentDateTime()), lines, &error);
    if (list.isEmpty())
        m_state.prompts.message(error, Prompts::Buttons::Ok, "Player");
    else
        m_state.tempPlayLists << list;
    return list;
}

// The target is the program's one argument: no shell sees it, whatever characters it holds.
void TreePlayer::handToExternalPlayer(const QString& target) {
    if (m_state.WinampPath.isEmpty() || !startDetached(m_state.WinampPath, {target}))
        StatusBar1->setPanelText(
            1, tr("Cannot start the external player \"%1\".").arg(m_state.WinampPath));
}

// With a whole list opened, each entry of the player is the track-list row it was written
// from: that row is named, selected and becomes playIndex. Rows are only touched while the
// track list still shows that list.
void TreePlayer::onNewStream() {
    if (m_playingEntryRows.empty()) {
        if (m_playingRow >= 1 && m_playingRow <= static_cast<int>(m_playingItems.size()))
            StatusBar1->setPanelText(
                1, NowPlaying + m_playingItems[static_cast<size_t>(m_playingRow - 1)].TrackName);
        return;
    }
    const int entry = m_player->currentEntry();
    if (entry < 1 || entry > static_cast<int>(m_playingEntryRows.size()))
        return;
    const int row = m_playingEntryRows[static_cast<size_t>(entry - 1)];
    StatusBar1->setPanelText(1,
                             NowPlaying + m_playingItems[static_cast<size_t>(row - 1)].TrackName);
    if (m_playingFrom == PlayingList::Songs) {
        highlightSongRow(row);
        return;
    }
    if (playingListShown()) {
        selectFileRow(row, true);
        if (playIndex != row)
            selectFileRow(playIndex, false);
    }
    playIndex = row;
}

// At the end of the list, or when the player was stopped: unload, clear the message and the
// playing row's highlight. playIndex keeps its value.
void TreePlayer::onPlayStateChange(int /*oldState*/, int newState) {
    if (newState != MediaPlayer::Stopped)
        return;
    m_player->stop();
    m_player->open(QString());
    // A problem that ended the playing (no audio device) stays in view; the player may tell
    // the problem before or after it says it stopped.
    if (!m_problemInView)
        StatusBar1->setPanelText(1, QString());
    if (m_playingFrom == PlayingList::Songs)
        highlightSongRow(0);
    else if (playingListShown())
        selectFileRow(playIndex, false);
}

// Each problem is told once in a message box; the status bar repeats it.
void TreePlayer::showPlayerProblem(const QString& text) {
    StatusBar1->setPanelText(1, text);
    m_problemInView = true;
    if (m_problemsShown.contains(text))
        return;
    m_problemsShown.insert(text);
    m_state.prompts.message(text, Prompts::Buttons::Ok, "Player");
}

// Highlights play-list row `row` (1-based) while it still holds the entry that plays, and
// takes the highlight off the row played before; 0 takes it off only. Rows added or removed
// elsewhere in the list meanwhile do not matter.
void TreePlayer::highlightSongRow(int row) {
    const PlaylistRows rows(lstSongs);
    const auto holdsPlayed = [&](int at) {
        if (at < 1 || at > rows.count() || at > static_cast<int>(m_playingItems.size()))
            return false;
        const TrackItem& played = m_playingItems[static_cast<size_t>(at - 1)];
        const PlaylistEntry entry = rows.entry(at - 1);
        return entry.trackId == played.TrackID && entry.text == played.TrackName;
    };
    if (holdsPlayed(m_highlightedSong))
        lstSongs->item(m_highlightedSong - 1)->setSelected(false);
    m_highlightedSong = 0;
    if (!holdsPlayed(row))
        return;
    lstSongs->setCurrentRow(row - 1, QItemSelectionModel::ClearAndSelect);
    lstSongs->scrollToItem(lstSongs->item(row - 1));
    m_highlightedSong = row;
}

bool TreePlayer::playingListShown() const {
    return sameItems(filesModel->items(), m_playingItems);
}

// `row` is 1-based; a row that does not exist is left alone.
void TreePlayer::selectFileRow(int row, bool selected) {
    if (row < 1 || row > filesModel->rowCount())
        return;
    const QModelIndex index = filesModel->index(row - 1);
    if (selected) {
        lstFiles->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        lstFiles->scrollTo(index);
    } else {
        lstFiles->selectionModel()->select(index, QItemSelectionModel::Deselect);
    }
}
