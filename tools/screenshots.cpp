// Opens the program's windows on a sample catalogue and saves a picture of each, for README
// and for looking at the windows as a person sees them.
//   catalog_screenshots OUTPUT_DIR MUSIC_FOLDER [LARGE_FOLDER]
// With a large folder, it is scanned as a second disk and the progress of that scan is shown.
#include "catalogdb.h"
#include "cataloger.h"
#include "catalogmodels.h"
#include "directorylist.h"
#include "dirlisting.h"
#include "dlgfrm.h"
#include "programstate.h"
#include "qtprompts.h"
#include "settingsstore.h"
#include "treeplayer.h"
#include "windows.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListView>
#include <QPixmap>
#include <QRadioButton>
#include <QScreen>
#include <QStringListModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <cstdio>

namespace {

void save(QWidget* window, const QString& file) {
    QApplication::processEvents();
    window->grab().save(file);
    std::printf("%s\n", qPrintable(file));
}

// Selects disk row `disk` and highlights `folder` in the directory list, ready to scan.
void pointAt(Cataloger* cataloger, int disk, const QString& folder) {
    cataloger->DBGrid1->setCurrentIndex(cataloger->DBGrid1->model()->index(disk, 1));
    cataloger->Dir1->setPath(QFileInfo(folder).path());
    for (int row = 0; row < cataloger->Dir1->count(); ++row)
        if (cataloger->Dir1->item(row)->data(Qt::UserRole).toString() == folder)
            cataloger->Dir1->setCurrentRow(row);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    if (argc < 3) {
        std::fprintf(stderr, "usage: catalog_screenshots OUTPUT_DIR MUSIC_FOLDER [LARGE_FOLDER]\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QString music = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
    const QString large = argc > 3 ? QDir(QString::fromLocal8Bit(argv[3])).absolutePath() : "";
    QTemporaryDir work;
    QtPrompts prompts;
    SettingsStore settings(work.filePath("settings.ini"));
    ProgramState state(prompts, settings);
    state.DBPath = work.filePath("catalog.mdb");
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
    cataloger->show();
    pointAt(cataloger, 0, music);
    QTimer::singleShot(300, cataloger,
                       [&] { save(cataloger, out.filePath("cataloger-scanning.png")); });
    cataloger->mnuCatalog->trigger();
    save(cataloger, out.filePath("cataloger.png"));
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
    player->optSearch[2]->setChecked(true);
    player->runSearch();
    player->lstResults->setCurrentIndex(player->resultsModel->index(1, 0));
    player->showResult(1);
    save(player, out.filePath("player-tags.png"));
    player->optSearch[0]->setChecked(true);
    player->runSearch();
    player->setGeometry(player->screen()->availableGeometry());
    save(player, out.filePath("player-maximized.png"));
    state.QuitOnClose = false;
    player->close();
    return 0;
}
