// The statistics window: its four reports, the row count and total time, the column widths,
// sorting by a heading, and the keys that close it.

#include "catalogdb.h"
#include "catalogengine.h"
#include "programrig.h"
#include "reportcursor.h"
#include "sqlrows.h"
#include "stats.h"
#include "statsgrid.h"
#include "statuspanels.h"
#include "twips.h"

#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QRadioButton>
#include <QTableView>
#include <QtTest>

// The rows arrive once read, the row count and the widths once the report is measured.
#define WAIT_MEASURED(stats)                                                                       \
    QTRY_VERIFY(!(stats).isReading() && !(stats).StatusBar1->panelText(1).contains("counting"))

namespace {

void clickHeading(Stats& stats, int column) {
    QHeaderView* headings = stats.grdStats->horizontalHeader();
    const int x = headings->sectionViewportPosition(column) + headings->sectionSize(column) / 2;
    QTest::mouseClick(headings->viewport(), Qt::LeftButton, {}, QPoint(x, 5));
}

QString cell(const Stats& stats, int row, int column) {
    return stats.model->index(row, column).data().toString();
}

} // namespace

class StatsTest : public QObject {
    Q_OBJECT
private:
    // A catalogue of two disks with `dirs` directories and `tracks` tracks.
    void fill(ProgramRig& rig, int dirs, int tracks) {
        rig.state.DBPath = rig.path("catalog.mdb");
        QVERIFY(catalogdb::prepare(rig.state.DBPath).ok);
        CatalogConnection c(rig.state.DBPath, "fill");
        catalogdb::run(c.db(), "INSERT INTO Disks VALUES (1, 'Disk One', '/media/one')");
        catalogdb::run(c.db(), "INSERT INTO Disks VALUES (2, 'Two', '/media/two')");
        for (int i = 1; i <= dirs; ++i)
            catalogdb::run(c.db(), "INSERT INTO Dirs VALUES (?, ?, ?)",
                           {i, 1 + i % 2, QStringLiteral("/Music/Folder %1").arg(i)});
        Transaction transaction(c.db());
        for (int i = 1; i <= tracks; ++i)
            catalogdb::run(c.db(),
                           "INSERT INTO Tracks VALUES (?, 1, 1, 't', ?, '00:01:00', 'a', 'b')",
                           {i, QStringLiteral("track %1.mp3").arg(i)});
        transaction.commit();
    }

private Q_SLOTS:
    // Ten directories: eleven grid rows, the count in the status bar, headings centred and
    // cells aligned left; a report without rows shows the headings alone and a count of 0.
    void reportsFillTheGrid() {
        ProgramRig rig;
        fill(rig, 10, 0);
        Stats stats(rig.state);
        stats.show();
        WAIT_MEASURED(stats);
        QCOMPARE(stats.gridRows(), 11);
        QCOMPARE(stats.gridCols(), 5);
        QCOMPARE(stats.StatusBar1->panelText(1), QString("# of Records: 10"));
        QCOMPARE(stats.model->headerData(0, Qt::Horizontal).toString(), QString("DiskName"));
        QCOMPARE(stats.model->headerData(0, Qt::Horizontal, Qt::TextAlignmentRole).toInt(),
                 int(Qt::AlignCenter));
        QCOMPARE(stats.model->index(9, 2).data(Qt::TextAlignmentRole).toInt(),
                 int(Qt::AlignLeft | Qt::AlignVCenter));
        QVERIFY(rig.state.QuitOnClose);

        QTest::mouseClick(stats.optStats[1], Qt::LeftButton, {}, QPoint(8, 8));
        QVERIFY(stats.optStats[1]->isChecked());
        WAIT_MEASURED(stats);
        QCOMPARE(stats.gridRows(), 1);
        QCOMPARE(stats.gridCols(), 6);
        QCOMPARE(stats.StatusBar1->panelText(1), QString("# of Records: 0"));
        QVERIFY(rig.prompts.asked.empty());
    }

    // "All Tracks" of a large catalogue: the count is complete while the grid holds only the
    // rows fetched so far.
    void largeReportFetchesLazily() {
        ProgramRig rig;
        fill(rig, 1, 3000);
        Stats stats(rig.state);
        stats.showReport(3);
        QCOMPARE(stats.StatusBar1->panelText(1), QString("# of Records: counting..."));
        WAIT_MEASURED(stats);
        QCOMPARE(stats.recordCount(), 3000);
        QCOMPARE(stats.StatusBar1->panelText(1), QString("# of Records: 3000"));
        QVERIFY(stats.model->rowCount() > 0 && stats.model->rowCount() < 3000);
        QCOMPARE(stats.longestTexts().at(4), int(QString("track 3000.mp3").size()));

        // Closed while it measures: the measure ends unheard.
        auto* closing = new Stats(rig.state);
        closing->showReport(3);
        delete closing;
        QTest::qWait(300);
    }

