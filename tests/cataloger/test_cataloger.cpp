// The cataloguing window driven as a person drives it: grids, clicks, deletions, scanning,
// compaction, switching and closing.
#include "catalogdb.h"
#include "cataloger.h"
#include "compaction.h"
#include "directorylist.h"
#include "diskvolumes.h"
#include "drivelist.h"
#include "filelist.h"
#include "gridmodels.h"
#include "mountedvolumes.h"
#include "mp3fixture.h"
#include "programrig.h"
#include "programstate.h"
#include "statuspanels.h"

#include <QAction>
#include <QFrame>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

namespace {

class FakeWindows : public WindowSwitch {
public:
    int players = 0;
    void showPlayer() override { ++players; }
    void showCataloger(bool) override {}
};

qint64 count(const QString& db, const QString& statement) {
    CatalogConnection c(db, "count");
    QSqlQuery q = catalogdb::run(c.db(), statement);
    return q.next() ? q.value(0).toLongLong() : -1;
}

void clickRow(QTableView* grid, int row, Qt::MouseButton button = Qt::LeftButton) {
    const QRect cell = grid->visualRect(grid->model()->index(row, 1));
    QVERIFY(cell.isValid());
    QTest::mouseClick(grid->viewport(), button, {}, cell.center());
}

QStringList columnTexts(const QTableView* grid, int column) {
    QStringList texts;
    const QAbstractItemModel* model = grid->model();
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, column).data().toString();
    return texts;
}

} // namespace

class CatalogerTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramRig> m_rig;
    FakeWindows m_windows;
    QPointer<Cataloger> m_window;
    QString m_db;

    // Two disks: "Rock 1" with directories /Rock (2 tracks) and /Rock/Live (1 track), and
    // "Jazz" with /Jazz (1 track); one track of disk 1 whose directory row is gone.
    void seed() {
        CatalogConnection c(m_db, "seed");
        const QSqlDatabase db = c.db();
        catalogdb::run(db, "INSERT INTO Disks (DiskName, Drive) VALUES ('Rock 1', '/media/a')");
        catalogdb::run(db, "INSERT INTO Disks (DiskName, Drive) VALUES ('Jazz', '/media/b')");
        catalogdb::run(db, "INSERT INTO Dirs (DiskID, DirName) VALUES (1, '/Rock'), (1, "
                           "'/Rock/Live'), (2, '/Jazz')");
        catalogdb::run(db, "INSERT INTO Tracks (DirID, DiskID, TrackName, Duration) VALUES "
                           "(1, 1, 'one.mp3', '00:01:00'), (1, 1, 'two.mp3', '00:02:00'), "
                           "(2, 1, 'live.mp3', '00:03:00'), (3, 2, 'blue.mp3', '00:04:00'), "
                           "(99, 1, 'orphan.mp3', '00:05:00')");
    }

    Cataloger* open() {
        m_window = new Cataloger(m_rig->state);
        m_window->show();
        if (!QTest::qWaitForWindowExposed(m_window))
            qWarning("window not exposed");
        return m_window;
    }

