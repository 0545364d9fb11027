// The play list of the player window: the right-button menus of both lists, the add commands
// and the count and total time in the status bar.

#include "durations.h"
#include "playlistrows.h"
#include "programstate.h"
#include "statuspanels.h"
#include "treeplayer.h"

#include <QAction>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <algorithm>
#include <functional>

namespace {

// Pops a menu up where the right mouse button is let go over a list; other buttons do nothing.
class RightReleaseMenu : public QObject {
public:
    RightReleaseMenu(QAbstractItemView* list, QMenu* menu) : QObject(list), m_menu(menu) {
        list->viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto* release = static_cast<QMouseEvent*>(event);
            if (release->button() == Qt::RightButton)
                m_menu->popup(release->globalPosition().toPoint());
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QMenu* m_menu;
};

} // namespace

void TreePlayer::connectPlayList() {
    new RightReleaseMenu(lstFiles, mnuPopup);
    new RightReleaseMenu(lstSongs, mnuPlaylist1);
    connect(mnuTrack, &QAction::triggered, this, &TreePlayer::addTrack);
    connect(mnuAddVolume, &QAction::triggered, this, &TreePlayer::addVolume);
    // Delete, while the play list has the focus, removes the rows selected in it.
    lstSongs->setSelectionMode(QAbstractItemView::ExtendedSelection);
    removeSelectedSongs = new QAction(tr("Remove the selected rows"), lstSongs);
    removeSelectedSongs->setObjectName("removeSelectedSongs");
    removeSelectedSongs->setShortcut(QKeySequence::Delete);
    removeSelectedSongs->setShortcutContext(Qt::WidgetShortcut);
    lstSongs->addAction(removeSelectedSongs);
    connect(removeSelectedSongs, &QAction::triggered, this, &TreePlayer::deleteSelectedRows);
}

// The track's file name is its key: a track already in the play list is not added again.
void TreePlayer::addTrack() {
    const QModelIndexList selected = lstFiles->selectionModel()->selectedRows();
    if (!selected.isEmpty()) {
        const TrackItem& item = filesModel->items()[static_cast<size_t>(selected.first().row())];
        PlaylistRows rows(lstSongs);
        if (!rows.keys().contains(item.TrackName))
            rows.append({item.TrackID, item.TrackName, item.TrackName});
    }
    UpdateTrackduration();
}

void TreePlayer::addVolume() {
    appendSongs(filesModel->items());
    UpdateTrackduration();
}

// Keys "K" and the new row's number ("K1", "K2", ...); a key already present (rows were
// deleted since) is skipped over for the next free number, never used twice.
void TreePlayer::appendSongs(const std::vector<TrackItem>& items) {
    PlaylistRows rows(lstSongs);
    QSet<QString> keys = rows.keys();
    qint64 number = rows.count();
    for (const TrackItem& item : items) {
        QString key;
        do
            key = QStringLiteral("K") + QString::number(++number);
        while (keys.contains(key));
        keys.insert(key);
        rows.append({item.TrackID, key, item.TrackName});
    }
}

void TreePlayer::deleteSelectedRows() {
    if (isCopying())
        return; // the copy ticks rows by their place
    const QModelIndexList selected = lstSongs->selectionModel()->selectedRows();
    std::vector<int> rows;
    for (const QModelIndex& index : selected)
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end(), std::greater<>());
    PlaylistRows songs(lstSongs);
    for (const int row : rows)
        songs.remove(row);
    UpdateTrackduration();
}

// Each entry counts the playing time of its own track; one that cannot be found, or whose
// duration is missing or malformed, counts 0.
void TreePlayer::UpdateTrackduration() {
    const PlaylistRows rows(lstSongs);
    StatusBar1->setPanelText(2, QStringLiteral("Tracks to copy: ") + QString::number(rows.count()));
    double total = 0;
    for (int row = 0; row < rows.count(); ++row) {
        const PlaylistEntry entry = rows.entry(row);
        if (const TrackRecord* track = m_trackLookup.record(entry.trackId, entry.text))
            total += GetSeconds(track->Duration);
    }
    StatusBar1->setPanelText(3, QStringLiteral("Total Time:") + SecondstoTime(total));
}
