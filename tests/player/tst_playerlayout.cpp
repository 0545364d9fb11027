// The player window's placement, its settings and the three split bars, on real widgets.

#include "paneadapters.h"
#include "playerrig.h"
#include "runtestclasses.h"
#include "twips.h"

#include <QGroupBox>
#include <QListView>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

namespace {

// Logical geometry in twips, as the splitters see it.
WidgetControl geometry(QWidget* widget) {
    if (auto* bar = qobject_cast<SplitBarWidget*>(widget))
        return WidgetControl(bar, bar->reach());
    return WidgetControl(widget);
}

double onePixel(QWidget* widget) {
    return pixelsToTwips(1, widget);
}

// The panes on both sides of each bar touch it, and the lower half fits above the player.
void verifyPanesAroundBars(TreePlayer* w) {
    const double bar = panefold::BarThickness;
    const WidgetControl main = geometry(w->picRight), lists = geometry(w->picSplitter),
                        leftBar = geometry(w->picLeftSplit);
    QCOMPARE(geometry(w->picLeft).width(), main.left());
    QCOMPARE(geometry(w->lstSongs).left(), main.left() + bar);
    QCOMPARE(geometry(w->lstSongs).height(), pixelsToTwips(w->centralWidget()->height(), w));
    QCOMPARE(geometry(w->frmSearch).height(), leftBar.top());
    QCOMPARE(geometry(w->picFrame).top(), leftBar.top() + bar);
    QCOMPARE(geometry(w->trDirs).width(), lists.left());
    QCOMPARE(geometry(w->lstFiles).left(), lists.left() + bar);
    if (geometry(w->picFrame).width() >= bar) // else the track list has no room to take
        QCOMPARE(geometry(w->lstFiles).left() + geometry(w->lstFiles).width(),
                 geometry(w->picFrame).width());
    QCOMPARE(w->MediaPlayer1->geometry().bottom() + 1, w->centralWidget()->height());
    QCOMPARE(w->MediaPlayer1->width(), w->picLeft->width());
    QCOMPARE(w->picLeft->height(), w->MediaPlayer1->y());
}

// Each bar lies wholly inside the pane that holds it, where the pointer can reach it.
void verifyBarsReachable(TreePlayer* w) {
    for (SplitBarWidget* bar : {w->picRight, w->picSplitter, w->picLeftSplit}) {
        const QRect logical = bar->geometry().marginsRemoved(bar->reach());
        const QSize room = bar->parentWidget()->size();
        if (room.width() < logical.width() || room.height() < logical.height())
            continue; // its pane is closed: the bar shows again when the pane opens
        QVERIFY2(bar->parentWidget()->rect().contains(logical),
                 qPrintable(bar->objectName() + QString(" at %1,%2 in %3x%4")
                                                    .arg(logical.x())
                                                    .arg(logical.y())
                                                    .arg(bar->parentWidget()->width())
                                                    .arg(bar->parentWidget()->height())));
    }
}

} // namespace

class Placement : public QObject {
    Q_OBJECT
private slots:
    void firstStartUsesTheDefaults() {
        PlayerRig rig;
        TreePlayer* w = rig.open();
        const QRect screen = w->screen()->geometry();
        QCOMPARE(w->pos(), QPoint(0, 0));
        QCOMPARE(w->size(), QSize(screen.width() / 2, screen.height() / 2));
        QVERIFY(rig.state.QuitOnClose);

        const double innerWidth = pixelsToTwips(w->centralWidget()->width(), w);
        const double mainBar = geometry(w->picRight).left();
        QVERIFY(qAbs(mainBar - innerWidth / 2) <= onePixel(w));
        QVERIFY(qAbs(geometry(w->picSplitter).left() - mainBar / 2) <= onePixel(w));
        QCOMPARE(geometry(w->picLeftSplit).top(), 3000.0);
        verifyPanesAroundBars(w);
        QVERIFY(rig.prompts.asked.empty()); // the player window asks nothing yet
    }

    void settingsRoundTrip() {
        PlayerRig rig;
        const QList<std::pair<QString, QString>> saved = {
            {"Top", "600"},  {"Left", "900"}, {"Width", "9000"}, {"Height", "6750"},
            {"One", "4500"}, {"Two", "1800"}, {"Three", "1500"}};
        for (const auto& [key, value] : saved)
            rig.settings.set(key, value);
        TreePlayer* w = rig.openShown();
        QCOMPARE(geometry(w).top(), 600.0);
        QCOMPARE(geometry(w).left(), 900.0);
        QCOMPARE(geometry(w).width(), 9000.0);
        QCOMPARE(geometry(w).height(), 6750.0);
        QCOMPARE(geometry(w->picRight).left(), 4500.0);
        QCOMPARE(geometry(w->picSplitter).left(), 1800.0);
        QCOMPARE(geometry(w->picLeftSplit).top(), 1500.0);
        verifyPanesAroundBars(w);

        // What the person changed is what the next start finds.
        geometry(w->picRight).setLeft(3600);
        w->close();
        QCOMPARE(rig.settings.get("One"), QString("3600"));
        for (const auto& [key, value] : saved)
            if (key != "One")
                QCOMPARE(rig.settings.get(key), value);
        QCOMPARE(rig.ends, 1); // closing the player ends the program
    }

