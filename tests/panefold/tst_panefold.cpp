// Splitter geometry against plain recording controls: no widgets, no Qt beyond Qt Test.

#include "panefold.h"

#include <QTest>

#include <cmath>
#include <memory>
#include <type_traits>

using namespace panefold;

namespace {

struct FakeHost : Host {
    double w = 0, h = 0;
    std::int16_t pointer = -1;
    bool refusesPointer = false;

    FakeHost(double w, double h) : w(w), h(h) {}
    double scaleWidth() const override { return w; }
    double scaleHeight() const override { return h; }
    bool setMousePointer(std::int16_t code) override {
        if (refusesPointer)
            return false;
        pointer = code;
        return true;
    }
};

struct Rect {
    double left = 0, top = 0, width = 0, height = 0;
    bool operator==(const Rect&) const = default;
};

char* toString(const Rect& r) {
    return QTest::toString(QStringLiteral("(left %1, top %2, width %3, height %4)")
                               .arg(r.left)
                               .arg(r.top)
                               .arg(r.width)
                               .arg(r.height));
}

// Where every fake control starts, so an untouched one is easy to spot.
constexpr Rect Untouched{11, 22, 33, 44};

// Refuses a negative size, as a window does. With a grid it keeps each value rounded to that
// grid, as a widget keeps whole pixels.
struct FakeControl : Control {
    Rect r = Untouched;
    double grid = 0;

    double snap(double v) const { return grid > 0 ? std::round(v / grid) * grid : v; }
    double left() const override { return r.left; }
    double top() const override { return r.top; }
    double width() const override { return r.width; }
    double height() const override { return r.height; }
    bool setLeft(double v) override { return r.left = snap(v), true; }
    bool setTop(double v) override { return r.top = snap(v), true; }
    bool setWidth(double v) override { return v >= 0 && (r.width = snap(v), true); }
    bool setHeight(double v) override { return v >= 0 && (r.height = snap(v), true); }
};

// A splitter with all four members set; first/second are top/bottom or left/right.
template <class Split> struct Rig {
    Split split;
    std::shared_ptr<FakeHost> host;
    std::shared_ptr<FakeControl> bar = std::make_shared<FakeControl>();
    std::shared_ptr<FakeControl> first = std::make_shared<FakeControl>();
    std::shared_ptr<FakeControl> second = std::make_shared<FakeControl>();

    Rig(double w, double h, Rect barRect) : host(std::make_shared<FakeHost>(w, h)) {
        bar->r = barRect;
        split.setHostPane(host);
        split.setSplitBar(bar);
        if constexpr (std::is_same_v<Split, HSplit>) {
            split.setTopPane(first);
            split.setBottomPane(second);
        } else {
            split.setLeftPane(first);
            split.setRightPane(second);
        }
    }
};

} // namespace

Q_DECLARE_METATYPE(Rect)

class TestPanefold : public QObject {
    Q_OBJECT

private slots:
    void vsplitLayout_data();
    void vsplitLayout();
    void hsplitLayout_data();
    void hsplitLayout();
    void defaultTwipsKeepsTheBar();
    void stepsSeeWhatTheControlsTook();
    void missingMembersStopTheLayout();
    void crossOrientationNamesStoreNothing();
    void setPointerPassesHostFailureOn();

private:
    static void addLayoutColumns() {
        QTest::addColumn<double>("twips");
        QTest::addColumn<Rect>("bar");
        QTest::addColumn<Rect>("first");
        QTest::addColumn<Rect>("second");
    }
    template <class Split> static void checkLayout(Rig<Split>& rig) {
        QFETCH(double, twips);
        QFETCH(Rect, bar);
        QFETCH(Rect, first);
        QFETCH(Rect, second);
        rig.split.ResizePanes(twips);
        QCOMPARE(rig.bar->r, bar);
        QCOMPARE(rig.first->r, first);
        QCOMPARE(rig.second->r, second);
    }
};

void TestPanefold::vsplitLayout_data() {
    addLayoutColumns();
    // Host 6000 x 3000, bar at left 2000. Past an edge a pane refuses its negative width:
    // the layout stops there, the refused width and everything after it stay as they were.
    QTest::newRow("right 500") << 500.0 << Rect{2500, 0, 30, 3000} << Rect{0, 0, 2500, 3000}
                               << Rect{2530, 0, 3470, 3000};
    QTest::newRow("left 1250") << -1250.0 << Rect{750, 0, 30, 3000} << Rect{0, 0, 750, 3000}
                               << Rect{780, 0, 5220, 3000};
    QTest::newRow("past left edge")
        << -2500.0 << Rect{-500, 0, 30, 3000} << Rect{0, 0, 33, 3000} << Untouched;
    QTest::newRow("past right edge")
        << 4500.0 << Rect{6500, 0, 30, 3000} << Rect{0, 0, 6500, 3000} << Rect{6530, 0, 33, 3000};
}

void TestPanefold::vsplitLayout() {
    Rig<VSplit> rig(6000, 3000, {2000, 90, 120, 100});
    checkLayout(rig);
}

