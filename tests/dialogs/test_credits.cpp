// The credits window's fade, its wandering and the translucency it rests on.
#include "frmcredits.h"
#include "layered.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTimer>
#include <QtTest>

#include <deque>

namespace {

// Random numbers from a script; once it runs out, the last one again. Counts the draws.
struct ScriptedRandom {
    std::deque<double> values;
    int draws = 0;

    frmCredits::RandomSource source() {
        return [this] {
            ++draws;
            const double value = values.front();
            if (values.size() > 1)
                values.pop_front();
            return value;
        };
    }
};

// A credits window whose timers do not run: the test drives the ticks.
std::unique_ptr<frmCredits> stillCredits(QRect area, frmCredits::RandomSource random) {
    auto credits = std::make_unique<frmCredits>([area] { return area; }, std::move(random));
    credits->Timer1->stop();
    credits->Timer2->stop();
    return credits;
}

} // namespace

class CreditsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void opensInvisibleOnTopWithBothTimers() {
        frmCredits credits([] { return QRect(0, 0, 800, 600); });
        QCOMPARE(credits.alpha(), quint8(0));
        QVERIFY(Layered::isLayered(&credits));
        QCOMPARE(Layered::opacity(&credits), quint8(0));
        QVERIFY(credits.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(credits.Timer1->isActive());
        QCOMPARE(credits.Timer1->interval(), 250);
        QVERIFY(credits.Timer2->isActive());
        QCOMPARE(credits.Timer2->interval(), 5000);
    }

    void fadesUpToPeakAndBackInStepsOfTen() {
        auto credits = stillCredits(QRect(0, 0, 800, 600), {});
        QList<int> seen;
        for (int tick = 0; tick < 33; ++tick) {
            credits->fadeTick();
            seen << credits->alpha();
            QCOMPARE(Layered::opacity(credits.get()), credits->alpha());
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
        QCOMPARE(seen.at(14), 150);
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
        QTest::newRow("both edges touch") << 100.0 << 200.0 << true;
        QTest::newRow("origin") << 0.0 << 0.0 << true;
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
        auto credits = stillCredits(area, [&generator] { return generator.generateDouble(); });
        QSet<QPoint> places;
        for (int tick = 0; tick < 500; ++tick) {
            credits->moveTick();
            const QRect placed = credits->frameGeometry();
            QVERIFY2(area.contains(placed), qPrintable(QString("%1,%2 %3x%4")
                                                           .arg(placed.x())
                                                           .arg(placed.y())
                                                           .arg(placed.width())
                                                           .arg(placed.height())));
            places.insert(placed.topLeft());
        }
        QVERIFY(places.size() > 100); // it really wanders
    }

    void drawsAgainUntilAPlaceFitsMeasuredFromTheAreaOrigin() {
        const QRect area(300, 200, 600, 400);
        ScriptedRandom random{{0.99, 0.99, 0.0, 0.0}};
        auto credits = stillCredits(area, random.source());
        credits->moveTick();
        QCOMPARE(random.draws, 4);
        QCOMPARE(credits->frameGeometry().topLeft(), area.topLeft());
    }

    void moveEndsWhereNothingFits() {
        // The area is smaller than the window: no draw can pass.
        ScriptedRandom random{{0.0}};
        auto credits = stillCredits(QRect(0, 0, 100, 40), random.source());
        credits->move(50, 60);
        credits->moveTick();
        QCOMPARE(credits->pos(), QPoint(50, 60));
        QCOMPARE(random.draws, 0);

        // No area at all, as while the player window is minimized.
        auto nowhere = stillCredits(QRect(), random.source());
        nowhere->move(50, 60);
        nowhere->moveTick();
        QCOMPARE(nowhere->pos(), QPoint(50, 60));

        // Room enough, but every draw lands too far: the search still ends.
        ScriptedRandom unlucky{{0.999}};
        auto stuck = stillCredits(QRect(0, 0, 800, 600), unlucky.source());
        stuck->move(50, 60);
        stuck->moveTick();
        QCOMPARE(stuck->pos(), QPoint(50, 60));
        QCOMPARE(unlucky.draws, 2 * frmCredits::MaxDraws);
    }

    void translucencyIsKeptWhereTheWindowSystemCannotShowIt() {
        QWidget window;
        Layered::SetTranslucent(&window, true, 150);
        QVERIFY(Layered::isLayered(&window));
        QCOMPARE(Layered::opacity(&window), quint8(150));
        QVERIFY(qAbs(window.windowOpacity() - 150 / 255.0) <= 1 / 255.0);
        // Plain again: opaque, whatever opacity comes with it.
        Layered::SetTranslucent(&window, false, 40);
        QVERIFY(!Layered::isLayered(&window));
        QCOMPARE(Layered::opacity(&window), quint8(255));
        QCOMPARE(window.windowOpacity(), 1.0);
    }

    void topmostSurvivesOnAShownWindow() {
        QWidget window;
        window.show();
        QVERIFY(Layered::SetTopmost(&window, true) != 0);
        QVERIFY(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(window.isVisible());
        QCOMPARE(Layered::SetTopmost(&window, false), 0);
        QVERIFY(!window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(window.isVisible());
    }
};

QTEST_MAIN(CreditsTest)
#include "test_credits.moc"