    void switchingAwayDoesNotEndTheProgram() {
        PlayerRig rig;
        TreePlayer* w = rig.openShown();
        rig.state.QuitOnClose = false; // what the switch to the cataloguing window does
        w->close();
        QCOMPARE(rig.ends, 0);
        QVERIFY(!rig.settings.get("Width").isEmpty());
    }

    void restoredWindowLiesOnAScreenAndFitsIt_data() {
        QTest::addColumn<QString>("top");
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("size");
        QTest::newRow("far off") << "300000"
                                 << "300000"
                                 << "9000";
        QTest::newRow("huge") << "0"
                              << "0"
                              << "2000000";
        QTest::newRow("above and left") << "-90000"
                                        << "-90000"
                                        << "9000";
        QTest::newRow("past the 64-bit twips") << "1e300"
                                               << "-1e300"
                                               << "1e300";
    }
    void restoredWindowLiesOnAScreenAndFitsIt() {
        QFETCH(QString, top);
        QFETCH(QString, left);
        QFETCH(QString, size);
        PlayerRig rig;
        for (const auto& [key, value] :
             {std::pair{"Top", top}, {"Left", left}, {"Width", size}, {"Height", size}})
            rig.settings.set(key, value);
        TreePlayer* w = rig.open();
        const QRect screen = w->screen()->availableGeometry();
        QVERIFY2(
            screen.contains(QRect(w->pos(), w->size())),
            qPrintable(
                QString("%1,%2 %3x%4").arg(w->x()).arg(w->y()).arg(w->width()).arg(w->height())));
        verifyPanesAroundBars(w);
    }

    void restoredBarsCanBeGrabbed_data() {
        QTest::addColumn<QString>("one");
        QTest::addColumn<QString>("two");
        QTest::addColumn<QString>("three");
        QTest::newRow("left of the edges") << "-600"
                                           << "-600"
                                           << "-600";
        QTest::newRow("past the far edges") << "999999"
                                            << "999999"
                                            << "999999";
        QTest::newRow("past 32 bits") << "-32212254720"
                                      << "-32212254720"
                                      << "32212254720";
    }
    void restoredBarsCanBeGrabbed() {
        QFETCH(QString, one);
        QFETCH(QString, two);
        QFETCH(QString, three);
        PlayerRig rig;
        rig.settings.set("One", one);
        rig.settings.set("Two", two);
        rig.settings.set("Three", three);
        TreePlayer* w = rig.openShown();
        verifyBarsReachable(w);
        verifyPanesAroundBars(w);
        w->close();
        QVERIFY(rig.settings.get("One").toDouble() >= 0);
        QVERIFY(rig.settings.get("Three").toDouble() >= 0);
    }

    void unreadableSettingIsIgnoredForItsPropertyOnly() {
        PlayerRig rig;
        rig.settings.set("Width", "wide");
        rig.settings.set("Height", "-300"); // a window refuses a negative size
        rig.settings.set("Top", " 150 ");
        rig.settings.set("One", "4500");
        rig.settings.set("Two", "x");
        rig.settings.set("Three", "1,500");
        TreePlayer* w = rig.open();
        QCOMPARE(geometry(w).width(), 9600.0); // as designed
        QCOMPARE(geometry(w).height(), 7200.0);
        QCOMPARE(geometry(w).top(), 150.0);
        QCOMPARE(geometry(w->picRight).left(), 4500.0);
        QCOMPARE(geometry(w->picSplitter).left(), 2400.0);
        QCOMPARE(geometry(w->picLeftSplit).top(), 3000.0);
        QVERIFY(rig.prompts.asked.empty()); // the player window asks nothing yet
    }
};

class SplitBars : public QObject {
    Q_OBJECT

