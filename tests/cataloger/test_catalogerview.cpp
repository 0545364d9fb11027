// The cataloguing window at 1200 pixels: columns sized to their contents, Tab along the new-row
// line, a click on a row's header, the directory list following the disk in the drive.
#include "catalogdb.h"
#include "cataloger.h"
#include "cellwidth.h"
#include "columnfit.h"
#include "directorylist.h"
#include "filelist.h"
#include "gridmodels.h"
#include "programrig.h"

#include <QHeaderView>
#include <QPointer>
#include <QScrollBar>
#include <QTableView>
#include <QtTest>

class CatalogerViewTest : public QObject {
    Q_OBJECT
    std::unique_ptr<ProgramRig> m_rig;
    QPointer<Cataloger> m_window;

    void run(const QString& statement) {
        catalogdb::run(CatalogConnection(m_rig->state.DBPath, "seed").db(), statement);
    }

    Cataloger* open() {
        m_window = new Cataloger(m_rig->state);
        m_window->resize(1200, 800);
        m_window->show();
        QApplication::processEvents();
        return m_window;
    }

    void clickRowHeader(QTableView* grid, int row) {
        const int y = grid->verticalHeader()->sectionViewportPosition(row) + 5;
        QTest::mouseClick(grid->verticalHeader()->viewport(), Qt::LeftButton, {}, QPoint(4, y));
    }

private Q_SLOTS:
    void init() {
        m_rig = std::make_unique<ProgramRig>();
        m_rig->state.DBPath = m_rig->path("catalog.mdb");
        m_rig->state.CdDrive = "/";
        QVERIFY(catalogdb::prepare(m_rig->state.DBPath).ok);
        run("INSERT INTO Disks (DiskName, Drive) VALUES ('Singer-Songwriters 1970s', "
            "'/media/alice/MP3_07'), ('Jazz', '/media/alice/MP3_08')");
        run("INSERT INTO Dirs (DiskID, DirName) VALUES (1, '/Joni Mitchell/Court and Spark'), "
            "(2, '/Miles Davis/Kind of Blue')");
        run("INSERT INTO Tracks (DirID, DiskID, TrackName, Title, Artist, Album, Duration) "
            "VALUES (1, 1, '03 Free Man in Paris.mp3', 'Free Man in Paris', 'Joni Mitchell', "
            "'Court and Spark', '00:03:03'), (2, 2, '02 Freddie Freeloader.mp3', 'Freddie "
            "Freeloader', 'Miles Davis', 'Kind of Blue', '00:09:46')");
    }

    void cleanup() { delete m_window; }

    // Too little room: the longest names are cut to one width, the short ones and the
    // identifiers whole, none below its minimum; a pixel left over goes to the filler.
    void fittingTheColumns() {
        const std::vector<columnfit::Column> columns = {
            {50, 50, false}, {200, 60, true}, {160, 60, true}, {90, 40, true}};
        QCOMPARE(columnfit::fit(columns, 430, 1), std::vector<int>({50, 145, 145, 90}));
        QCOMPARE(columnfit::fit(columns, 261, 1), std::vector<int>({50, 71, 70, 70}));
        QCOMPARE(columnfit::fit(columns, 150, 1), std::vector<int>({50, 60, 60, 40}));
    }

    // Every text whole and no grid scrolling sideways, also once rows bring the tracks grid a
    // scroll bar after its columns were fitted.
    void columnsFitTheirContents() {
        Cataloger* w = open();
        run("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 60) "
            "INSERT INTO Tracks (DirID, DiskID, TrackName) SELECT 2, 2, 'Take ' || i FROM n");
        w->Tracks->refresh();
        QTRY_VERIFY(w->DBGrid3->verticalScrollBar()->isVisible());
        QTest::qWait(50);
        for (QTableView* grid : {w->DBGrid1, w->DBGrid2, w->DBGrid3})
            QCOMPARE(grid->horizontalScrollBar()->maximum(), 0);
        QVERIFY(w->DBGrid1->columnWidth(1) >= cellWidthFor(w->DBGrid1, "Singer-Songwriters 1970s"));
        for (const int c : {3, 4, 5, 6, 7})
            QVERIFY(w->DBGrid3->columnWidth(c) >=
                    cellWidthFor(w->DBGrid3, w->DBGrid3->model()->index(0, c).data().toString()));
    }

    // With no disk yet the new-row line's name has room to be typed into, and Tab on to its
    // drive never scrolls the names away.
    void tabAlongTheNewRowKeepsTheNamesInView() {
        run("DELETE FROM Disks");
        Cataloger* w = open();
        QTableView* grid = w->DBGrid1;
        QVERIFY(grid->columnWidth(DiskGridModel::DiskNameColumn) >=
                cellWidthFor(grid, "MP3 Collection, Disk 1"));
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(0, DiskGridModel::DiskNameColumn));
        QTest::keyClicks(grid, "Blues & Soul, the 1960s Collection");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTRY_COMPARE(grid->model()->rowCount(), 2);
        QCOMPARE(grid->currentIndex().column(), int(DiskGridModel::DriveColumn));
        QCOMPARE(grid->horizontalScrollBar()->value(), 0);
    }

    void clickingARowHeaderSelectsItsDiskOrDirectory() {
        Cataloger* w = open();
        clickRowHeader(w->DBGrid1, 1);
        QCOMPARE(w->DBGrid2->model()->index(0, 2).data().toString(), "/Miles Davis/Kind of Blue");
        QCOMPARE(w->DBGrid3->model()->rowCount(), 1);
        clickRowHeader(w->DBGrid1, 0);
        clickRowHeader(w->DBGrid2, 0);
        QCOMPARE(w->DBGrid3->model()->index(0, 3).data().toString(), "03 Free Man in Paris.mp3");
    }

    // A disk swapped in the drive is listed anew, from the nearest folder left on it; with the
    // drive's folder gone nothing is listed.
    void theDirectoryListFollowsTheDiskInTheDrive() {
        const QString root = QDir::toNativeSeparators(m_rig->path("MP3_07"));
        QDir disk(root);
        QVERIFY(disk.mkpath("Blue/Live"));
        QList<VolumeIdentity> mounted = {{root, "MP3_07", "1111-AAAA", "vfat", 1 << 30}};
        m_rig->state.mountedVolumes = [&mounted] { return mounted; };
        m_rig->state.CdDrive = root;
        Cataloger* w = open();
        QVERIFY(w->Dir1->setPath(disk.filePath("Blue")));
        QVERIFY(disk.removeRecursively() && disk.mkpath("Kind of Blue"));
        QVERIFY(QFile(disk.filePath("So What.mp3")).open(QIODevice::WriteOnly));
        mounted = {{root, "MP3_08", "2222-BBBB", "vfat", 1 << 30}};
        QTRY_COMPARE(w->Dir1->path(), root);
        QCOMPARE(w->Dir1->list(0), QDir::toNativeSeparators(disk.filePath("Kind of Blue")));
        QCOMPARE(w->File1->listCount(), 1);

        QVERIFY(disk.removeRecursively());
        mounted.clear();
        QTRY_COMPARE(w->Dir1->listCount(), 0);
        QCOMPARE(w->File1->listCount(), 0);
    }
};

QTEST_MAIN(CatalogerViewTest)
#include "test_catalogerview.moc"
