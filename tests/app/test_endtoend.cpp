// The typical road through the program, walked as a person walks it: the first start, a disk
// typed in and scanned, a restart into the player, a directory's tracks added, played, copied
// and deleted, the statistics, the cataloguing window and back, and the close.

#include "cataloger.h"
#include "directorylist.h"
#include "dirlisting.h"
#include "dlgfrm.h"
#include "mp3fixture.h"
#include "mpvplayer.h"
#include "ondialog.h"
#include "playlistrows.h"
#include "programstate.h"
#include "scriptedprompts.h"
#include "settingsstore.h"
#include "startup.h"
#include "stats.h"
#include "statuspanels.h"
#include "treeplayer.h"
#include "windows.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// One run of the program: its settings file, its windows and the person's scripted answers.
struct Session {
    ScriptedPrompts prompts;
    SettingsStore settings;
    ProgramState state{prompts, settings};
    Windows windows{state};
    int ends = 0;

    Session(const QString& iniFile, const QString& playLists) : settings(iniFile) {
        state.endProgram = [this] { ++ends; };
        state.tempPlaylistDir = playLists;
        state.dataDir = playLists + "/data";
        state.windows = &windows;
    }
};

QStringList columnTexts(const QAbstractItemModel* model, int column) {
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, column).data().toString();
    return texts;
}

void click(QAbstractItemView* view, const QModelIndex& index, bool twice = false) {
    view->scrollTo(index);
    // Long names reach past the pane's right edge: the visible part of the row is clicked.
    const QPoint at = view->visualRect(index).intersected(view->viewport()->rect()).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    if (twice)
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

// Types `text` into a grid cell as a person does: F2, the text, Return.
void typeIntoCell(QTableView* grid, int row, int column, const QString& text) {
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(row, column));
    QTest::keyClick(grid, Qt::Key_F2);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
}

} // namespace

class EndToEndTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void typicalRoad() {
        QTemporaryDir home;
        QVERIFY(home.isValid());
        const QString ini = home.filePath("settings.ini");
        const QString catalogue = home.filePath("music.mdb");
        const QString playLists = home.filePath("lists");
        // The "disk": an album of three short songs and a live recording.
        const QString disk = home.filePath("disk");
        const QStringList album = {"1 first.mp3", "2 second.mp3", "3 third.mp3"};
        fixture::Mp3Params song;
        song.frames = 40; // just over a second
        song.id3v2 = fixture::Tag{"Song", "Band", "Road"};
        for (const QString& name : album)
            QVERIFY(QDir().mkpath(disk + "/Album") &&
                    fixture::writeMp3(disk + "/Album/" + name, song));
        QVERIFY(QDir().mkpath(disk + "/Live") &&
                fixture::writeMp3(disk + "/Live/encore.mp3", song));

        // First start: no settings. The catalogue is chosen as a new file, then the drive.
        auto first = std::make_unique<Session>(ini, playLists);
        first->prompts.files = {catalogue};
        onDialog([](DlgFrm* dialog) { dialog->Command1->click(); });
        QVERIFY(Startup(first->state).run());
        QCOMPARE(first->prompts.texts(), QStringList{"*.mdb *.mdb"});
        QCOMPARE(first->settings.get("DB"), catalogue);
        QVERIFY(!first->settings.get("Drive").isEmpty());
        QVERIFY(QFileInfo(catalogue).size() > 0);

        // The empty catalogue opens the cataloguing window, with "&Player" disabled.
        QPointer<Cataloger> cataloger = first->windows.cataloger();
        QVERIFY(QTest::qWaitForWindowExposed(cataloger));
        QCOMPARE(cataloger->windowTitle(), QString("Cataloger"));
        QVERIFY(!cataloger->mnuPlayer->isEnabled());
        QCOMPARE(columnTexts(cataloger->DBGrid1->model(), 1), QStringList{""});

        // A disk typed into the new-row line, its drive being where the folder is mounted.
        const QString mountPoint = dirlisting::volumeRoot(disk);
        typeIntoCell(cataloger->DBGrid1, 0, 1, "Road Trip");
        QTRY_COMPARE(cataloger->DBGrid1->model()->rowCount(), 2);
        typeIntoCell(cataloger->DBGrid1, 0, 2, mountPoint);
        QTRY_COMPARE(cataloger->DBGrid1->model()->index(0, 2).data().toString(), mountPoint);
        QCOMPARE(columnTexts(cataloger->DBGrid1->model(), 1), QStringList({"Road Trip", ""}));