    // A point of `widget` in the window's coordinates.
    static QPoint inWindow(TreePlayer* w, QWidget* widget, QPoint at) {
        return widget->mapTo(w, at);
    }

private slots:
    void dragMovesTheBarAndLaysOutThePanes_data() {
        QTest::addColumn<QString>("bar");
        QTest::addColumn<int>("delta");
        QTest::newRow("main bar left") << "picRight" << -90;
        QTest::newRow("main bar right") << "picRight" << 70;
        QTest::newRow("tree bar") << "picSplitter" << 45;
        QTest::newRow("search bar down") << "picLeftSplit" << 60;
        QTest::newRow("search bar up") << "picLeftSplit" << -80;
    }
    void dragMovesTheBarAndLaysOutThePanes() {
        QFETCH(QString, bar);
        QFETCH(int, delta);
        PlayerRig rig;
        TreePlayer* w = rig.openShown();
        auto* barWidget = w->findChild<SplitBarWidget*>(bar);
        QVERIFY(barWidget);
        const bool across = barWidget->orientation() == Qt::Vertical;
        auto pointer = [&] {
            return bar == "picRight"      ? w->mainPointer()
                   : bar == "picSplitter" ? w->listsPointer()
                                          : w->leftPointer();
        };
        const std::int16_t sizing = across ? panefold::PointerSizeWE : panefold::PointerSizeNS;
        const double before = across ? geometry(barWidget).left() : geometry(barWidget).top();

        QWindow* window = w->windowHandle();
        const QPoint grab = inWindow(w, barWidget, barWidget->rect().center());
        const QPoint target = grab + (across ? QPoint(delta, 0) : QPoint(0, delta));
        QTest::mousePress(window, Qt::LeftButton, {}, grab);
        QCOMPARE(pointer(), sizing);
        // Well off the bar: the drag keeps the bar.
        QTest::mouseMove(window, target);
        const double moved = across ? geometry(barWidget).left() : geometry(barWidget).top();
        const QPoint edge = barWidget->parentWidget()->mapFrom(w, target);
        QCOMPARE(moved, pixelsToTwips(across ? edge.x() : edge.y(), w));
        QVERIFY(qAbs(moved - before - pixelsToTwips(delta, w)) <= onePixel(w));
        verifyPanesAroundBars(w);

        QTest::mouseRelease(window, Qt::LeftButton, {}, target);
        QCOMPARE(across ? geometry(barWidget).left() : geometry(barWidget).top(), moved);
        QCOMPARE(pointer(), panefold::PointerDefault);
        verifyPanesAroundBars(w);

        // Without a button the bar only sets the pointer.
        const QPoint step = across ? QPoint(1, 0) : QPoint(0, 1);
        QTest::mouseMove(window, target + step);
        QCOMPARE(pointer(), sizing);
        QTest::mouseMove(window, target + 2 * step);
        QCOMPARE(across ? geometry(barWidget).left() : geometry(barWidget).top(), moved);
    }

