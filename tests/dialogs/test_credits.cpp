// The credits window's fade and its wandering, and the translucency it rests on.
#include "frmcredits.h"
#include "layered.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTimer>
#include <QtTest>

namespace {

// A credits window whose timers do not run, so the test drives the ticks. `random` gives
// `values` in turn, then the last one for ever, and counts the draws.
struct StillCredits {
    QList<double> values;
    int draws = 0;
    std::unique_ptr<frmCredits> window;

    explicit StillCredits(QRect area, QList<double> script = {0.5}) : values(std::move(script)) {
        window = std::make_unique<frmCredits>(
            [area] { return area; },
            [this] { return values.at(qMin(draws++, int(values.size()) - 1)); });
        window->Timer1->stop();
        window->Timer2->stop();
    }
};

} // namespace

class CreditsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fadesUpToPeakAndBackInStepsOfTen() {
        StillCredits credits(QRect(0, 0, 800, 600));
        frmCredits* w = credits.window.get();
        QVERIFY(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(Layered::opacity(w), quint8(0)); // invisible when it opens
        QList<int> seen;
        for (int tick = 0; tick < 33; ++tick) {
            w->fadeTick();
            seen << w->alpha();
            QCOMPARE(Layered::opacity(w), w->alpha());
        }
        // Fifteen ticks up, one turning, fifteen down, one turning, and up again.
        QList<int> expected;
        for (int a = 10; a <= 150; a += 10)
            expected << a;
        expected << 150;
        for (int a = 140; a >= 0; a -= 10)
            expected << a;
        expected << 0 << 10;
        QCOMPARE(seen, expected);
    }

    void checkBoundaries_data() {
        QTest::addColumn<double>("top");
        QTest::addColumn<double>("left");
        QTest::addColumn<bool>("inside");
        // A 900 × 600 window in a 1000 × 800 container.
        QTest::newRow("bottom edge touches") << 100.0 << 0.0 << true;
        QTest::newRow("one twip lower") << 101.0 << 0.0 << false;
        QTest::newRow("right edge touches") << 0.0 << 200.0 << true;
        QTest::newRow("one twip further right") << 0.0 << 201.0 << false;
    }
    void checkBoundaries() {
        QFETCH(double, top);
        QFETCH(double, left);
        QFETCH(bool, inside);
        QCOMPARE(frmCredits::Check_Boundaries(top, left, 900, 600, 1000, 800), inside);
    }

    void everyMoveKeepsTheWholeWindowInsideTheArea() {
        const QRect area(300, 200, 600, 400);
        QRandomGenerator generator(7);
        frmCredits w([area] { return area; }, [&generator] { return generator.generateDouble(); });
        QSet<QPoint> places;
        for (int tick = 0; tick < 500; ++tick) {
            w.moveTick();
            QVERIFY(area.contains(w.frameGeometry()));
            places.insert(w.pos());
        }
        QVERIFY(places.size() > 100); // it really wanders
    }

    void drawsAgainUntilAPlaceFitsMeasuredFromTheAreaOrigin() {
        const QRect area(300, 200, 600, 400);
        StillCredits credits(area, {0.99, 0.99, 0.0, 0.0});
        credits.window->moveTick();
        QCOMPARE(credits.draws, 4);
        QCOMPARE(credits.window->pos(), area.topLeft());
    }

    void moveEndsAndStaysWhereNothingFits() {
        // Smaller than the window; no area at all (the player minimized); room enough, but
        // every draw lands too far.
        for (const auto& [area, draws] :
             {std::pair{QRect(0, 0, 100, 40), 0}, std::pair{QRect(), 0},
              std::pair{QRect(0, 0, 800, 600), 2 * frmCredits::MaxDraws}}) {
            StillCredits credits(area, {0.999});
            credits.window->move(50, 60);
            credits.window->moveTick();
            QCOMPARE(credits.window->pos(), QPoint(50, 60));
            QCOMPARE(credits.draws, draws);
        }
    }

    void plainWindowIsOpaqueAndTopmostSurvivesShowing() {
        QWidget window;
        Layered::SetTranslucent(&window, false, 40);
        QVERIFY(!Layered::isLayered(&window));
        QCOMPARE(Layered::opacity(&window), quint8(255));
        QCOMPARE(window.windowOpacity(), 1.0);

        // New window flags hide a window; the shown one must come back.
        window.show();
        Layered::SetTopmost(&window, true);
        QVERIFY(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(window.isVisible());
        Layered::SetTopmost(&window, false);
        QVERIFY(!window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(window.isVisible());
    }
};

QTEST_MAIN(CreditsTest)
#include "test_credits.moc"