        // "Catalog &Disk" scans the folder the directory list shows into the disk.
        click(cataloger->DBGrid1, cataloger->DBGrid1->model()->index(0, 1));
        QVERIFY(cataloger->Dir1->setPath(disk));
        cataloger->mnuCatalog->trigger();
        QCOMPARE(cataloger->StatusBar1->panelText(1),
                 QString("Catalogued 4 files in 2 directories."));
        QStringList dirNames = columnTexts(cataloger->DBGrid2->model(), 2);
        QCOMPARE(dirNames.size(), 2);
        QVERIFY2(dirNames[0].endsWith("/disk/Album") && dirNames[1].endsWith("/disk/Live"),
                 qPrintable(dirNames.join(", ")));
        QCOMPARE(columnTexts(cataloger->DBGrid3->model(), 3), album + QStringList{"encore.mp3"});
        QCOMPARE(columnTexts(cataloger->DBGrid3->model(), 5).first(), QString("Band"));
        QVERIFY(cataloger->mnuPlayer->isEnabled());
        cataloger->close();
        QCOMPARE(first->ends, 1);
        QTRY_VERIFY(!cataloger); // closed windows are gone, not hidden
        first.reset();

        // The restart asks nothing and opens the player window on the catalogue.
        auto second = std::make_unique<Session>(ini, playLists);
        QVERIFY(Startup(second->state).run());
        QVERIFY(second->prompts.asked.empty());
        TreePlayer* player = second->windows.existingPlayer();
        QVERIFY(player && QTest::qWaitForWindowExposed(player));
        QCOMPARE(player->windowTitle(), QString("Player"));
        const QModelIndex diskNode = player->treeModel->index(0, 0);
        QCOMPARE(diskNode.data().toString(), QString("Road Trip"));
        QCOMPARE(player->treeModel->rowCount(diskNode), 2);

        // A directory clicked: its tracks are listed.
        const auto showDir = [&](int row) {
            player->trDirs->expand(diskNode);
            click(player->trDirs, player->treeModel->index(row, 0, diskNode));
        };
        showDir(0);
        QCOMPARE(columnTexts(player->lstFiles->model(), 0), album);

        // "Add &Track" adds the selected track, "Add &Volume" all the listed ones.
        const auto songs = [&] {
            QStringList texts;
            for (int row = 0; row < PlaylistRows(player->lstSongs).count(); ++row)
                texts << PlaylistRows(player->lstSongs).entry(row).text;
            return texts;
        };
        click(player->lstFiles, player->lstFiles->model()->index(1, 0));
        player->mnuTrack->trigger();
        player->mnuAddVolume->trigger();
        QCOMPARE(songs(), QStringList{"2 second.mp3"} + album);
        QCOMPARE(player->StatusBar1->panelText(2), QString("Tracks to copy: 4"));
        QCOMPARE(player->StatusBar1->panelText(3), QString("Total Time:00:00:04"));

        // A double-click with "&Volume" on plays the whole list through the real player.
        auto mpv = std::make_unique<MpvPlayer>("null");
        QVERIFY2(mpv->failure().isEmpty(), qPrintable(mpv->failure()));
        MediaPlayer* media = mpv.get();
        player->setMediaPlayer(std::move(mpv));
        QStringList nowPlaying;
        connect(media, &MediaPlayer::newStream, this,
                [&] { nowPlaying << player->StatusBar1->panelText(1); });
        QSignalSpy states(media, &MediaPlayer::playStateChanged);
        player->mnuVolume->setChecked(true);
        click(player->lstFiles, player->lstFiles->model()->index(0, 0), true);
        const QStringList tempLists = QDir(playLists).entryList({"Temp*.m3u"}, QDir::Files);
        QCOMPARE(tempLists.size(), 1);
        QFile tempList(QDir(playLists).filePath(tempLists.value(0)));
        QVERIFY(tempList.open(QIODevice::ReadOnly));
        QStringList albumFiles;
        for (const QString& name : album)
            albumFiles << disk + "/Album/" + name;
        QCOMPARE(QString::fromUtf8(tempList.readAll()).split("\r\n", Qt::SkipEmptyParts),
                 albumFiles);
        QTRY_VERIFY_WITH_TIMEOUT(!states.isEmpty() && states.last().at(1).toInt() == 0, 20000);
        QCOMPARE(nowPlaying, QStringList({"Now Playing...1 first.mp3", "Now Playing...2 second.mp3",
                                          "Now Playing...3 third.mp3"}));
        QCOMPARE(media->playState(), MediaPlayer::Stopped);

