// The cataloguing window as a person sees it at 1200 pixels: columns sized to their contents,
// Tab along the disks grid's new-row line, a click on a row's header, and the directory list
// following the disk in the drive. Then the column fitting on its own.
#include "catalogdb.h"
#include "cataloger.h"
#include "cellwidth.h"
#include "columnfit.h"
#include "directorylist.h"
#include "drivelist.h"
#include "filelist.h"
#include "gridmodels.h"
#include "programrig.h"
#include "runtestclasses.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

namespace {

class NoWindows : public WindowSwitch {
public:
    void showPlayer() override {}
    void showCataloger(bool) override {}
};

void clickRowHeader(QTableView* grid, int row) {
    QHeaderView* header = grid->verticalHeader();
    const int y = header->sectionViewportPosition(row) + header->sectionSize(row) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->width() / 2, y));
}

QStringList columnTexts(const QTableView* grid, int column) {
    QStringList texts;
    for (int row = 0; row < grid->model()->rowCount(); ++row)
        texts << grid->model()->index(row, column).data().toString();
    return texts;
}

} // namespace

class CatalogerViewTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramRig> m_rig;
    NoWindows m_windows;
    QPointer<Cataloger> m_window;

    // Two disks of a music collection, as a scan names them.
    void seed() {
        CatalogConnection c(m_rig->state.DBPath, "seed");
        const QSqlDatabase db = c.db();
        catalogdb::run(db,
                       "INSERT INTO Disks (DiskName, Drive) VALUES ('Singer-Songwriters 1970s', "
                       "'/media/alice/MP3_07'), ('Jazz', '/media/alice/MP3_08')");
        catalogdb::run(db,
                       "INSERT INTO Dirs (DiskID, DirName) VALUES "
                       "(1, '/Joni Mitchell/Court and Spark'), (2, '/Miles Davis/Kind of Blue')");
        catalogdb::run(db, "INSERT INTO Tracks (DirID, DiskID, TrackName, Title, Artist, Album, "
                           "Duration) VALUES (1, 1, '03 Free Man in Paris.mp3', 'Free Man in "
                           "Paris', 'Joni Mitchell', 'Court and Spark', '00:03:03'), (2, 2, "
                           "'02 Freddie Freeloader.mp3', 'Freddie Freeloader', 'Miles Davis', "
                           "'Kind of Blue', '00:09:46')");
    }

    Cataloger* open(int width = 1200) {
        m_window = new Cataloger(m_rig->state);
        m_window->resize(width, 800);
        m_window->show();
        if (!QTest::qWaitForWindowExposed(m_window))
            qWarning("window not exposed");
        QApplication::processEvents();
        return m_window;
    }

