// The player window's splitters and the layout it computes on every resize and bar movement.

#include "catalogmodels.h"
#include "paneadapters.h"
#include "treeplayer.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// Space between frmSearch's border and its controls, in pixels.
constexpr int SearchMargin = 6;
// Least distance, in twips, a bar brought back into reach keeps from its host's edges.
constexpr double EdgeClearance = 90;

std::shared_ptr<WidgetControl> pane(QWidget* widget) {
    return std::make_shared<WidgetControl>(widget);
}

std::shared_ptr<WidgetControl> bar(SplitBarWidget* widget) {
    return std::make_shared<WidgetControl>(widget, widget->reach());
}

// A bar drives its splitter: a press starts a drag, each move takes the bar's edge to the
// pointer while the drag lasts, and the release applies the last offset and ends it. The
// layout follows every step.
template <typename Split>
void driveSplit(TreePlayer* window, SplitBarWidget* barWidget, Split& split, std::int16_t pointer) {
    QObject::connect(barWidget, &SplitBarWidget::pressed, window, [&split, pointer](double) {
        split.SetPointer(pointer);
        split.setSplitOn(true);
    });
    QObject::connect(barWidget, &SplitBarWidget::moved, window,
                     [window, &split, pointer](double offset) {
                         split.SetPointer(pointer);
                         if (split.SplitOn()) {
                             split.ResizePanes(offset);
                             window->layoutPanes();
                             window->keepBarsReachable();
                         }
                     });
    QObject::connect(barWidget, &SplitBarWidget::released, window, [window, &split](double offset) {
        split.SetPointer(panefold::PointerDefault);
        if (split.SplitOn()) {
            split.ResizePanes(offset);
            split.setSplitOn(false);
        }
        window->layoutPanes();
        window->keepBarsReachable();
    });
    // The main bar's pointer is the whole window's: off the bar it must not stay a sizing one.
    QObject::connect(barWidget, &SplitBarWidget::pointerLeft, window,
                     [&split] { split.SetPointer(panefold::PointerDefault); });
}

// The bar's leading edge kept inside its host, a little clear of the host's edges where there
// is room, so that a pane closed by a drag can be opened again; nothing when it lies there
// already.
template <typename Split> std::optional<double> reachableOffset(Split& split, bool across) {
    const std::shared_ptr<panefold::Control> bar = split.SplitBar();
    const std::shared_ptr<panefold::Host> host = split.HostPane();
    const double position = across ? bar->left() : bar->top();
    const double extent = across ? host->scaleWidth() : host->scaleHeight();
    const double room = std::max(0.0, extent - panefold::BarThickness);
    const double margin = room >= 2 * EdgeClearance ? EdgeClearance : 0;
    const double inside = std::clamp(position, margin, room - margin);
    if (std::abs(inside - position) < 1)
        return std::nullopt;
    return inside - position;
}

} // namespace

void TreePlayer::createSplitters() {
    m_listsHost = std::make_shared<WidgetHost>(picFrame);
    splitLists.setHostPane(m_listsHost);
    splitLists.setLeftPane(pane(trDirs));
    splitLists.setRightPane(pane(lstFiles));
    splitLists.setSplitBar(bar(picSplitter));

    m_leftHost = std::make_shared<WidgetHost>(picLeft);
    splitLeft.setHostPane(m_leftHost);
    splitLeft.setTopPane(pane(frmSearch));
    splitLeft.setBottomPane(pane(picFrame));
    splitLeft.setSplitBar(bar(picLeftSplit));

    // The window's inner area holds the halves; the pointer is the whole window's.
    m_mainHost = std::make_shared<WidgetHost>(centralWidget(), this);
    splitMain.setHostPane(m_mainHost);
    splitMain.setLeftPane(pane(picLeft));
    splitMain.setRightPane(pane(lstSongs));
    splitMain.setSplitBar(bar(picRight));

    splitLeft.setSplitOn(false);
    splitLists.setSplitOn(false);
    splitMain.setSplitOn(false);
}

void TreePlayer::connectBars() {
    driveSplit(this, picLeftSplit, splitLeft, panefold::PointerSizeNS);
    driveSplit(this, picRight, splitMain, panefold::PointerSizeWE);
    driveSplit(this, picSplitter, splitLists, panefold::PointerSizeWE);
}

// Outer bars first: bringing back the main bar resizes the panes that hold the other two.
// The splitters themselves set no limits; a bar dragged or restored past an edge would
// otherwise stay out of reach.
void TreePlayer::keepBarsReachable() {
    if (const auto offset = reachableOffset(splitMain, true)) {
        splitMain.ResizePanes(*offset);
        layoutPanes();
    }
    if (const auto offset = reachableOffset(splitLeft, false)) {
        splitLeft.ResizePanes(*offset);
        layoutPanes();
    }
    if (const auto offset = reachableOffset(splitLists, true)) {
        splitLists.ResizePanes(*offset);
        layoutPanes();
    }
}

// In twips. The play list takes the full height right of the main bar; left of it the search
// panel, its bar and the lower panel stack above the media player, which sits on the status
// bar. A size that would be negative in a tiny window is refused and that control stays as it
// was; everything else is still placed.
void TreePlayer::layoutPanes() {
    const double innerHeight = m_mainHost->scaleHeight();
    WidgetControl player(MediaPlayer1);
    WidgetControl left(picLeft);
    WidgetControl search(frmSearch);
    WidgetControl frame(picFrame);
    const WidgetControl searchBar(picLeftSplit, picLeftSplit->reach());

    player.setTop(innerHeight - player.height());
    player.setLeft(0);
    splitMain.ResizePanes(0);
    left.setHeight(innerHeight - player.height());
    splitLeft.ResizePanes(0);
    frame.setWidth(left.width());
    frame.setTop(search.height() + searchBar.height());
    frame.setHeight(left.height() - frame.top());
    splitLists.ResizePanes(0);

    // The search panel's controls are placed in the frame's inner area, below its caption.
    const QRect body = frmSearch->contentsRect().adjusted(SearchMargin, SearchMargin / 2,
                                                          -SearchMargin, -SearchMargin);
    if (body.width() >= 0 && body.height() >= 0)
        m_searchBody->setGeometry(body);
    const WidgetHost searchArea(m_searchBody);
    const double areaWidth = searchArea.scaleWidth();
    const double areaHeight = searchArea.scaleHeight();
    WidgetControl options(frmSrchOpts);
    WidgetControl tracks(optSearch[0]);
    WidgetControl dirs(optSearch[1]);
    WidgetControl tags(optSearch[2]);
    WidgetControl text(txtSearch);
    WidgetControl button(btnSearch);
    WidgetControl results(lstResults);

    options.setWidth(areaWidth);
    options.setHeight(dirs.height() + tracks.height() + tags.height());
    options.setLeft(0);
    options.setTop(0);
    results.setTop(options.height());
    results.setWidth(areaWidth);
    results.setHeight(areaHeight - options.height());
    results.setLeft(0);
    button.setLeft(areaWidth - button.width());
    button.setTop(0);
    text.setTop(0);
    text.setLeft(dirs.width());
    text.setWidth(button.left() - dirs.width());
    tracks.setTop(0);
    dirs.setTop(tracks.height());
    tags.setTop(dirs.top() + dirs.height());
    tracks.setLeft(0);
    dirs.setLeft(0);
    tags.setLeft(0);

    player.setWidth(m_leftHost->scaleWidth());
}