    void widthsFollowTheLongestTexts() {
        const auto widths = proportionalWidths(4400, {10, 30, 10});
        QVERIFY(widths);
        QCOMPARE(*widths, std::vector<double>({800, 2400, 800}));
        QVERIFY(!proportionalWidths(4400, {0, 0}));
        // Held at its minimum, a column leaves the others less to share, which may hold another.
        QCOMPARE(*proportionalWidths(4400, {10, 10, 30}, {780, 1000, 0}),
                 std::vector<double>({780, 1000, 2220}));

        // In the window, and again after a resize.
        ProgramRig rig;
        fill(rig, 3, 0);
        Stats stats(rig.state);
        stats.show();
        WAIT_MEASURED(stats);
        for (const int width : {900, 600}) {
            stats.resize(width, 400);
            QApplication::processEvents();
            const double usable = pixelsToTwips(stats.grdStats->width(), &stats) - 400;
            const std::vector<int>& longest = stats.longestTexts();
            const double total = std::accumulate(longest.begin(), longest.end(), 0.0);
            for (int c = 0; c < stats.gridCols(); ++c)
                QVERIFY(std::abs(stats.grdStats->columnWidth(c) -
                                 twipsToPixels(usable * longest[c] / total, &stats)) <= 1);
        }
    }

    // The track reports add up their playing times, hours past 99 included, texts that are
    // not times counting nothing; each time shows whole, however narrow the window.
    void trackReportsShowTheirTotalTime() {
        ProgramRig rig;
        fill(rig, 1, 2);
        catalogdb::run(CatalogConnection(rig.state.DBPath, "times").db(),
                       "INSERT INTO Tracks (DirID, DiskID, Duration) VALUES (1, 1, "
                       "'1000000:00:00'), (1, 1, 'ab:cd:ef'), (1, 1, NULL)");
        Stats stats(rig.state);
        stats.resize(300, 400);
        WAIT_MEASURED(stats);
        QCOMPARE(stats.StatusBar1->panelText(2), QString());
        for (const int report : {1, 2, 3}) {
            stats.showReport(report);
            WAIT_MEASURED(stats);
            QCOMPARE(stats.StatusBar1->panelText(2), QString("Total Time:1000000:02:00"));
        }
        QVERIFY(stats.grdStats->columnWidth(8) >
                stats.grdStats->fontMetrics().horizontalAdvance("0000000:00:00"));
    }

    // On a worker thread, while the grid says so and its rows stay readable; case ignored,
    // ties in the report's own order; again: reversed. Of two orders asked for at once the
    // last is shown; another report comes in its own order.
    void clickingAHeadingSorts() {
        ProgramRig rig;
        fill(rig, 1, 3000);
        catalogdb::run(CatalogConnection(rig.state.DBPath, "names").db(),
                       "INSERT INTO Tracks (TrackID, DirID, DiskID, TrackName, Duration) VALUES "
                       "(3001, 1, 1, 'b.mp3', '00:00:30'), (3002, 1, 1, 'B2.mp3', '00:02:00'), "
                       "(3003, 1, 1, 'A.mp3', '00:02:00')");
        Stats stats(rig.state);
        stats.show();
        stats.showReport(3);
        WAIT_MEASURED(stats);
        const int shown = stats.model->rowCount();
        clickHeading(stats, 4);
        QVERIFY(stats.isReading() && !stats.grdStats->isEnabled() && stats.lblBusy->isVisible());
        QCOMPARE(stats.lblBusy->text(), QString("Sorting by TrackName..."));
        stats.model->fetchMore({});
        QVERIFY(stats.model->rowCount() > shown);
        WAIT_MEASURED(stats);
        QCOMPARE(cell(stats, 0, 4) + cell(stats, 1, 4) + cell(stats, 2, 4), "A.mp3b.mp3B2.mp3");
        clickHeading(stats, 4);
        QCOMPARE(stats.lblBusy->text(), QString("Sorting by TrackName, reversed..."));
        WAIT_MEASURED(stats);
        QCOMPARE(cell(stats, 0, 4), QString("track 999.mp3"));
        QSignalSpy shownRows(&stats, &Stats::rowsShown);
        stats.sortBy(4, Qt::AscendingOrder);
        stats.sortBy(8, Qt::DescendingOrder);
        WAIT_MEASURED(stats);
        QCOMPARE(cell(stats, 0, 0) + " " + cell(stats, 1, 0) + " " + cell(stats, 2, 0),
                 "3002 3003 1");
        QCOMPARE(shownRows.size(), 1);
        QTest::mouseClick(stats.optStats[1], Qt::LeftButton, {}, QPoint(8, 8));
        QCOMPARE(stats.grdStats->horizontalHeader()->sortIndicatorSection(), -1);
        QVERIFY(rig.prompts.asked.empty());

        // A sort given up stops with an error instead of running to its end.
        const CatalogEngine& engine = catalogengine::forLocation(rig.state.DBPath);
        const auto cursor = engine.reportCursor(
            rig.state.DBPath,
            statsreports::sortedStatement(statsreports::statement(1), {"DiskName", "TrackName"}, {},
                                          1, false, engine));
        cursor->cancel();
        QVERIFY_THROWS_EXCEPTION(CatalogError, cursor->fetch(3));
    }

