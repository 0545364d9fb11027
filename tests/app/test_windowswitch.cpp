// Going between the player, statistics and cataloguing windows keeps the program running.

#include "catalogdb.h"
#include "cataloger.h"
#include "cataloglists.h"
#include "listloading.h"
#include "playlistrows.h"
#include "programrig.h"
#include "stats.h"
#include "statuspanels.h"
#include "treeplayer.h"
#include "windows.h"

#include <QAction>
#include <QApplication>
#include <QtTest>

class WindowSwitchTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Player, statistics over it, cataloguing window, player again: only closing the player
    // at the end ends the program, and the play list comes back with the player.
    void playerCatalogerPlayer() {
        ProgramRig rig;
        rig.state.DBPath = rig.path("catalog.mdb");
        QVERIFY(catalogdb::prepare(rig.state.DBPath).ok);
        {
            CatalogConnection c(rig.state.DBPath, "fill");
            catalogdb::run(c.db(), "INSERT INTO Disks VALUES (1, 'One', '/media/one')");
            catalogdb::run(c.db(), "INSERT INTO Dirs VALUES (1, 1, '/')");
            catalogdb::run(c.db(), "INSERT INTO Tracks VALUES (1, 1, 1, '', 'a.mp3', '', '', '')");
        }
        LoadCatalog(rig.state.queryConnection()->db(), rig.state.lists);
        Windows windows(rig.state);
        rig.state.windows = &windows;
        windows.showPlayer();
        TreePlayer* player = windows.existingPlayer();
        player->setGeometry(100, 80, 800, 600);

        player->mnuStats->trigger();
        QPointer<Stats> stats = windows.existingStats();
        QVERIFY(stats && stats->isVisible());
        QCOMPARE(stats->pos(), player->pos());
        QTRY_COMPARE(stats->StatusBar1->panelText(1), QString("# of Records: 1"));

        PlaylistRows(player->lstSongs).append({1, "a.mp3", "a.mp3"});
        PlaylistRows(player->lstSongs).tick(0);
        player->mnuCataloger->trigger();
        QTRY_VERIFY(!windows.existingPlayer() && !stats);
        QVERIFY(windows.cataloger()->isVisible());
        QVERIFY(rig.state.QuitOnClose);
        QCOMPARE(rig.ends, 0);

        windows.cataloger()->mnuPlayer->trigger();
        QTRY_VERIFY(windows.existingPlayer() && windows.existingPlayer()->isVisible());
        QCOMPARE(rig.ends, 0);
        const PlaylistRows songs(windows.existingPlayer()->lstSongs);
        QCOMPARE(songs.count(), 1);
        QCOMPARE(songs.entry(0).trackId, 1);
        QVERIFY(songs.isTicked(0));
        windows.existingPlayer()->close();
        QCOMPARE(rig.ends, 1);
    }
};

QTEST_MAIN(WindowSwitchTest)
#include "test_windowswitch.moc"
