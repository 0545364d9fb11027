// The cataloguing window's grids: refiltering on clicks, and the confirmed deletions.
#include "cataloger.h"

#include "catalogdb.h"
#include "catalogedits.h"
#include "gridmodels.h"
#include "programstate.h"
#include "prompts.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTableView>
#include <QTimer>

namespace {

int currentRow(const QTableView* grid) {
    const QModelIndex index = grid->currentIndex();
    return index.isValid() ? index.row() : -1;
}

// Every deletion asks with No as the default, so Enter alone never deletes.
bool confirm(ProgramState& state, const QString& text, const QString& title) {
    return state.prompts.message(text, Prompts::Buttons::YesNo, title, Prompts::Answer::No) ==
           Prompts::Answer::Yes;
}

} // namespace

std::optional<qint64> Cataloger::currentDiskId() const {
    return Disks->diskId(currentRow(DBGrid1));
}

void Cataloger::disksGridClicked() {
    const std::optional<qint64> diskId = currentDiskId();
    if (!diskId || isScanning())
        return;
    const QString d = QString::number(*diskId);
    Dirs->setRecordSource("select * from dirs where diskid=" + d);
    Tracks->setRecordSource(
        "select tracks.* from tracks,dirs where tracks.dirid=dirs.dirid and tracks.diskid=" + d);
    Dirs->refresh();
    Tracks->refresh();
}

void Cataloger::dirsGridClicked() {
    const std::optional<qint64> dirId = Dirs->id(currentRow(DBGrid2), "DirID");
    if (!dirId || isScanning())
        return;
    Tracks->setRecordSource("select * from tracks where dirid=" + QString::number(*dirId));
    Tracks->refresh();
}

void Cataloger::deleteCurrentDisk() {
    const int row = currentRow(DBGrid1);
    const std::optional<qint64> diskId = Disks->diskId(row);
    if (!diskId)
        return;
    if (!confirm(m_state,
                 "Are you sure you want to delete this disk(" + Disks->diskName(row) + ")?",
                 "Deleting Disk..."))
        return;
    try {
        catalogedits::deleteDisk(m_edits->db(), *diskId);
    } catch (const CatalogError& e) {
        refreshAfterFailure(diskId, e);
        return;
    }
    Tracks->refresh();
    Dirs->refresh();
    refreshDisks();
}

void Cataloger::deleteCurrentDirectory() {
    const int row = currentRow(DBGrid2);
    const std::optional<qint64> dirId = Dirs->id(row, "DirID");
    if (!dirId)
        return;
    if (!confirm(m_state,
                 "Are you sure you want to delete this directory(" + Dirs->text(row, "DirName") +
                     ")?",
                 "Deleting Directory..."))
        return;
    try {
        catalogedits::deleteDirectory(m_edits->db(), *dirId);
    } catch (const CatalogError& e) {
        refreshAfterFailure(currentDiskId(), e);
        return;
    }
    Tracks->refresh();
    Dirs->refresh();
}

void Cataloger::deleteCurrentTrack() {
    const int row = currentRow(DBGrid3);
    const std::optional<qint64> trackId = Tracks->id(row, "TrackID");
    if (!trackId)
        return;
    if (!confirm(m_state,
                 "Are you sure you want to delete this Track(" + Tracks->text(row, "TrackName") +
                     ")?",
                 "Deleting Track..."))
        return;
    try {
        catalogedits::deleteTrack(m_edits->db(), *trackId);
    } catch (const CatalogError& e) {
        refreshAfterFailure(currentDiskId(), e);
        return;
    }
    Tracks->refresh();
}

void Cataloger::handleGridRightClick(QTableView* grid) {
    if (isScanning())
        return;
    if (grid == DBGrid1)
        deleteCurrentDisk();
    else if (grid == DBGrid2)
        deleteCurrentDirectory();
    else if (grid == DBGrid3)
        deleteCurrentTrack();
}

// A right-button click selects the row under the pointer and offers to delete it; so does the
// Delete key on the current row. A grid's viewport resized refits its columns.
bool Cataloger::eventFilter(QObject* watched, QEvent* event) {
    for (QTableView* grid : {DBGrid1, DBGrid2, DBGrid3}) {
        if (watched == grid && event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
            handleGridRightClick(grid);
            return true;
        }
        if (watched != grid->viewport())
            continue;
        // A scroll bar coming or going changes the room the columns share.
        if (event->type() == QEvent::Resize)
            m_gridResize->start();
        if (event->type() == QEvent::MouseButtonPress) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::RightButton) {
                const QModelIndex index = grid->indexAt(mouse->position().toPoint());
                if (index.isValid())
                    grid->setCurrentIndex(index);
                return true;
            }
        } else if (event->type() == QEvent::MouseButtonRelease) {
            if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
                handleGridRightClick(grid);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