private Q_SLOTS:
    void init() {
        m_rig = std::make_unique<ProgramRig>();
        QVERIFY(m_rig->dir.isValid());
        m_db = m_rig->path("catalog.mdb");
        QVERIFY(catalogdb::prepare(m_db).ok);
        seed();
        m_rig->state.DBPath = m_db;
        m_rig->state.CdDrive = "/";
        m_rig->state.windows = &m_windows;
        m_windows.players = 0;
    }

    void cleanup() { delete m_window; }

    void loadShowsTheWholeTables() {
        Cataloger* w = open();
        QVERIFY(m_rig->state.QuitOnClose);
        QCOMPARE(w->windowTitle(), QString("Cataloger"));
        QCOMPARE(w->DBGrid1->model()->rowCount(), 3); // two disks and the new-row line
        QCOMPARE(w->DBGrid2->model()->rowCount(), 3);
        QCOMPARE(w->DBGrid3->model()->rowCount(), 5);
        QCOMPARE(columnTexts(w->DBGrid1, 1), QStringList({"Rock 1", "Jazz", ""}));
        // The tracks grid shows its columns in its own order, not the table's.
        QStringList headings;
        for (int c = 0; c < w->DBGrid3->model()->columnCount(); ++c)
            headings << w->DBGrid3->model()->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(headings, QStringList({"TrackID", "DirID", "DiskID", "TrackName", "Title",
                                        "Artist", "Album", "Duration"}));
        QCOMPARE(w->mnuDB->title(), QString("&DB Utils"));
        QCOMPARE(w->mnuEmpty->text(), QString("&Empty DB"));
        QCOMPARE(w->mnuCompact->text(), QString("&Compact Database"));
        QCOMPARE(w->mnuCatalog->text(), QString("Catalog &Disk"));
        QCOMPARE(w->mnuPlayer->text(), QString("&Player"));
    }

    void resizeSplitsIntoThirds() {
        Cataloger* w = open();
        w->resize(900, 700);
        QTest::qWait(20);
        const int width = w->centralWidget()->width();
        QCOMPARE(w->Frame1->width(), width / 3);
        QCOMPARE(w->Frame2->x(), w->Frame1->width());
        QCOMPARE(w->Frame2->width(), width - width / 3);
        const int third = w->Frame2->height() / 3;
        QCOMPARE(w->DBGrid1->geometry(), QRect(0, 0, w->Frame2->width(), third));
        QCOMPARE(w->DBGrid2->geometry(), QRect(0, third, w->Frame2->width(), third));
        QCOMPARE(w->DBGrid3->geometry(), QRect(0, 2 * third, w->Frame2->width(), third));
        QCOMPARE(w->Dir1->y(), w->Drive1->height());
        QCOMPARE(w->File1->y(), w->Dir1->y() + w->Dir1->height());
        QCOMPARE(w->File1->y() + w->File1->height(), w->Frame1->height());
        w->resize(40, 30); // far too small: nothing breaks
        QTest::qWait(20);
    }

    void typingIntoTheNewRowLineStoresADisk() {
        Cataloger* w = open();
        QTableView* grid = w->DBGrid1;
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(2, 1));
        QTest::keyClick(grid, Qt::Key_F2); // edit the new-row line's DiskName
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor);
        QTest::keyClicks(editor, "Pop \"Hits\" ");
        editor->insert(QString::fromUtf8("\u00fc"));
        QTest::keyClick(editor, Qt::Key_Return);
        const QString name = QString::fromUtf8("Pop \"Hits\" \u00fc");
        QTRY_COMPARE(grid->model()->rowCount(), 4); // the delegate commits on a queued call
        QVERIFY(m_rig->prompts.asked.empty());
        QCOMPARE(grid->model()->index(2, 1).data().toString(), name);
        QCOMPARE(grid->model()->index(2, 0).data().toLongLong(), 3);
        QCOMPARE(grid->model()->headerData(3, Qt::Vertical).toString(), QString("*"));
        {
            CatalogConnection c(m_db, "check");
            QSqlQuery q =
                catalogdb::run(c.db(), "SELECT DiskID FROM Disks WHERE DiskName=?", {name});
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toInt(), 3);
        }
        // Editing an existing row in place.
        grid->setCurrentIndex(grid->model()->index(1, 2));
        QTest::keyClick(grid, Qt::Key_F2);
        editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, "/media/jazz");
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(grid->model()->index(1, 2).data().toString(), QString("/media/jazz"));
        QCOMPARE(count(m_db, "SELECT COUNT(*) FROM Disks WHERE Drive='/media/jazz'"), 1);
        QCOMPARE(grid->model()->rowCount(), 4);
    }

    void clickingADiskShowsItsDirectoriesAndTracks() {
        Cataloger* w = open();
        clickRow(w->DBGrid1, 0);
        QCOMPARE(columnTexts(w->DBGrid2, 2), QStringList({"/Rock", "/Rock/Live"}));
        // Only tracks that sit in an existing directory: the orphan is not shown.
        QCOMPARE(columnTexts(w->DBGrid3, 3), QStringList({"one.mp3", "two.mp3", "live.mp3"}));
        clickRow(w->DBGrid2, 1);
        QCOMPARE(columnTexts(w->DBGrid3, 3), QStringList{"live.mp3"});
        QCOMPARE(columnTexts(w->DBGrid2, 2).size(), 2); // the directories keep their filter
    }

    void clickingTheNewRowLineOrAnEmptyGridDoesNothing() {
        Cataloger* w = open();
        clickRow(w->DBGrid1, 2);
        QCOMPARE(w->DBGrid2->model()->rowCount(), 3);
        clickRow(w->DBGrid1, 2, Qt::RightButton);
        QVERIFY(m_rig->prompts.asked.empty());
        clickRow(w->DBGrid1, 1); // Jazz
        clickRow(w->DBGrid2, 0);
        QCOMPARE(w->DBGrid3->model()->rowCount(), 1);
    }

    void deletingADiskAsksAndDeletesItsDependants() {
        Cataloger* w = open();
        m_rig->prompts.answers = {Prompts::Answer::No};
        clickRow(w->DBGrid1, 0, Qt::RightButton);
        QCOMPARE(m_rig->prompts.asked.size(), size_t(1));
        QCOMPARE(m_rig->prompts.asked[0].text,
                 QString("Are you sure you want to delete this disk(Rock 1)?"));
        QCOMPARE(m_rig->prompts.asked[0].title, QString("Deleting Disk..."));
        QCOMPARE(m_rig->prompts.asked[0].buttons, Prompts::Buttons::YesNo);
        QCOMPARE(m_rig->prompts.asked[0].defaultAnswer, Prompts::Answer::No);
        QCOMPARE(count(m_db, "SELECT COUNT(*) FROM Tracks"), 5);

        m_rig->prompts.answers = {Prompts::Answer::Yes};
        clickRow(w->DBGrid1, 0, Qt::RightButton);
        QCOMPARE(count(m_db, "SELECT COUNT(*) FROM Tracks"), 1);
        QCOMPARE(count(m_db, "SELECT COUNT(*) FROM Dirs"), 1);
        QCOMPARE(count(m_db, "SELECT COUNT(*) FROM Disks"), 1);
        QCOMPARE(columnTexts(w->DBGrid1, 1), QStringList({"Jazz", ""}));
        QCOMPARE(columnTexts(w->DBGrid2, 2), QStringList{"/Jazz"});
        QCOMPARE(columnTexts(w->DBGrid3, 3), QStringList{"blue.mp3"});
    }

    void deletingADirectoryKeepsTheDiskFilter() {
        Cataloger* w = open();
        clickRow(w->DBGrid1, 0);
        clickRow(w->DBGrid2, 0);
        QCOMPARE(w->DBGrid3->model()->rowCount(), 2);
        m_rig->prompts.answers = {Prompts::Answer::Yes};
        clickRow(w->DBGrid2, 0, Qt::RightButton);
        QCOMPARE(m_rig->prompts.asked.back().text,
                 QString("Are you sure you want to delete this directory(/Rock)?"));
        QCOMPARE(m_rig->prompts.asked.back().title, QString("Deleting Directory..."));
        QCOMPARE(m_rig->prompts.asked.back().defaultAnswer, Prompts::Answer::No);
        QCOMPARE(columnTexts(w->DBGrid2, 2), QStringList{"/Rock/Live"}); // still disk 1 only
        QCOMPARE(w->DBGrid3->model()->rowCount(), 0); // it showed the deleted directory
        QCOMPARE(count(m_db, "SELECT COUNT(*) FROM Tracks WHERE DirID=1"), 0);
        QCOMPARE(count(m_db, "SELECT COUNT(*) FROM Tracks"), 3);
    }

    void deletingATrackWithTheDeleteKey() {
        Cataloger* w = open();
        w->DBGrid3->setCurrentIndex(w->DBGrid3->model()->index(1, 3));
        m_rig->prompts.answers = {Prompts::Answer::Yes};
        QTest::keyClick(w->DBGrid3, Qt::Key_Delete);
        QCOMPARE(m_rig->prompts.asked.back().text,
                 QString("Are you sure you want to delete this Track(two.mp3)?"));
        QCOMPARE(m_rig->prompts.asked.back().title, QString("Deleting Track..."));
        QCOMPARE(count(m_db, "SELECT COUNT(*) FROM Tracks WHERE TrackName='two.mp3'"), 0);
        QCOMPARE(w->DBGrid3->model()->rowCount(), 4);
    }

    void aFailedDeletionDeletesNothingAndSaysSo() {
        {
            CatalogConnection c(m_db, "trigger");
            catalogdb::run(c.db(), "CREATE TRIGGER refuse BEFORE DELETE ON Disks BEGIN "
                                   "SELECT RAISE(ABORT, 'disk is locked'); END");
        }
        Cataloger* w = open();
        clickRow(w->DBGrid1, 1);
        m_rig->prompts.answers = {Prompts::Answer::Yes};
        clickRow(w->DBGrid1, 1, Qt::RightButton);
        QCOMPARE(m_rig->prompts.asked.size(), size_t(2));
        QVERIFY(m_rig->prompts.asked[1].text.contains("disk is locked"));
        QCOMPARE(count(m_db, "SELECT COUNT(*) FROM Tracks"), 5);
        QCOMPARE(count(m_db, "SELECT COUNT(*) FROM Dirs"), 3);
        // The disk whose rows the grids show is still the current one.
        QCOMPARE(w->DBGrid1->currentIndex().row(), 1);
        QCOMPARE(columnTexts(w->DBGrid2, 2), QStringList{"/Jazz"});
    }

    // The tracks grid fetches a large table as it is scrolled, keeping its statement open
    // while a scan commits elsewhere; deleting must still work, and a writer that holds the
    // catalogue is waited for, then named in plain words.
    void deletingWhileAGridReadsAndAnotherProgramWrites() {
        {
            CatalogConnection c(m_db, "many");
            catalogdb::run(c.db(), "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
                                   "FROM n WHERE i < 2000) INSERT INTO Tracks (DirID, DiskID, "
                                   "TrackName) SELECT 3, 2, 'x' || i || '.mp3' FROM n");
        }
        Cataloger* w = open();
        QVERIFY(w->Tracks->canFetchMore());
        CatalogConnection scan(m_db, "scan");
        catalogdb::run(scan.db(), "INSERT INTO Dirs (DiskID, DirName) VALUES (2, '/New')");
        m_rig->prompts.answers = {Prompts::Answer::Yes, Prompts::Answer::Yes};
        clickRow(w->DBGrid1, 1, Qt::RightButton);
        QCOMPARE(m_rig->prompts.asked.size(), size_t(1));
        QCOMPARE(count(m_db, "SELECT COUNT(*) FROM Tracks WHERE DiskID=2"), 0);

        catalogdb::run(scan.db(), "BEGIN IMMEDIATE");
        clickRow(w->DBGrid1, 0, Qt::RightButton);
        catalogdb::run(scan.db(), "ROLLBACK");
        QCOMPARE(m_rig->prompts.asked.size(), size_t(3));
        const QString said = m_rig->prompts.asked[2].text;
        QVERIFY2(said.contains("busy") && !said.contains("DELETE"), qPrintable(said));
        QCOMPARE(count(m_db, "SELECT COUNT(*) FROM Disks"), 1);
    }

    void scanWithoutADiskAsksForOne() {
        Cataloger* w = open();
        w->DBGrid1->setCurrentIndex(w->DBGrid1->model()->index(2, 1)); // the new-row line
        w->mnuCatalog->trigger();
        QCOMPARE(m_rig->prompts.texts(), QStringList{"Please select a Disk."});
        QCOMPARE(m_rig->prompts.asked[0].title, QString());
        QCOMPARE(count(m_db, "SELECT COUNT(*) FROM Dirs"), 3);
    }

    void scanWithAnUnreadableDriveSaysSoAndScansNothing() {
        // An unplugged disk: the saved drive is not mounted, so the directory list is empty.
        QTemporaryDir elsewhere;
        QVERIFY(fixture::writeMp3(QDir(elsewhere.path()).filePath("here.mp3"), {}));
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(elsewhere.path()));
        m_rig->state.CdDrive = m_rig->path("unplugged");
        Cataloger* w = open();
        QCOMPARE(w->Dir1->count(), 0);
        clickRow(w->DBGrid1, 0);
        w->mnuCatalog->trigger();
        QVERIFY(QDir::setCurrent(previous));
        QCOMPARE(m_rig->prompts.asked.size(), size_t(1));
        QVERIFY2(m_rig->prompts.asked[0].text.contains(m_rig->path("unplugged")),
                 qPrintable(m_rig->prompts.asked[0].text));
        QCOMPARE(count(m_db, "SELECT COUNT(*) FROM Dirs"), 3);
        QCOMPARE(count(m_db, "SELECT COUNT(*) FROM Tracks"), 5);
    }

    // The disk's drive is a link to where the browser shows the disk: names lie below the
    // drive, so that drive + name reaches the files.
    void scanStoresNamesBelowTheDisksDrive() {
        QTemporaryDir disk;
        QVERIFY(QDir().mkpath(disk.filePath("real/Album")));
        QVERIFY(fixture::writeMp3(disk.filePath("real/Album/song.mp3"), {}));
        QVERIFY(QFile::link(disk.filePath("real"), disk.filePath("link")));
        {
            CatalogConnection c(m_db, "drive");
            catalogdb::run(c.db(), "UPDATE Disks SET Drive=? WHERE DiskID=2",
                           {disk.filePath("link")});
        }
        Cataloger* w = open();
        clickRow(w->DBGrid1, 1);
        QVERIFY(w->Dir1->setPath(disk.filePath("real/Album")));
        m_rig->prompts.answers = {Prompts::Answer::Add};
        w->mnuCatalog->trigger();
        QCOMPARE(count(m_db, "SELECT COUNT(*) FROM Dirs WHERE DirName='/Album'"), 1);
        // With the identity of the volume the names lie below.
        const VolumeIdentity volume = mountedvolumes::volumeAt(disk.filePath("link"));
        CatalogConnection c(m_db, "volume");
        QSqlQuery q = catalogdb::run(c.db(), "SELECT DiskID, Label, Uuid, FileSystem, Capacity "
                                             "FROM DiskVolumes");
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 2);
        QCOMPARE(q.value(1).toString(), volume.label);
        QCOMPARE(q.value(2).toString(), volume.uuid);
        QCOMPARE(q.value(3).toString(), volume.fileSystem);
        QCOMPARE(q.value(4).toLongLong(), volume.capacity);
        QVERIFY(!q.next());
    }

    void scanCataloguesTheHighlightedDirectory() {
        QTemporaryDir disk;
        QDir root(disk.path());
        QVERIFY(root.mkpath("A/B") && root.mkpath("A/Empty/C"));
        fixture::Mp3Params song;
        song.id3v1 = fixture::Tag{"Title", "Artist", "Album"};
        QVERIFY(fixture::writeMp3(root.filePath("A/a1.mp3"), song));
        QVERIFY(fixture::writeMp3(root.filePath("A/B/b1.mp3"), song));
        QVERIFY(fixture::writeMp3(root.filePath("A/B/b2.MP3"), song));
        QVERIFY(fixture::writeMp3(root.filePath("A/Empty/C/c1.mp3"), song));

        Cataloger* w = open();
        w->mnuPlayer->setEnabled(false);
        clickRow(w->DBGrid1, 1); // Jazz: the grids now show its rows only
        QVERIFY(w->Dir1->setPath(disk.path()));
        w->Dir1->setCurrentRow(w->Dir1->count() - 1); // highlight A
        QCOMPARE(w->Dir1->highlightedPath(), QDir::toNativeSeparators(root.filePath("A")));
        m_rig->prompts.answers = {Prompts::Answer::Add};
        w->mnuCatalog->trigger();

        CatalogConnection c(m_db, "check");
        QSqlQuery q = catalogdb::run(c.db(), "SELECT DirID, DiskID FROM Dirs WHERE DirID > 3 "
                                             "ORDER BY DirID");
        QStringList dirs;
        while (q.next())
            QCOMPARE(q.value(1).toInt(), 2);
        QCOMPARE(count(m_db, "SELECT COUNT(*) FROM Dirs WHERE DirID > 3"), 3);
        QCOMPARE(count(m_db, "SELECT COUNT(*) FROM Tracks WHERE DiskID = 2"), 5);
        QCOMPARE(count(m_db, "SELECT COUNT(*) FROM Tracks WHERE Title='Title' AND Artist='Artist' "
                             "AND Album='Album' AND Duration='00:00:03'"),
                 4);
        QVERIFY(w->mnuPlayer->isEnabled());
        QVERIFY(w->mnuCatalog->isEnabled());
        QVERIFY(w->DBGrid1->isEnabled());
        QCOMPARE(w->DBGrid2->model()->rowCount(), 6); // back to the whole tables
        QCOMPARE(w->DBGrid3->model()->rowCount(), 9);
        QCOMPARE(w->Dir1->path(), QDir::toNativeSeparators(disk.path()));
        QVERIFY(w->StatusBar1->panelText(1).contains("4 files"));
        QVERIFY(w->StatusBar1->panelText(1).contains("3 directories"));
    }

    void scanGuardsTheWindowAndCanBeCancelled() {
        QTemporaryDir disk;
        QDir root(disk.path());
        fixture::Mp3Params song;
        for (int d = 0; d < 30; ++d) {
            QVERIFY(root.mkpath(QString("d%1").arg(d, 2, 10, QChar('0'))));
            for (int f = 0; f < 5; ++f)
                QVERIFY(fixture::writeMp3(
                    root.filePath(QString("d%1/%2.mp3").arg(d, 2, 10, QChar('0')).arg(f)), song));
        }
        Cataloger* w = open();
        clickRow(w->DBGrid1, 0);
        QVERIFY(w->Dir1->setPath(disk.path()));
        bool guarded = false;
        QTimer::singleShot(0, w, [w, &guarded] {
            guarded = w->isScanning() && !w->mnuCatalog->isEnabled() &&
                      !w->mnuDB->menuAction()->isEnabled() && !w->DBGrid1->isEnabled() &&
                      w->cancelButton->isVisible();
            QTest::keyClick(w, Qt::Key_Escape);
        });
        m_rig->prompts.answers = {Prompts::Answer::Add};
        w->mnuCatalog->trigger();
        QVERIFY(guarded);
        QVERIFY(!w->isScanning());
        const qint64 stored = count(m_db, "SELECT COUNT(*) FROM Tracks") - 5;
        QVERIFY2(stored < 150, qPrintable(QString::number(stored)));
        QVERIFY(w->StatusBar1->panelText(1).startsWith("Scan cancelled"));
        QVERIFY(w->mnuCatalog->isEnabled());
        QVERIFY(!w->cancelButton->isVisible());
    }

    void cancelledFirstScanThatStoredTracksEnablesThePlayer() {
        {
            CatalogConnection c(m_db, "empty");
            catalogdb::run(c.db(), "DELETE FROM Tracks");
            catalogdb::run(c.db(), "DELETE FROM Dirs");
        }
        QTemporaryDir disk;
        QDir root(disk.path());
        for (int d = 0; d < 20; ++d) {
            const QString dir = QString("d%1").arg(d, 2, 10, QChar('0'));
            QVERIFY(root.mkpath(dir));
            for (int f = 0; f < 3; ++f)
                QVERIFY(fixture::writeMp3(root.filePath(QString("%1/%2.mp3").arg(dir).arg(f)), {}));
        }
        Cataloger* w = open();
        w->scanEventsEveryMs = 0;        // the cancel is seen at the next step, however soon
        w->mnuPlayer->setEnabled(false); // as start-up opens it on an empty catalogue
        clickRow(w->DBGrid1, 0);
        QVERIFY(w->Dir1->setPath(disk.path()));
        // Cancel as soon as the first directory's tracks are stored.
        QTimer watch;
        watch.setInterval(0);
        connect(&watch, &QTimer::timeout, w, [&] {
            if (w->isScanning() && count(m_db, "SELECT COUNT(*) FROM Tracks") > 0)
                QTest::keyClick(w, Qt::Key_Escape);
        });
        watch.start();
        w->mnuCatalog->trigger();
        watch.stop();
        const qint64 stored = count(m_db, "SELECT COUNT(*) FROM Tracks");
        QVERIFY2(stored > 0 && stored < 60, qPrintable(QString::number(stored)));
        QVERIFY(w->StatusBar1->panelText(1).startsWith("Scan cancelled"));
        QVERIFY(w->mnuPlayer->isEnabled());
    }

    void refreshedDisksGridMakesItsFirstRowCurrent() {
        Cataloger* w = open();
        clickRow(w->DBGrid1, 1);
        w->mnuCompact->trigger();
        QCOMPARE(w->DBGrid1->currentIndex().row(), 0);
        // The next scan has a disk again.
        QTemporaryDir disk;
        QVERIFY(fixture::writeMp3(QDir(disk.path()).filePath("new.mp3"), {}));
        QVERIFY(w->Dir1->setPath(disk.path()));
        m_rig->prompts.answers = {Prompts::Answer::Add};
        w->mnuCatalog->trigger();
        QCOMPARE(m_rig->prompts.asked.size(), 1); // Rock 1 is catalogued already
        QCOMPARE(count(m_db, "SELECT COUNT(*) FROM Tracks WHERE DiskID=1"), 5);

        // Emptied, the first row is the new-row line: no disk to scan into.
        m_rig->prompts.answers = {Prompts::Answer::Yes};
        w->mnuEmpty->trigger();
        QCOMPARE(w->DBGrid1->currentIndex().row(), 0);
        w->mnuCatalog->trigger();
        QCOMPARE(m_rig->prompts.asked.back().text, QString("Please select a Disk."));
    }

    void compactionKeepsTheFiltersAndWritesABackup() {
        Cataloger* w = open();
        clickRow(w->DBGrid1, 0);
        w->mnuCompact->trigger();
        QCOMPARE(w->StatusBar1->panelText(1), QString("Done Compacting."));
        QVERIFY(QFileInfo::exists(compaction::backupPath(m_db)));
        QVERIFY(!QFileInfo::exists(compaction::workFilePath(m_db)));
        QCOMPARE(columnTexts(w->DBGrid2, 2), QStringList({"/Rock", "/Rock/Live"}));
        QCOMPARE(w->DBGrid3->model()->rowCount(), 3);
        QVERIFY(m_rig->prompts.asked.empty());
    }

    void failedCompactionLeavesTheGridsBound() {
        QVERIFY(QDir().mkpath(compaction::backupPath(m_db) + "/inside"));
        Cataloger* w = open();
        w->mnuCompact->trigger();
        QCOMPARE(m_rig->prompts.asked.size(), size_t(1));
        QVERIFY(m_rig->prompts.asked[0].text.contains("backup"));
        QVERIFY(w->StatusBar1->panelText(1) != "Done Compacting.");
        QCOMPARE(w->DBGrid3->model()->rowCount(), 5);
        clickRow(w->DBGrid1, 1); // still usable
        QCOMPARE(w->DBGrid2->model()->rowCount(), 1);
    }

    void emptyingAsksThenEmptiesAndCompacts() {
        Cataloger* w = open();
        w->mnuEmpty->trigger(); // unanswered: No
        QCOMPARE(m_rig->prompts.asked[0].text, QString("Are you sure you want to Empty the DB?"));
        QCOMPARE(m_rig->prompts.asked[0].title, QString("Emptying DB..."));
        QCOMPARE(m_rig->prompts.asked[0].defaultAnswer, Prompts::Answer::No);
        QCOMPARE(count(m_db, "SELECT COUNT(*) FROM Tracks"), 5);
        m_rig->prompts.answers = {Prompts::Answer::Yes};
        w->mnuEmpty->trigger();
        QCOMPARE(count(m_db, "SELECT COUNT(*) FROM Tracks"), 0);
        QCOMPARE(count(m_db, "SELECT COUNT(*) FROM Disks"), 0);
        QCOMPARE(w->DBGrid1->model()->rowCount(), 1); // only the new-row line
        QCOMPARE(w->DBGrid3->model()->rowCount(), 0);
        QCOMPARE(w->StatusBar1->panelText(1), QString("Done Compacting."));
        // The backup holds the emptied catalogue, taken before compaction.
        QCOMPARE(count(compaction::backupPath(m_db), "SELECT COUNT(*) FROM Disks"), 0);
        // The player shows what is stored: nothing.
        m_rig->state.lists.disks.resize(3, DiskRecord{7, "old", ""});
        w->mnuPlayer->trigger();
        QVERIFY(m_rig->state.lists.disks.empty());
    }

    // A disk catalogued before: Cancel leaves it, Replace swaps its rows keeping the DiskID,
    // Add stores a second set.
    void catalogingADiskAgainAsksThenReplacesOrAdds() {
        QTemporaryDir disk;
        QVERIFY(QDir().mkpath(disk.filePath("Album")));
        QVERIFY(fixture::writeMp3(disk.filePath("Album/new.mp3"), {}));
        Cataloger* w = open();
        clickRow(w->DBGrid1, 1); // Jazz: /Jazz with blue.mp3
        QVERIFY(w->Dir1->setPath(disk.path()));
        const auto jazz = [this](const QString& what) {
            return count(m_db, "SELECT COUNT(*) FROM " + what + " WHERE DiskID=2");
        };

        m_rig->prompts.answers = {Prompts::Answer::Cancel};
        w->mnuCatalog->trigger();
        QCOMPARE(m_rig->prompts.asked.size(), 1);
        QCOMPARE(m_rig->prompts.asked[0].buttons, Prompts::Buttons::ReplaceAddCancel);
        QVERIFY2(m_rig->prompts.asked[0].text.contains("\"Jazz\" is catalogued already: 1 "
                                                       "directory, 1 track"),
                 qPrintable(m_rig->prompts.asked[0].text));
        QCOMPARE(jazz("Dirs"), 1);
        QCOMPARE(jazz("DiskVolumes"), 0);

        m_rig->prompts.answers = {Prompts::Answer::Replace};
        w->mnuCatalog->trigger();
        QCOMPARE(count(m_db, "SELECT COUNT(*) FROM Tracks WHERE TrackName='blue.mp3'"), 0);
        QCOMPARE(count(m_db, "SELECT COUNT(*) FROM Tracks WHERE DiskID=2 AND "
                             "TrackName='new.mp3'"),
                 1);
        QCOMPARE(jazz("Dirs"), 1);
        QCOMPARE(jazz("DiskVolumes"), 1);
        QCOMPARE(count(m_db, "SELECT COUNT(*) FROM Disks"), 2);
        QCOMPARE(count(m_db, "SELECT COUNT(*) FROM Tracks WHERE DiskID=1"), 4); // untouched
        QVERIFY2(w->StatusBar1->panelText(1).contains("in place of the earlier 1 file"),
                 qPrintable(w->StatusBar1->panelText(1)));

        m_rig->prompts.answers = {Prompts::Answer::Add};
        w->mnuCatalog->trigger();
        QCOMPARE(jazz("Tracks"), 2);
        QCOMPARE(m_rig->prompts.asked.size(), 3);
    }

    // The drive's volume names its disk, again when it comes back; a new disk row typed for
    // it takes its drive and label.
    void theDrivesVolumeIsRecognisedAndNewRowsTakeIt() {
        QTemporaryDir drive;
        const QString root = QDir::toNativeSeparators(drive.path());
        VolumeIdentity stick{root, QString::fromUtf8("MP3 \u00c9t\u00e9"), "1A2B-3C4D", "vfat",
                             1 << 30};
        QList<VolumeIdentity> mounted = {stick};
        m_rig->state.mountedVolumes = [&mounted] { return mounted; };
        {
            CatalogConnection c(m_db, "volume");
            saveDiskVolume(c.db(), 2, stick, QDateTime::currentDateTimeUtc());
        }
        Cataloger* w = open();
        QVERIFY(!w->StatusBar1->panelText(1).contains("holds"));
        w->Drive1->setDrive(root);
        QVERIFY2(w->StatusBar1->panelText(1).contains("holds the disk \"Jazz\""),
                 qPrintable(w->StatusBar1->panelText(1)));
        QCOMPARE(w->DBGrid1->currentIndex().row(), 1);
        QCOMPARE(w->DBGrid2->model()->rowCount(), 1); // Jazz's directory only

        // Another stick in the drive names nothing; the first one back names Jazz again.
        clickRow(w->DBGrid1, 0);
        w->StatusBar1->setPanelText(1, "");
        mounted = {VolumeIdentity{root, "MP3", "5E6F-7A8B", "vfat", 1 << 30}};
        QTest::qWait(1500);
        QCOMPARE(w->DBGrid1->currentIndex().row(), 0);
        mounted = {stick};
        QTRY_COMPARE(w->DBGrid1->currentIndex().row(), 1);

        DiskGridModel* disks = w->Disks;
        QVERIFY(disks->setData(disks->index(2, DiskGridModel::DriveColumn), root, Qt::EditRole));
        QCOMPARE(disks->diskName(2), stick.label);
        QVERIFY(
            disks->setData(disks->index(3, DiskGridModel::DiskNameColumn), "Typed", Qt::EditRole));
        QCOMPARE(disks->drive(3), root);
        QVERIFY(disks->setData(disks->index(4, DiskGridModel::DriveColumn), "/elsewhere",
                               Qt::EditRole));
        QCOMPARE(disks->diskName(4), QString());
    }

    void playerCommandHandsOverWithoutEndingTheProgram() {
        Cataloger* w = open();
        QVERIFY(m_rig->state.lists.tracks.empty()); // started on an empty catalogue: never loaded
        {
            CatalogConnection c(m_db, "volume");
            saveDiskVolume(c.db(), 1, {"", "ROCK", "", "iso9660", 700}, QDateTime());
        }
        w->mnuPlayer->trigger();
        // The player knows the disks' volumes, to tell when one comes into its drive.
        QCOMPARE(m_rig->state.knownVolumes.size(), size_t(1));
        QCOMPARE(m_rig->state.knownVolumes[0].diskName, "Rock 1");
        QCOMPARE(m_windows.players, 1);
        // The player gets the catalogue as it is now, not as it was at start-up.
        QCOMPARE(m_rig->state.lists.tracks.size(), size_t(6));
        QCOMPARE(m_rig->state.lists.disks.size(), size_t(3));
        QCOMPARE(m_rig->ends, 0);
        QTRY_VERIFY(m_window.isNull()); // closed and destroyed
    }

    void closingTheWindowEndsTheProgram() {
        QVERIFY(QDir().mkpath(m_rig->state.tempPlaylistDir));
        QFile list(m_rig->state.tempPlaylistDir + "/Temp1.m3u");
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.close();
        m_rig->state.tempPlayLists << list.fileName(); // as if the player had written it
        Cataloger* w = open();
        w->close();
        QCOMPARE(m_rig->ends, 1);
        QVERIFY(!list.exists());
        QCOMPARE(m_windows.players, 0);
    }
};

QTEST_MAIN(CatalogerTest)
#include "test_cataloger.moc"
