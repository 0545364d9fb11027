// The scan's progress: the arithmetic of counts, rate and time left, and the bar in the
// cataloguing window's status bar against the rows a real scan stores.

#include "catalogdb.h"
#include "cataloger.h"
#include "directorylist.h"
#include "mp3fixture.h"
#include "programrig.h"
#include "runtestclasses.h"
#include "scanprogress.h"
#include "statuspanels.h"

#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QtTest>

class ProgressFigures : public QObject {
    Q_OBJECT
private slots:
    void rateAndTimeLeftOnceSteady() {
        ScanProgress progress;
        progress.update(0, 0, 0);          // the listing took a while: not part of the rate
        progress.update(100, 5000, 10000); // rows stored before the first report do not count
        progress.update(150, 5000, 11999);
        QVERIFY(!progress.steady());
        QCOMPARE(progress.rateText(), QString());
        progress.update(300, 5000, 12000); // 200 files in 2 s
        QVERIFY(progress.steady());
        QCOMPARE(progress.countText(), QString("300 of 5000 files (6%)"));
        QCOMPARE(progress.filesPerSecond(), 100.0);
        QCOMPARE(progress.secondsLeft(), qint64(47));
        QCOMPARE(progress.rateText(), QString("100 files/s, 0:47 left"));
        progress.update(301, 5000, 10000 + 2 * 3600 * 1000); // 201 files in two hours
        QCOMPARE(progress.rateText(), QString("0 files/s, 46:45:23 left"));
    }
};

class ProgressBar : public QObject {
    Q_OBJECT
    static qint64 storedTracks(const QString& db) {
        CatalogConnection c(db, "count");
        QSqlQuery q = catalogdb::run(c.db(), "SELECT COUNT(*) FROM Tracks");
        return q.next() ? q.value(0).toLongLong() : -1;
    }

private slots:
    // Every value the bar shows is the number of rows already stored, of every file listed;
    // the window shows the steps no more often than it is told to.
    void barCountsTheFilesStored_data() {
        QTest::addColumn<int>("everyMs");
        QTest::newRow("every step") << 0;
        QTest::newRow("25 a second") << 40;
    }
    void barCountsTheFilesStored() {
        QFETCH(int, everyMs);
        ProgramRig rig;
        const QString db = rig.path("catalog.mdb");
        QVERIFY(catalogdb::prepare(db).ok);
        catalogdb::run(CatalogConnection(db, "seed").db(),
                       "INSERT INTO Disks (DiskName, Drive) VALUES ('Big', '/')");
        rig.state.DBPath = db;
        rig.state.CdDrive = "/";
        QDir disk(rig.path("disk"));
        fixture::Mp3Params song;
        for (int d = 0; d < 4; ++d)
            for (int f = 0; f < 70; ++f)
                QVERIFY(disk.mkpath(QString::number(d)) &&
                        fixture::writeMp3(disk.filePath(QString("%1/%2.mp3").arg(d).arg(f)), song));

        Cataloger w(rig.state);
        w.scanEventsEveryMs = everyMs;
        w.show();
        if (!QTest::qWaitForWindowExposed(&w))
            qWarning("window not exposed");
        w.DBGrid1->setCurrentIndex(w.DBGrid1->model()->index(0, 1));
        QVERIFY(w.Dir1->setPath(disk.path()));
        QList<std::pair<int, qint64>> seen; // bar value, rows stored then
        bool besideCancel = false;
        connect(w.scanProgress, &QProgressBar::valueChanged, &w, [&](int value) {
            seen.append({value, storedTracks(db)});
            QCOMPARE(w.scanProgress->maximum(), 280);
            besideCancel = w.scanProgress->isVisible() && w.cancelButton->isVisible() &&
                           w.scanProgress->geometry().right() < w.cancelButton->geometry().left();
        });
        QElapsedTimer scan;
        scan.start();
        w.mnuCatalog->trigger();

        if (everyMs == 0) {
            QVERIFY(seen.size() >= 4); // each directory and every 64 files
            QVERIFY(seen.last().first > 200);
            QVERIFY(besideCancel);
        } else {
            QVERIFY2(seen.size() <= scan.elapsed() / everyMs + 1,
                     qPrintable(QString::number(seen.size())));
        }
        for (const auto& [value, stored] : seen)
            QCOMPARE(qint64(value), stored);
        QVERIFY(!w.scanProgress->isVisible()); // gone with the scan; the summary stays
        QCOMPARE(w.StatusBar1->panelText(1), QString("Catalogued 280 files in 4 directories."));
        rig.state.QuitOnClose = false;
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ProgressFigures figures;
    ProgressBar bar;
    return runTestClasses(argc, argv, {&figures, &bar});
}

#include "test_scanprogress.moc"