void TestPanefold::hsplitLayout_data() {
    addLayoutColumns();
    // Host 5000 x 4000, bar at top 1000.
    QTest::newRow("in place") << 0.0 << Rect{0, 1000, 5000, 30} << Rect{0, 0, 5000, 1000}
                              << Rect{0, 1030, 5000, 2970};
    QTest::newRow("down 250") << 250.0 << Rect{0, 1250, 5000, 30} << Rect{0, 0, 5000, 1250}
                              << Rect{0, 1280, 5000, 2720};
    QTest::newRow("past bottom edge")
        << 3100.0 << Rect{0, 4100, 5000, 30} << Rect{0, 0, 5000, 4100} << Rect{0, 4130, 5000, 44};
    QTest::newRow("past top edge")
        << -1200.0 << Rect{0, -200, 5000, 30} << Rect{0, 0, 5000, 44} << Untouched;
}

void TestPanefold::hsplitLayout() {
    Rig<HSplit> rig(5000, 4000, {70, 1000, 80, 90});
    checkLayout(rig);
}

void TestPanefold::defaultTwipsKeepsTheBar() {
    Rig<VSplit> rig(6000, 3000, {2000, 90, 120, 100});
    rig.split.ResizePanes();
    const Rect bar = rig.bar->r, left = rig.first->r, right = rig.second->r;
    QCOMPARE(bar, (Rect{2000, 0, 30, 3000}));
    QCOMPARE(right, (Rect{2030, 0, 3970, 3000}));
    rig.split.ResizePanes(); // a second pass changes nothing
    QCOMPARE(rig.bar->r, bar);
    QCOMPARE(rig.first->r, left);
    QCOMPARE(rig.second->r, right);
}

void TestPanefold::stepsSeeWhatTheControlsTook() {
    // The bar keeps whole pixels (12 twips at 120 dpi, so 30 becomes 36), the left pane rounds
    // to 100: each pane must be placed from what the controls hold, not from what they were given.
    Rig<VSplit> rig(6000, 3000, {2000, 0, 30, 3000});
    rig.bar->grid = 12;
    rig.first->grid = 100;
    rig.split.ResizePanes(7);
    QCOMPARE(rig.bar->r, (Rect{2004, 0, 36, 3000}));
    QCOMPARE(rig.first->r.width, 2000.0);
    QCOMPARE(rig.second->r, (Rect{2040, 0, 3964, 3000}));
}

void TestPanefold::missingMembersStopTheLayout() {
    HSplit emptyH;
    VSplit emptyV;
    emptyH.ResizePanes(100);
    emptyV.ResizePanes(100);
    QCOMPARE(emptyV.SetPointer(PointerSizeWE), false);

    // No host: the bar moves (it needs no host for that), then the layout stops.
    Rig<VSplit> noHost(6000, 3000, {2000, 90, 120, 100});
    noHost.split.setHostPane(nullptr);
    noHost.split.ResizePanes(500);
    QCOMPARE(noHost.bar->r, (Rect{2500, 0, 120, 100}));
    QCOMPARE(noHost.first->r, Untouched);
    QCOMPARE(noHost.second->r, Untouched);

    // No bottom pane: bar and top pane are laid out.
    Rig<HSplit> noBottom(5000, 4000, {0, 1000, 5000, 30});
    noBottom.split.setBottomPane(nullptr);
    noBottom.split.ResizePanes(0);
    QCOMPARE(noBottom.first->r, (Rect{0, 0, 5000, 1000}));
    QCOMPARE(noBottom.second->r, Untouched);
}

void TestPanefold::crossOrientationNamesStoreNothing() {
    auto pane = std::make_shared<FakeControl>();
    HSplit h;
    h.setLeftPane(pane);
    h.setRightPane(pane);
    QVERIFY(!h.LeftPane() && !h.RightPane() && !h.TopPane() && !h.BottomPane());
    VSplit v;
    v.setTopPane(pane);
    v.setBottomPane(pane);
    QVERIFY(!v.TopPane() && !v.BottomPane() && !v.LeftPane() && !v.RightPane());
    QCOMPARE(pane.use_count(), 1); // nothing held on to it

    // The real names share the caller's object.
    h.setTopPane(pane);
    QCOMPARE(h.TopPane().get(), pane.get());
    QVERIFY(!h.SplitOn() && !v.SplitOn());
}

void TestPanefold::setPointerPassesHostFailureOn() {
    auto host = std::make_shared<FakeHost>(100, 100);
    HSplit h;
    VSplit v;
    h.setHostPane(host);
    v.setHostPane(host);
    QVERIFY(h.SetPointer(PointerSizeNS));
    QCOMPARE(host->pointer, 7);
    QVERIFY(v.SetPointer(PointerSizeWE));
    QCOMPARE(host->pointer, 9);
    host->refusesPointer = true;
    QVERIFY(!h.SetPointer(PointerDefault));
    QVERIFY(!v.SetPointer(PointerDefault));
    QCOMPARE(host->pointer, 9);
}

QTEST_APPLESS_MAIN(TestPanefold)
#include "tst_panefold.moc"