private Q_SLOTS:
    void init() {
        m_rig = std::make_unique<ProgramRig>();
        m_rig->state.DBPath = m_rig->path("catalog.mdb");
        QVERIFY(catalogdb::prepare(m_rig->state.DBPath).ok);
        seed();
        m_rig->state.CdDrive = "/";
        m_rig->state.windows = &m_windows;
    }

    void cleanup() { delete m_window; }

    // Names, titles and times are whole, and no grid scrolls sideways, also once the tracks
    // grid needs a scroll bar of its own.
    void columnsFitTheirContentsAt1200Pixels() {
        Cataloger* w = open();
        QTRY_VERIFY(w->DBGrid3->columnWidth(3) > 0);
        {
            CatalogConnection c(m_rig->state.DBPath, "more");
            catalogdb::run(c.db(), "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
                                   "FROM n WHERE i < 60) INSERT INTO Tracks (DirID, DiskID, "
                                   "TrackName, Duration) SELECT 2, 2, 'Take ' || i || '.mp3', "
                                   "'00:05:00' FROM n");
        }
        w->Tracks->refresh();
        QTRY_VERIFY(w->DBGrid3->verticalScrollBar()->isVisible());
        QTest::qWait(50);
        for (QTableView* grid : {w->DBGrid1, w->DBGrid2, w->DBGrid3}) {
            QCOMPARE(grid->horizontalScrollBar()->maximum(), 0);
            const QAbstractItemModel* model = grid->model();
            for (int c = 0; c < model->columnCount(); ++c)
                for (int r = 0; r < model->rowCount(); ++r) {
                    const QString text = model->index(r, c).data().toString();
                    QVERIFY2(grid->columnWidth(c) >= cellWidthFor(grid, text), qPrintable(text));
                }
        }
        // The rest of the width goes to the column that closes each row of names.
        QVERIFY(w->DBGrid3->columnWidth(3) > cellWidthFor(w->DBGrid3, "03 Free Man in Paris.mp3"));
    }

    // Tab from the new-row line's name to its drive, while typing a disk or not: the grid
    // never scrolls the names out of view.
    void tabAlongTheNewRowKeepsTheNamesInView() {
        Cataloger* w = open();
        QTableView* grid = w->DBGrid1;
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(2, DiskGridModel::DiskNameColumn));
        QTest::keyClick(grid, Qt::Key_Tab);
        QCOMPARE(grid->currentIndex().column(), int(DiskGridModel::DriveColumn));
        QCOMPARE(grid->horizontalScrollBar()->value(), 0);

        grid->setCurrentIndex(grid->model()->index(2, DiskGridModel::DiskNameColumn));
        QTest::keyClick(grid, Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor);
        QTest::keyClicks(editor, "Blues & Soul, 1960s");
        QTest::keyClick(editor, Qt::Key_Tab);
        QTRY_COMPARE(grid->model()->rowCount(), 4);
        QCOMPARE(grid->currentIndex().column(), int(DiskGridModel::DriveColumn));
        QCOMPARE(grid->horizontalScrollBar()->value(), 0);
        QVERIFY(grid->columnWidth(DiskGridModel::DiskNameColumn) >=
                cellWidthFor(grid, "Blues & Soul, 1960s"));
    }

    // With no disk yet, the name is still given room to be typed into.
    void theNewRowLineHasRoomForAName() {
        {
            CatalogConnection c(m_rig->state.DBPath, "empty");
            catalogdb::run(c.db(), "DELETE FROM Disks");
        }
        Cataloger* w = open();
        QVERIFY(w->DBGrid1->columnWidth(DiskGridModel::DiskNameColumn) >=
                cellWidthFor(w->DBGrid1, "MP3 Collection, Disk 1"));
    }

    void clickingARowHeaderSelectsItsDiskOrDirectory() {
        Cataloger* w = open();
        clickRowHeader(w->DBGrid1, 1);
        QCOMPARE(w->DBGrid1->currentIndex().row(), 1);
        QCOMPARE(columnTexts(w->DBGrid2, 2), QStringList{"/Miles Davis/Kind of Blue"});
        QCOMPARE(columnTexts(w->DBGrid3, 3), QStringList{"02 Freddie Freeloader.mp3"});
        clickRowHeader(w->DBGrid1, 0);
        clickRowHeader(w->DBGrid2, 0);
        QCOMPARE(columnTexts(w->DBGrid3, 3), QStringList{"03 Free Man in Paris.mp3"});
        clickRowHeader(w->DBGrid1, 2); // the new-row line: no disk, nothing changes
        QCOMPARE(columnTexts(w->DBGrid2, 2), QStringList{"/Joni Mitchell/Court and Spark"});
    }

    // A disk swapped in the drive is listed anew; where the folder shown is gone the list
    // goes up to the nearest one left on the drive, and with the drive gone it lists nothing.
    void theDirectoryListFollowsADiskSwap() {
        QTemporaryDir drives;
        const QString root = QDir::toNativeSeparators(drives.filePath("MP3_07"));
        QDir disk(root);
        QVERIFY(disk.mkpath("Blue") && disk.mkpath("Court and Spark"));
        QList<VolumeIdentity> mounted = {{root, "MP3_07", "1111-AAAA", "vfat", 1 << 30}};
        m_rig->state.mountedVolumes = [&mounted] { return mounted; };
        m_rig->state.CdDrive = root;
        Cataloger* w = open();
        QCOMPARE(w->Dir1->listCount(), 2);
        QVERIFY(w->Dir1->setPath(disk.filePath("Court and Spark")));

        // Another disk in the drive: other folders, and not the one shown.
        QVERIFY(disk.removeRecursively() && disk.mkpath("Kind of Blue"));
        QVERIFY(QFile(disk.filePath("Kind of Blue/01 So What.mp3")).open(QIODevice::WriteOnly));
        mounted = {{root, "MP3_08", "2222-BBBB", "vfat", 1 << 30}};
        QTRY_COMPARE(w->Dir1->path(), root);
        QCOMPARE(w->Dir1->listCount(), 1);
        QCOMPARE(w->Dir1->list(0), QDir::toNativeSeparators(disk.filePath("Kind of Blue")));
        QVERIFY(w->Dir1->setPath(disk.filePath("Kind of Blue")));
        QCOMPARE(w->File1->listCount(), 1);
        QVERIFY(w->Dir1->setPath(root));
        QVERIFY(QFile(disk.filePath("Liner Notes.mp3")).open(QIODevice::WriteOnly));
        w->File1->setPath(root);

        // Taken out, its folder gone with it: nothing is listed, no file either.
        QVERIFY(disk.removeRecursively());
        mounted.clear();
        QTRY_COMPARE(w->Dir1->listCount(), 0);
        QCOMPARE(w->File1->listCount(), 0);
        QCOMPARE(w->Dir1->path(), root);

        // Back in: listed again.
        QVERIFY(disk.mkpath("Blue"));
        mounted = {{root, "MP3_07", "1111-AAAA", "vfat", 1 << 30}};
        QTRY_COMPARE(w->Dir1->listCount(), 1);
        QCOMPARE(w->Dir1->path(), root);
    }
};

// The column fitting without a window.
class ColumnFitTest : public QObject {
    Q_OBJECT

    using Column = columnfit::Column;

private Q_SLOTS:
    void whatIsLeftGoesToTheFiller() {
        const std::vector<Column> columns = {{50, 50, false}, {120, 60, true}, {80, 40, true}};
        QCOMPARE(columnfit::fit(columns, 400, 2), std::vector<int>({50, 120, 230}));
        QCOMPARE(columnfit::fit(columns, 250, 1), std::vector<int>({50, 120, 80}));
    }

    // Too narrow: the longest names are cut to one width, the short ones stay whole, the
    // identifiers keep theirs.
    void theLongestNamesAreCutFirst() {
        const std::vector<Column> columns = {
            {50, 50, false}, {200, 60, true}, {160, 60, true}, {90, 40, true}};
        // 500 wanted, 430 there: the two long names are cut to 145, the short one is whole.
        QCOMPARE(columnfit::fit(columns, 430, 1), std::vector<int>({50, 145, 145, 90}));
        // Less room: all three cut to one width, the rounding's pixel to the filler.
        QCOMPARE(columnfit::fit(columns, 261, 1), std::vector<int>({50, 71, 70, 70}));
        // Not even the minimums fit: they stay, and the grid scrolls.
        QCOMPARE(columnfit::fit(columns, 150, 1), std::vector<int>({50, 60, 60, 40}));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    CatalogerViewTest view;
    ColumnFitTest fit;
    return runTestClasses(argc, argv, {&view, &fit});
}

#include "test_catalogerview.moc"