        // The copy asks for the disk once, into the folder chosen, and ticks each row copied.
        const QString out = home.filePath("out");
        QVERIFY(QDir().mkpath(out));
        onDialog([out](DlgFrm* dialog) {
            dialog->Dir1->setPath(out);
            dialog->Command2->click();
        });
        second->prompts.answers = {Prompts::Answer::Ok};
        player->mnuCopy->trigger();
        QTRY_COMPARE(player->StatusBar1->panelText(1), QString("Copying Complete."));
        QCOMPARE(second->prompts.texts(), QStringList{"Please Insert Disk - Road Trip"});
        QCOMPARE(QDir(out).entryList(QDir::Files), album);
        PlaylistRows rows(player->lstSongs);
        for (int row = 0; row < rows.count(); ++row)
            QVERIFY(rows.isTicked(row));

        // The live recording added, then "&Delete" leaves only what was not copied.
        showDir(1);
        player->mnuAddVolume->trigger();
        QCOMPARE(rows.count(), 5);
        player->mnuDelete->trigger();
        QCOMPARE(songs(), QStringList{"encore.mp3"});
        QCOMPARE(player->StatusBar1->panelText(2), QString("Tracks to copy: 1"));

        // "S&tats" opens over the player; its reports count the catalogue's rows.
        player->mnuStats->trigger();
        QPointer<Stats> stats = second->windows.existingStats();
        QVERIFY(stats && stats->isVisible());
        QTRY_COMPARE(stats->StatusBar1->panelText(1), QString("# of Records: 2")); // "Dirs by Disk"
        QTest::mouseClick(stats->optStats[3], Qt::LeftButton);                     // "All Tracks"
        QTRY_COMPARE(stats->StatusBar1->panelText(1), QString("# of Records: 4"));

        // "&Cataloger" closes both for the cataloguing window; "&Player" comes back.
        player->mnuCataloger->trigger();
        QTRY_VERIFY(!second->windows.existingPlayer() && !stats);
        cataloger = second->windows.cataloger();
        QVERIFY(cataloger->isVisible() && cataloger->mnuPlayer->isEnabled());
        QCOMPARE(cataloger->DBGrid3->model()->rowCount(), 4);
        cataloger->mnuPlayer->trigger();
        QTRY_VERIFY(!cataloger && second->windows.existingPlayer() &&
                    second->windows.existingPlayer()->isVisible());
        QCOMPARE(second->ends, 0);

        // Closing the player ends the program, keeps its placement and removes the play lists.
        player = second->windows.existingPlayer();
        player->move(60, 40); // the frame's place
        player->resize(700, 500);
        const double twipsPerPixel = 1440.0 / player->logicalDpiY();
        player->close();
        QCOMPARE(second->ends, 1);
        QCOMPARE(second->settings.get("Width").toDouble(), 700 * twipsPerPixel);
        QCOMPARE(second->settings.get("Height").toDouble(), 500 * twipsPerPixel);
        QCOMPARE(second->settings.get("Left").toDouble(), 60 * twipsPerPixel);
        QCOMPARE(second->settings.get("Top").toDouble(), 40 * twipsPerPixel);
        QVERIFY(QDir(playLists).entryList({"Temp*.m3u"}, QDir::Files).isEmpty());
        QTRY_VERIFY(!second->windows.existingPlayer());
        second.reset();

        // The next start opens the player where it was left.
        Session third(ini, playLists);
        QVERIFY(Startup(third.state).run());
        player = third.windows.existingPlayer();
        QVERIFY(player && third.prompts.asked.empty());
        QCOMPARE(player->pos(), QPoint(60, 40));
        QCOMPARE(player->size(), QSize(700, 500));
        player->close();
        QCOMPARE(third.ends, 1);
    }
};

QTEST_MAIN(EndToEndTest)
#include "test_endtoend.moc"
