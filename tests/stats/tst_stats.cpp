// The statistics window: its four reports, the row count, the total playing time, the column
// widths and the keys that close it.

#include "catalogdb.h"
#include "programrig.h"
#include "stats.h"
#include "statscatalogue.h"
#include "statsgrid.h"
#include "statuspanels.h"
#include "twips.h"

#include <QHeaderView>
#include <QPointer>
#include <QRadioButton>
#include <QTableView>
#include <QtTest>

class StatsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Ten directories: eleven grid rows, the count in the status bar, headings centred and
    // cells aligned left; a report without rows shows the headings alone and a count of 0.
    void reportsFillTheGrid() {
        ProgramRig rig;
        fillCatalogue(rig, 10, 0);
        Stats stats(rig.state);
        stats.show();
        WAIT_SHOWN(stats);
        QCOMPARE(stats.gridRows(), 11);
        QCOMPARE(stats.gridCols(), 5);
        QCOMPARE(stats.StatusBar1->panelText(1), QString("# of Records: 10"));
        QCOMPARE(stats.model->headerData(0, Qt::Horizontal).toString(), QString("DiskName"));
        QCOMPARE(stats.model->headerData(0, Qt::Horizontal, Qt::TextAlignmentRole).toInt(),
                 int(Qt::AlignCenter));
        QCOMPARE(stats.model->index(9, 2).data(Qt::TextAlignmentRole).toInt(),
                 int(Qt::AlignLeft | Qt::AlignVCenter));
        QCOMPARE(stats.model->index(9, 2).data().toString(), QString("/Music/Folder 9"));
        QVERIFY(rig.state.QuitOnClose);

        QTest::mouseClick(stats.optStats[1], Qt::LeftButton, {}, QPoint(8, 8));
        QVERIFY(stats.optStats[1]->isChecked());
        WAIT_SHOWN(stats);
        QCOMPARE(stats.gridRows(), 1);
        QCOMPARE(stats.gridCols(), 6);
        QCOMPARE(stats.StatusBar1->panelText(1), QString("# of Records: 0"));
        QVERIFY(rig.prompts.asked.empty());
    }

    // "All Tracks" of a large catalogue: the count is complete while the grid holds only the
    // rows read so far; scrolling reads the rest in order.
    void largeReportIsReadAsItScrolls() {
        ProgramRig rig;
        fillCatalogue(rig, 1, 3000);
        Stats stats(rig.state);
        stats.showReport(3);
        QCOMPARE(stats.StatusBar1->panelText(1), QString("# of Records: counting..."));
        WAIT_SHOWN(stats);
        QCOMPARE(stats.recordCount(), 3000);
        QCOMPARE(stats.StatusBar1->panelText(1), QString("# of Records: 3000"));
        QVERIFY(stats.model->rowCount() > 0 && stats.model->rowCount() < 3000);
        QCOMPARE(stats.longestTexts().at(4), int(QString("track 3000.mp3").size()));
        while (stats.model->canFetchMore({}))
            stats.model->fetchMore({});
        QCOMPARE(stats.model->rowCount(), 3000);
        QCOMPARE(stats.model->index(2999, 4).data().toString(), QString("track 3000.mp3"));

        // Closed while it reads and measures: both end unheard.
        auto* closing = new Stats(rig.state);
        closing->showReport(3);
        delete closing;
        QTest::qWait(300);
    }

    // The track reports add up their playing times beside the count, hours past 99 included
    // and times that are not "hh:mm:ss" counting nothing; the directories report has none.
    void trackReportsShowTheirTotalTime() {
        ProgramRig rig;
        fillCatalogue(rig, 1, 2); // two minutes
        {
            CatalogConnection c(rig.state.DBPath, "times");
            catalogdb::run(c.db(), "INSERT INTO Tracks (DirID, DiskID, TrackName, Duration) "
                                   "VALUES (1, 1, 'long.mp3', '123:04:05'), (1, 1, 'x.mp3', ''), "
                                   "(1, 1, 'y.mp3', 'ab:cd:ef'), (1, 1, 'z.mp3', NULL)");
        }
        Stats stats(rig.state);
        WAIT_SHOWN(stats);
        QCOMPARE(stats.StatusBar1->panelText(2), QString());
        for (const int report : {1, 2, 3}) {
            stats.showReport(report);
            WAIT_SHOWN(stats);
            QCOMPARE(stats.StatusBar1->panelText(2), QString("Total Time:123:06:05"));
        }
    }

    void widthsFollowTheLongestTexts() {
        const auto widths = proportionalWidths(4400, {10, 30, 10});
        QVERIFY(widths);
        QCOMPARE(*widths, std::vector<double>({800, 2400, 800}));
        QVERIFY(!proportionalWidths(4400, {0, 0}));
    }

    // A column held at its minimum leaves the others less to share, which may hold another.
    void narrowColumnsGetTheirMinimum() {
        QCOMPARE(*proportionalWidths(4400, {10, 30, 10}, {1000, 0, 0}),
                 std::vector<double>({1000, 2250, 750}));
        QCOMPARE(*proportionalWidths(4400, {10, 30, 10}, {1000, 0, 900}),
                 std::vector<double>({1000, 2100, 900}));
        // The first column clears its minimum until the second is held.
        QCOMPARE(*proportionalWidths(4400, {10, 10, 30}, {780, 1000, 0}),
                 std::vector<double>({780, 1000, 2220}));
        QCOMPARE(*proportionalWidths(4400, {0, 10}, {300, 0}), std::vector<double>({300, 3700}));
        // Too narrow for all of them: each keeps its minimum, and the grid scrolls.
        QCOMPARE(*proportionalWidths(1000, {10, 30, 10}, {500, 500, 500}),
                 std::vector<double>({500, 500, 500}));
    }

    // In the window, and again after a resize: no column narrower than its heading or than
    // the longest playing time, the others in proportion to their longest texts.
    void noColumnNarrowerThanItsHeadingOrATime() {
        ProgramRig rig;
        fillCatalogue(rig, 3, 3);
        {
            CatalogConnection c(rig.state.DBPath, "names");
            catalogdb::run(c.db(),
                           "INSERT INTO Tracks (DirID, DiskID, TrackName, Duration) "
                           "VALUES (1, 1, ?, '1000000:00:00')",
                           {QString(120, u'n')});
        }
        Stats stats(rig.state);
        stats.show();
        stats.showReport(3);
        WAIT_SHOWN(stats);
        const QHeaderView* headings = stats.grdStats->horizontalHeader();
        const int duration = stats.gridCols() - 1;
        const int time = stats.grdStats->fontMetrics().horizontalAdvance("0000000:00:00");
        for (const int width : {1100, 420}) {
            stats.resize(width, 400);
            QApplication::processEvents();
            for (int c = 0; c < stats.gridCols(); ++c)
                QVERIFY2(stats.grdStats->columnWidth(c) >= headings->sectionSizeHint(c) - 1,
                         qPrintable(stats.model->columns().at(c)));
            QVERIFY(stats.grdStats->columnWidth(duration) > time);
        }
        // Wide enough: the long names' column takes the most, the grid's width shared out.
        stats.resize(1400, 400);
        QApplication::processEvents();
        int total = 0;
        for (int c = 0; c < stats.gridCols(); ++c)
            total += stats.grdStats->columnWidth(c);
        QVERIFY(std::abs(total - (stats.grdStats->width() - twipsToPixels(400, &stats))) <=
                stats.gridCols());
        const int name = 4; // TrackName
        for (int c = 0; c < stats.gridCols(); ++c)
            QVERIFY(c == name ||
                    stats.grdStats->columnWidth(c) < stats.grdStats->columnWidth(name));
    }

    void escapeAndCtrlWCloseTheWindow_data() {
        QTest::addColumn<QKeySequence>("keys");
        QTest::newRow("Esc") << QKeySequence(Qt::Key_Escape);
        QTest::newRow("Ctrl+W") << QKeySequence(Qt::CTRL | Qt::Key_W);
    }

    void escapeAndCtrlWCloseTheWindow() {
        QFETCH(QKeySequence, keys);
        ProgramRig rig;
        fillCatalogue(rig, 2, 2);
        QPointer<Stats> stats = new Stats(rig.state);
        stats->show();
        QVERIFY(QTest::qWaitForWindowActive(stats));
        QTest::keySequence(stats->grdStats, keys);
        QTRY_VERIFY(stats.isNull());
    }

    // A report whose stored query is gone: one message, an empty grid, and the window goes on.
    void aReportThatCannotBeReadIsToldOnce() {
        ProgramRig rig;
        fillCatalogue(rig, 2, 2);
        Stats stats(rig.state);
        WAIT_SHOWN(stats);
        {
            CatalogConnection c(rig.state.DBPath, "drop");
            catalogdb::run(c.db(), "DROP VIEW \"Tracks by Disk\"");
        }
        stats.showReport(1);
        WAIT_SHOWN(stats);
        QTest::qWait(50);
        QCOMPARE(rig.prompts.asked.size(), size_t(1));
        QVERIFY2(rig.prompts.asked[0].text.startsWith("The report cannot be shown."),
                 qPrintable(rig.prompts.asked[0].text));
        QCOMPARE(stats.model->rowCount(), 0);
        QVERIFY(stats.grdStats->isEnabled());
        stats.showReport(0);
        WAIT_SHOWN(stats);
        QCOMPARE(stats.model->rowCount(), 2);
    }
};

QTEST_MAIN(StatsTest)
#include "tst_stats.moc"
