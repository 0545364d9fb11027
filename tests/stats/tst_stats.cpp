// The statistics window: its four reports, the row count and the column widths.

#include "catalogdb.h"
#include "programrig.h"
#include "stats.h"
#include "statsgrid.h"
#include "statuspanels.h"
#include "twips.h"

#include <QHeaderView>
#include <QRadioButton>
#include <QTableView>
#include <QtTest>

// The row count and the widths arrive once the report is measured.
#define WAIT_MEASURED(stats) QTRY_VERIFY(!(stats).StatusBar1->panelText(1).contains("counting"))

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
        QVERIFY(stats.model->rowCount() > 0);
        WAIT_MEASURED(stats);
        QCOMPARE(stats.recordCount(), 3000);
        QCOMPARE(stats.StatusBar1->panelText(1), QString("# of Records: 3000"));
        QVERIFY(stats.model->rowCount() < 3000);
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
};

QTEST_MAIN(StatsTest)
#include "tst_stats.moc"
