// Opens the program's windows on a sample catalogue and saves a picture of each, for README
// and for looking at the windows as a person sees them.
//   catalog_screenshots OUTPUT_DIR MUSIC_FOLDER [LARGE_FOLDER]
// With a large folder, it is scanned as a second disk and the progress of that scan is shown.
#include "catalogdb.h"
#include "cataloger.h"
#include "catalogmodels.h"
#include "copyjob.h"
#include "directorylist.h"
#include "dirlisting.h"
#include "dlgfrm.h"
#include "drivelist.h"
#include "frmcredits.h"
#include "mountedvolumes.h"
#include "playlistrows.h"
#include "programstate.h"
#include "qtprompts.h"
#include "searchresultsmodel.h"
#include "settingsstore.h"
#include "stats.h"
#include "treeplayer.h"
#include "windows.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <cstdio>

namespace {

// After what the window still had to do: a grid's columns are fitted again once a scroll bar
// it gained has taken its room.
void save(QWidget* window, const QString& file) {
    QEventLoop settle;
    QTimer::singleShot(50, &settle, &QEventLoop::quit);
    settle.exec();
    window->grab().save(file);
    std::printf("%s\n", qPrintable(file));
}

// The credits window at the height of its fade, over the player window. A window system
// without a compositor shows it opaque, so the picture lays the two windows together itself.
void saveCredits(TreePlayer* player, const QDir& out) {
    player->mnuCredits->trigger();
    frmCredits* credits = player->credits();
    if (!credits)
        return;
    credits->Timer1->stop();
    credits->Timer2->stop();
    while (credits->alpha() < frmCredits::FadePeak)
        credits->fadeTick();
    QApplication::processEvents();
    const QPixmap card = credits->grab();
    card.save(out.filePath("credits-window.png"));
    QPixmap scene = player->grab();
    QPainter painter(&scene);
    painter.setOpacity(credits->alpha() / 255.0);
    painter.drawPixmap(credits->frameGeometry().topLeft() - player->mapToGlobal(QPoint()), card);
    painter.end();
    scene.save(out.filePath("credits.png"));
    // What the window system itself shows: the credits window on top, opaque without a compositor.
    const QRect onScreen = player->frameGeometry();
    const QPixmap shown = player->screen()->grabWindow(0, onScreen.x(), onScreen.y(),
                                                       onScreen.width(), onScreen.height());
    if (!shown.isNull())
        shown.save(out.filePath("credits-screen.png"));
    std::printf("%s\n", qPrintable(out.filePath("credits.png")));
    player->mnuCredits->trigger();
}

// Selects disk row `disk` and highlights `folder` in the directory list, ready to scan.
void pointAt(Cataloger* cataloger, int disk, const QString& folder) {
    cataloger->DBGrid1->setCurrentIndex(cataloger->DBGrid1->model()->index(disk, 1));
    cataloger->Dir1->setPath(QFileInfo(folder).path());
    for (int row = 0; row < cataloger->Dir1->count(); ++row)
        if (cataloger->Dir1->item(row)->data(Qt::UserRole).toString() == folder)
            cataloger->Dir1->setCurrentRow(row);
}

// "All Tracks" sorted by title, reversed: the grid saying so while it sorts, then the rows.
void saveSortedStats(Stats* stats, const QDir& out) {
    QEventLoop shown;
    QObject::connect(stats, &Stats::rowsShown, &shown, &QEventLoop::quit);
    stats->showReport(3);
    shown.exec();
    constexpr int Title = 5;
    // As a click on the heading sets it.
    stats->grdStats->horizontalHeader()->setSortIndicator(Title, Qt::DescendingOrder);
    stats->grab().save(out.filePath("stats-sorting.png")); // before the rows come in
    shown.exec();
    save(stats, out.filePath("stats-sorted.png"));
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QStringList args = QApplication::arguments().mid(1);
    // --catalogue LOCATION: the windows on that catalogue (an empty one) rather than a new file.
    QString location;
    if (args.size() > 1 && args.first() == "--catalogue") {
        location = args[1];
        args = args.mid(2);
    }
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: catalog_screenshots [--catalogue LOCATION] OUTPUT_DIR "
                             "MUSIC_FOLDER [LARGE_FOLDER]\n");
        return 2;
    }
    const QDir out(args[0]);
    const QString music = QDir(args[1]).absolutePath();
    const QString large = args.size() > 2 ? QDir(args[2]).absolutePath() : "";
    QTemporaryDir work;
    QtPrompts prompts;
    SettingsStore settings(work.filePath("settings.ini"));
    ProgramState state(prompts, settings);
    state.dataDir = work.filePath("data");
    state.DBPath = location.isEmpty() ? work.filePath("catalog.mdb") : location;
    state.CdDrive = "/";
    state.endProgram = [] {};
    Windows windows(state);
    state.windows = &windows;
    if (!catalogdb::prepare(state.DBPath).ok)
        return 1;
    {
        CatalogConnection c(state.DBPath, "screens");
        catalogdb::run(c.db(), "INSERT INTO Disks (DiskName, Drive) VALUES (?, ?)",
                       {QDir(music).dirName(), dirlisting::volumeRoot(music)});
        if (!large.isEmpty())
            catalogdb::run(c.db(), "INSERT INTO Disks (DiskName, Drive) VALUES (?, ?)",
                           {QDir(large).dirName(), dirlisting::volumeRoot(large)});
    }

    {
        DlgFrm dialog(state);
        dialog.show();
        save(&dialog, out.filePath("drive-dialog.png"));
    }

    Cataloger* cataloger = windows.cataloger();
    cataloger->resize(1200, 720);
    cataloger->show();
    pointAt(cataloger, 0, music);
    QTimer::singleShot(300, cataloger,
                       [&] { save(cataloger, out.filePath("cataloger-scanning.png")); });
    cataloger->mnuCatalog->trigger();
    save(cataloger, out.filePath("cataloger.png"));
    // The same disk again: the question, then a replace.
    QTimer::singleShot(300, cataloger, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            save(box, out.filePath("replace-question.png"));
            box->defaultButton()->click();
        }
    });
    cataloger->mnuCatalog->trigger();
    save(cataloger, out.filePath("cataloger-replaced.png"));
    // The drive chosen holds the disk's volume: the window names the disk.
    cataloger->DBGrid1->setCurrentIndex(cataloger->DBGrid1->model()->index(1, 1));
    cataloger->Drive1->setDrive(dirlisting::volumeRoot(music));
    save(cataloger, out.filePath("cataloger-recognised.png"));
    if (!large.isEmpty()) {
        // Late enough for the rate and the time left to show.
        pointAt(cataloger, 1, large);
        for (const int ms : {300, 3000, 6000})
            QTimer::singleShot(ms, cataloger, [&, ms] {
                save(cataloger, out.filePath(QStringLiteral("cataloger-progress-%1.png").arg(ms)));
            });
        cataloger->mnuCatalog->trigger();
    }

    // "&Player" hands over to the player window with the catalogue just scanned.
    cataloger->mnuPlayer->trigger();
    TreePlayer* player = windows.existingPlayer();
    if (!player)
        return 1;
    QApplication::processEvents();
    const QModelIndex disk = player->treeModel->index(0, 0);
    player->trDirs->expand(disk);
    player->trDirs->setCurrentIndex(player->treeModel->index(0, 0, disk));
    player->Tree_Click();
    player->txtSearch->setText("blue");
    player->runSearch();
    save(player, out.filePath("player.png"));
    saveCredits(player, out);
    player->optSearch[2]->setChecked(true);
    player->runSearch();
    player->lstResults->setCurrentIndex(player->resultsModel->index(1, 0));
    player->showResult(1);
    save(player, out.filePath("player-tags.png"));
    player->optSearch[0]->setChecked(true);
    player->runSearch();
    player->setGeometry(player->screen()->availableGeometry());
    save(player, out.filePath("player-maximized.png"));
    player->resize(1100, 700);

    // A search typed without accents finds the names written with them; the first result shown.
    player->txtSearch->setText("cafe");
    player->runSearch();
    player->lstResults->setFocus();
    player->lstResults->setCurrentIndex(player->resultsModel->index(0, 0));
    save(player, out.filePath("player-accents.png"));

    // A play list of two directories, one row ticked, comes back when the player window opens
    // again after the cataloguing window.
    for (const int dir : {0, 1}) {
        player->trDirs->setCurrentIndex(player->treeModel->index(dir, 0, disk));
        player->Tree_Click();
        player->mnuAddVolume->trigger();
    }
    PlaylistRows(player->lstSongs).tick(2);
    player->mnuCataloger->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the player is gone
    cataloger = windows.cataloger();
    cataloger->mnuPlayer->trigger();
    player = windows.existingPlayer();
    if (!player)
        return 1;
    player->resize(1100, 700);
    player->lstSongs->setFocus();
    player->lstSongs->setCurrentRow(3);
    save(player, out.filePath("player-playlist.png"));
    player->mnuClear->trigger();

    windows.showStats();
    {
        QEventLoop measured;
        QObject::connect(windows.existingStats(), &Stats::measured, &measured, &QEventLoop::quit);
        windows.existingStats()->showReport(2);
        measured.exec();
    }
    save(windows.existingStats(), out.filePath("stats.png"));
    saveSortedStats(windows.existingStats(), out);
    windows.closeStats();

    // The play list copied into a folder: the disk question, then the copy under way.
    PlaylistRows rows(player->lstSongs);
    for (const TrackRecord& track : state.lists.tracks)
        if (track.TrackID != 0)
            rows.append({track.TrackID, track.TrackName, track.TrackName});
    player->UpdateTrackduration();
    state.TargetDir = work.filePath("copies");
    QDir().mkpath(state.TargetDir);
    // The disk is not in its drive when the copy asks for it, and comes in a moment later:
    // its folder is moved away and back. The question closes by itself.
    const QString away = music + ".away";
    const QString musicDrive = dirlisting::volumeRoot(music);
    QDir().rename(music, away);
    bool diskAway = true;
    state.mountedVolumes = [&] {
        QList<VolumeIdentity> volumes = mountedvolumes::list();
        if (diskAway)
            volumes.removeIf(
                [&](const VolumeIdentity& volume) { return volume.root == musicDrive; });
        return volumes;
    };
    QTimer answerDisk;
    answerDisk.setSingleShot(true);
    answerDisk.callOnTimeout([&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            save(box, out.filePath("copy-disk-question.png"));
            QDir().rename(away, music);
            diskAway = false;
        } else {
            answerDisk.start(50);
        }
    });
    answerDisk.start(300);
    player->startCopy();
    bool grabbed = false;
    QObject::connect(player->copyJob(), &CopyJob::progress, player,
                     [&](int file, int, qint64 bytes, qint64 fileBytes) {
                         if (!grabbed && file == 2 && bytes > fileBytes / 3) {
                             grabbed = true;
                             save(player, out.filePath("copy-progress.png"));
                         }
                     });
    while (player->isCopying())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    save(player, out.filePath("copy-complete.png"));
    state.QuitOnClose = false;
    player->close();
    return 0;
}
