// The play list of the player window: the right-button menus of both lists, the add commands
// and the count and total time in the status bar.

#include "durations.h"
#include "playlist.h"
#include "programstate.h"
#include "statuspanels.h"
#include "treeplayer.h"

#include <QAction>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>

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
    connect(songsModel, &PlayListModel::entriesChanged, this, &TreePlayer::UpdateTrackduration);
}

void TreePlayer::addTrack() {
    const QModelIndexList selected = lstFiles->selectionModel()->selectedRows();
    bool added = false;
    if (!selected.isEmpty()) {
        const TrackItem& item = filesModel->items()[static_cast<size_t>(selected.first().row())];
        added = songsModel->append({item.TrackName, item.TrackName, item.TrackID, false});
    }
    if (!added)
        UpdateTrackduration(); // the totals are refreshed all the same
}

void TreePlayer::addVolume() {
    songsModel->appendVolume(filesModel->items());
}

// Each entry counts the playing time of its own track; one that cannot be found, or whose
// duration is missing or malformed, counts 0.
void TreePlayer::UpdateTrackduration() {
    StatusBar1->setPanelText(2, QStringLiteral("Tracks to copy: ") +
                                    QString::number(songsModel->count()));
    double total = 0;
    for (const PlayEntry& entry : songsModel->entries())
        if (const TrackRecord* track = m_trackLookup.record(entry.TrackID, entry.text))
            total += GetSeconds(track->Duration);
    StatusBar1->setPanelText(3, QStringLiteral("Total Time:") + SecondstoTime(total));
}
