// The statistics window sorted by a click on a heading: on a worker thread, the grid saying
// so meanwhile, again reversed, and the last order asked for the one shown.

#include "catalogdb.h"
#include "programrig.h"
#include "reportcursor.h"
#include "stats.h"
#include "statscatalogue.h"
#include "statsgrid.h"
#include "statsreports.h"

#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

namespace {

constexpr int TrackName = 4; // of "All Tracks"
constexpr int Duration = 8;

void clickHeading(Stats& stats, int column) {
    QHeaderView* headings = stats.grdStats->horizontalHeader();
    const int x = headings->sectionViewportPosition(column) + headings->sectionSize(column) / 2;
    QTest::mouseClick(headings->viewport(), Qt::LeftButton, {}, QPoint(x, headings->height() / 2));
}

QStringList columnTexts(const Stats& stats, int column) {
    QStringList texts;
    for (int row = 0; row < stats.model->rowCount(); ++row)
        texts << stats.model->index(row, column).data().toString();
    return texts;
}

} // namespace

class StatsSortTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramRig> m_rig;

private Q_SLOTS:
    // Tracks whose names differ in case and whose durations tie.
    void init() {
        m_rig = std::make_unique<ProgramRig>();
        fillCatalogue(*m_rig, 1, 0);
        CatalogConnection c(m_rig->state.DBPath, "names");
        catalogdb::run(c.db(), "INSERT INTO Tracks (TrackID, DirID, DiskID, TrackName, Duration) "
                               "VALUES (1, 1, 1, 'b.mp3', '00:02:00'), "
                               "(2, 1, 1, 'A.mp3', '00:01:00'), (3, 1, 1, 'c.mp3', '00:02:00'), "
                               "(4, 1, 1, 'B2.mp3', '00:01:00'), "
                               "(5, 1, 1, '\u00e9t\u00e9 \"1\".mp3', '00:03:00')");
    }

    void clickingAHeadingSortsThenReverses() {
        Stats stats(m_rig->state);
        stats.show();
        stats.showReport(3);
        WAIT_SHOWN(stats);
        QSignalSpy shown(&stats, &Stats::rowsShown);

        clickHeading(stats, TrackName);
        // Sorting: the grid keeps its rows, disabled, and says what it does.
        QVERIFY(stats.isReading());
        QVERIFY(!stats.grdStats->isEnabled());
        QVERIFY(stats.lblBusy->isVisible());
        QCOMPARE(stats.lblBusy->text(), QString("Sorting by TrackName..."));
        QCOMPARE(columnTexts(stats, 0), QStringList({"1", "2", "3", "4", "5"}));
        QTRY_COMPARE(shown.size(), 1);
        QVERIFY(stats.grdStats->isEnabled() && !stats.lblBusy->isVisible());
        const QString ete = QString::fromUtf8("\u00e9t\u00e9 \"1\".mp3");
        QCOMPARE(columnTexts(stats, TrackName),
                 QStringList({"A.mp3", "b.mp3", "B2.mp3", "c.mp3", ete}));
        QCOMPARE(stats.grdStats->horizontalHeader()->sortIndicatorSection(), TrackName);

        clickHeading(stats, TrackName);
        QCOMPARE(stats.lblBusy->text(), QString("Sorting by TrackName, reversed..."));
        QTRY_COMPARE(shown.size(), 2);
        QCOMPARE(columnTexts(stats, TrackName),
                 QStringList({ete, "c.mp3", "B2.mp3", "b.mp3", "A.mp3"}));
        QCOMPARE(stats.recordCount(), 5);
        QVERIFY(m_rig->prompts.asked.empty());
    }

    // Rows with the same value keep the report's own order, whichever way the column runs.
    void tiesKeepTheReportsOrder() {
        Stats stats(m_rig->state);
        stats.showReport(3);
        WAIT_SHOWN(stats);
        stats.sortBy(Duration, Qt::AscendingOrder);
        WAIT_SHOWN(stats);
        QCOMPARE(columnTexts(stats, 0), QStringList({"2", "4", "1", "3", "5"}));
        stats.sortBy(Duration, Qt::DescendingOrder);
        WAIT_SHOWN(stats);
        QCOMPARE(columnTexts(stats, 0), QStringList({"5", "1", "3", "2", "4"}));
    }

    // A second click before the first sort is done: only the last order is shown.
    void theLastOrderAskedForWins() {
        Stats stats(m_rig->state);
        stats.show();
        stats.showReport(3);
        WAIT_SHOWN(stats);
        QSignalSpy shown(&stats, &Stats::rowsShown);
        clickHeading(stats, TrackName);
        stats.sortBy(Duration, Qt::DescendingOrder);
        QTRY_COMPARE(shown.size(), 1);
        QTest::qWait(100);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(columnTexts(stats, 0), QStringList({"5", "1", "3", "2", "4"}));
    }

    // The rows shown stay readable while the new order is sorted.
    void theGridReadsOnWhileItSorts() {
        CatalogConnection c(m_rig->state.DBPath, "many");
        catalogdb::run(c.db(), "WITH RECURSIVE n(i) AS (SELECT 6 UNION ALL SELECT i + 1 FROM n "
                               "WHERE i < 3000) INSERT INTO Tracks (TrackID, DirID, DiskID, "
                               "TrackName) SELECT i, 1, 1, 'track ' || i || '.mp3' FROM n");
        Stats stats(m_rig->state);
        stats.showReport(3);
        WAIT_SHOWN(stats);
        const int shown = stats.model->rowCount();
        stats.sortBy(TrackName, Qt::DescendingOrder);
        QVERIFY(stats.isReading());
        stats.model->fetchMore({});
        QVERIFY(stats.model->rowCount() > shown);
        WAIT_SHOWN(stats);
        QCOMPARE(stats.model->index(1, TrackName).data().toString(), QString("track 999.mp3"));
        QVERIFY(m_rig->prompts.asked.empty());
    }

    // Another report comes in its own order, without a sort mark.
    void anotherReportDropsTheOrder() {
        Stats stats(m_rig->state);
        stats.show();
        stats.showReport(3);
        WAIT_SHOWN(stats);
        clickHeading(stats, TrackName);
        WAIT_SHOWN(stats);
        QTest::mouseClick(stats.optStats[1], Qt::LeftButton, {}, QPoint(8, 8));
        WAIT_SHOWN(stats);
        QCOMPARE(stats.grdStats->horizontalHeader()->sortIndicatorSection(), -1);
        QCOMPARE(columnTexts(stats, 1),
                 QStringList({"A.mp3", "B2.mp3", "b.mp3", "c.mp3",
                              QString::fromUtf8("\u00e9t\u00e9 \"1\".mp3")}));
    }

    // The cursor reads a sorted report in batches; cancelled, it stops with an error instead
    // of sorting to the end.
    void aCancelledSortStops() {
        {
            CatalogConnection c(m_rig->state.DBPath, "many");
            catalogdb::run(c.db(), "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
                                   "FROM n WHERE i < 20000) INSERT INTO Tracks (DirID, DiskID, "
                                   "TrackName) SELECT 1, 1, 'track ' || i || '.mp3' FROM n");
        }
        const QString sorted =
            statsreports::sortedStatement(statsreports::statement(3),
                                          {"TrackID", "DiskName", "Drive", "DirName", "TrackName",
                                           "Title", "Artist", "Album", "Duration"},
                                          TrackName, true);
        ReportCursor whole(m_rig->state.DBPath, sorted);
        QCOMPARE(whole.fetch(1).at(0).at(TrackName), QString::fromUtf8("\u00e9t\u00e9 \"1\".mp3"));
        QCOMPARE(whole.columns().at(TrackName), QString("TrackName"));
        const std::vector<QStringList> next = whole.fetch(2);
        QCOMPARE(next.at(0).at(TrackName), QString("track 9999.mp3"));
        QCOMPARE(next.at(1).at(TrackName), QString("track 9998.mp3"));
        QVERIFY(!whole.atEnd());

        ReportCursor cancelled(m_rig->state.DBPath, sorted);
        cancelled.cancel();
        QVERIFY_THROWS_EXCEPTION(CatalogError, cancelled.fetch(3));
        QVERIFY(cancelled.atEnd());
    }
};

QTEST_MAIN(StatsSortTest)
#include "tst_statssort.moc"