    void releaseAppliesItsOffsetAndAlwaysLaysOut() {
        PlayerRig rig;
        TreePlayer* w = rig.openShown();
        SplitBarWidget* bar = w->picSplitter;
        const double before = geometry(bar).left();
        const QPoint core = bar->rect().center();
        QTest::mousePress(bar, Qt::RightButton, {}, core); // any button drags
        QVERIFY(w->splitLists.SplitOn());
        QTest::mouseRelease(bar, Qt::RightButton, {}, core + QPoint(5, 0));
        QVERIFY(!w->splitLists.SplitOn());
        const double after = geometry(bar).left();
        QCOMPARE(after, before + pixelsToTwips(core.x() + 5 - bar->reach().left(), w));
        verifyPanesAroundBars(w);

        // A release over the bar without a drag moves nothing but still lays the panes out.
        // The window system drops a release of a button that is not down, so it is sent as is.
        w->trDirs->resize(10, 10);
        const QPointF at = core + QPoint(1, 0);
        QMouseEvent release(QEvent::MouseButtonRelease, at, bar->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(bar, &release);
        QCOMPARE(geometry(bar).left(), after);
        verifyPanesAroundBars(w);
    }

    void panesGiveThePointerBack() {
        PlayerRig rig;
        TreePlayer* w = rig.openShown();
        QWindow* window = w->windowHandle();
        QTest::mouseMove(window, inWindow(w, w->picRight, w->picRight->rect().center()));
        QCOMPARE(w->mainPointer(), panefold::PointerSizeWE);
        QTest::mouseMove(window, inWindow(w, w->lstSongs, w->lstSongs->rect().center()));
        QCOMPARE(w->mainPointer(), panefold::PointerDefault);

        QTest::mouseMove(window, inWindow(w, w->picLeftSplit, w->picLeftSplit->rect().center()));
        QCOMPARE(w->leftPointer(), panefold::PointerSizeNS);
        QTest::mouseMove(window, inWindow(w, w->frmSearch, QPoint(4, 4)));
        QCOMPARE(w->leftPointer(), panefold::PointerDefault);
    }

    void barsDraggedPastTheEdgesCanStillBeGrabbed_data() {
        QTest::addColumn<QString>("bar");
        QTest::addColumn<int>("delta");
        QTest::newRow("main bar far left") << "picRight" << -3000;
        QTest::newRow("main bar far right") << "picRight" << 3000;
        QTest::newRow("tree bar far left") << "picSplitter" << -3000;
        QTest::newRow("search bar far up") << "picLeftSplit" << -3000;
        QTest::newRow("search bar far down") << "picLeftSplit" << 3000;
    }
    void barsDraggedPastTheEdgesCanStillBeGrabbed() {
        QFETCH(QString, bar);
        QFETCH(int, delta);
        PlayerRig rig;
        TreePlayer* w = rig.openShown();
        auto* barWidget = w->findChild<SplitBarWidget*>(bar);
        const bool across = barWidget->orientation() == Qt::Vertical;
        const QPoint grab = barWidget->rect().center();
        const QPoint target = grab + (across ? QPoint(delta, 0) : QPoint(0, delta));
        QTest::mousePress(barWidget, Qt::LeftButton, {}, grab);
        QTest::mouseMove(barWidget, target);
        verifyBarsReachable(w);
        QTest::mouseRelease(barWidget, Qt::LeftButton, {}, target);
        verifyBarsReachable(w);
        verifyPanesAroundBars(w);

        // Grabbed again where it now is, it follows the pointer back.
        QWindow* window = w->windowHandle();
        const QPoint again = inWindow(w, barWidget, barWidget->rect().center());
        const QPoint back = again - (across ? QPoint(delta / 30, 0) : QPoint(0, delta / 30));
        QTest::mousePress(window, Qt::LeftButton, {}, again);
        QTest::mouseMove(window, back);
        QTest::mouseRelease(window, Qt::LeftButton, {}, back);
        const QPoint edge = barWidget->parentWidget()->mapFrom(w, back);
        QCOMPARE(across ? geometry(barWidget).left() : geometry(barWidget).top(),
                 pixelsToTwips(across ? edge.x() : edge.y(), w));
    }

    void leavingTheMainBarGivesThePointerBack() {
        PlayerRig rig;
        TreePlayer* w = rig.openShown();
        QWindow* window = w->windowHandle();
        for (QWidget* elsewhere :
             {static_cast<QWidget*>(w->MediaPlayer1), static_cast<QWidget*>(w->btnSearch),
              static_cast<QWidget*>(w->menuBar())}) {
            QTest::mouseMove(window, inWindow(w, w->picRight, w->picRight->rect().center()));
            QCOMPARE(w->mainPointer(), panefold::PointerSizeWE);
            QTest::mouseMove(window, inWindow(w, elsewhere, elsewhere->rect().center()));
            QCOMPARE(w->mainPointer(), panefold::PointerDefault);
            QCOMPARE(elsewhere->cursor().shape(), Qt::ArrowCursor);
        }
    }

    void tinyWindowKeepsWhatWouldGoNegative() {
        PlayerRig rig;
        TreePlayer* w = rig.openShown();
        const int frameHeight = w->picFrame->height();
        w->resize(w->minimumSizeHint().width(), w->menuBar()->height() + 30);
        QCoreApplication::processEvents();
        QVERIFY(w->centralWidget()->height() < w->MediaPlayer1->height());
        // The left half takes the inner height from its splitter but refuses the negative
        // height above the player; below the search panel nothing fits.
        QCOMPARE(w->picLeft->height(), w->centralWidget()->height());
        QCOMPARE(w->picFrame->height(), frameHeight);
        QCOMPARE(w->MediaPlayer1->y(), w->centralWidget()->height() - w->MediaPlayer1->height());
        QVERIFY(rig.prompts.asked.empty()); // the player window asks nothing yet
    }
};

class PaneAdapters : public QObject {
    Q_OBJECT
private slots:
    void negativeAndUnreachableValuesAreRefused() {
        QWidget parent;
        QWidget pane(&parent);
        pane.setGeometry(10, 20, 30, 40);
        WidgetControl control(&pane);
        QVERIFY(!control.setWidth(-15));
        QVERIFY(!control.setHeight(-15));
        for (const double far : {-32212254720.0, 1e300, qQNaN()}) {
            QVERIFY(!control.setLeft(far));
            QVERIFY(!control.setTop(far));
            QVERIFY(!control.setWidth(far));
            QVERIFY(!control.setHeight(far));
        }
        QCOMPARE(pane.geometry(), QRect(10, 20, 30, 40));
        QVERIFY(control.setWidth(0));
        QVERIFY(control.setLeft(-150));
        QCOMPARE(pane.geometry(), QRect(twipsToPixels(-150, &pane), 20, 0, 40));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Placement placement;
    SplitBars bars;
    PaneAdapters adapters;
    return runTestClasses(argc, argv, {&placement, &bars, &adapters});
}

#include "tst_playerlayout.moc"