    // Measured and sorted without its view's order, each report counts, measures and orders
    // its rows as its view does: with a track whose directory is gone (All Tracks alone lists
    // it), a disk without tracks, names that differ in case only, and empty texts.
    void reportsMeasureAndSortAsTheirViews() {
        ProgramRig rig;
        fill(rig, 3, 4);
        const QString path = rig.state.DBPath;
        {
            CatalogConnection c(path, "odd");
            catalogdb::run(c.db(), "INSERT INTO Disks VALUES (3, 'two', NULL)");
            catalogdb::run(c.db(), "INSERT INTO Tracks VALUES (5, 9, 2, NULL, 'Gone.mp3', "
                                   "'1:00:00', NULL, 'B')");
            catalogdb::run(c.db(), "INSERT INTO Tracks VALUES (6, 2, 2, 'T', 'TRACK 1.mp3', "
                                   "'00:00:07', 'A', '')");
        }
        const CatalogEngine& engine = catalogengine::forLocation(path);
        CatalogConnection c(path, "read");
        for (int report = 0; report < 4; ++report) {
            const QString view = statsreports::statement(report);
            const QString unordered = statsreports::unorderedStatement(report);
            const statsreports::Measurement was = statsreports::measure(path, view);
            const statsreports::Measurement is = statsreports::measure(path, unordered);
            QVERIFY2(is.error.isEmpty(), qPrintable(is.error));
            QCOMPARE(is.rows, was.rows);
            QCOMPARE(is.longest, was.longest);
            QCOMPARE(is.totalSeconds, was.totalSeconds);
            const auto cursor = engine.reportCursor(path, view);
            cursor->fetch(0);
            for (int column = 0; column < cursor->columns().size(); ++column)
                for (const bool descending : {false, true}) {
                    const auto sorted = [&](const QString& statement) {
                        return rows(c.db(), statsreports::sortedStatement(
                                                statement, cursor->columns(), cursor->numeric(),
                                                column, descending, engine));
                    };
                    QCOMPARE(sorted(unordered), sorted(view));
                }
        }
        QCOMPARE(statsreports::measure(path, statsreports::unorderedStatement(3)).rows, 6);
        QCOMPARE(statsreports::measure(path, statsreports::unorderedStatement(2)).rows, 5);
    }

    void escapeAndCtrlWClose() {
        ProgramRig rig;
        fill(rig, 1, 1);
        for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence("Ctrl+W")}) {
            QPointer<Stats> stats = new Stats(rig.state);
            stats->show();
            QVERIFY(QTest::qWaitForWindowActive(stats));
            QTest::keySequence(stats->grdStats, keys);
            QTRY_VERIFY(stats.isNull());
        }
    }

    // Its stored query gone, a report is told once, not by both its reading and its measure.
    void aReportThatCannotBeReadIsToldOnce() {
        ProgramRig rig;
        fill(rig, 1, 1);
        catalogdb::run(CatalogConnection(rig.state.DBPath, "drop").db(),
                       "DROP VIEW \"Tracks by Disk\"");
        Stats stats(rig.state);
        stats.showReport(1);
        WAIT_MEASURED(stats);
        QTRY_COMPARE(rig.prompts.texts().size(), 1);
    }
};

QTEST_MAIN(StatsTest)
#include "tst_stats.moc"
