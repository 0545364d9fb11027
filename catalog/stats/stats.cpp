#include "stats.h"

#include "cellwidth.h"
#include "programstate.h"
#include "prompts.h"
#include "reportcursor.h"
#include "statsgrid.h"
#include "statuspanels.h"
#include "twips.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QRadioButton>
#include <QShortcut>
#include <QTableView>
#include <utility>

namespace {

// Designed left edge and width of each option button, in twips.
struct OptionPlace {
    double left;
    double width;
};
constexpr std::array<OptionPlace, 4> OptionPlaces{
    {{0, 1335}, {1320, 1455}, {2760, 2055}, {4680, 1095}}};

// A playing time as wide as the longest of `length` characters: "00:00:00" or more hours.
QString widestTime(int length) {
    return QString(std::max(2, length - 6), u'0') + QStringLiteral(":00:00");
}

} // namespace

Stats::Stats(ProgramState& state, QWidget* over, QWidget* parent)
    : QMainWindow(parent), m_state(state) {
    setWindowTitle("Stats");
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    buildShortcuts();
    if (over) {
        move(over->frameGeometry().topLeft());
        resize(over->size());
    } else {
        resize(640, 480);
    }
    WindowFade(m_state, 0, 5);
    connect(&m_measuring, &QFutureWatcherBase::finished, this, &Stats::applyMeasurement);
    connect(&m_firstRows, &QFutureWatcherBase::finished, this, &Stats::showFirstRows);
    optStats[0]->setChecked(true);
    showReport(0);
    m_state.QuitOnClose = true;
}

// A measure or a sort still under way finishes unheard; a sort stops at once.
Stats::~Stats() {
    m_measuring.disconnect(this);
    m_firstRows.disconnect(this);
    if (m_reading)
        m_cursor->cancel();
}

void Stats::buildControls() {
    auto* inner = new QWidget(this);
    setCentralWidget(inner);
    Frame1 = new QFrame(inner);
    Frame1->setObjectName("Frame1");
    Frame1->setFrameShape(QFrame::StyledPanel);
    for (int i = 0; i < static_cast<int>(optStats.size()); ++i) {
        auto* option =
            new QRadioButton(QString::fromLatin1(statsreports::Reports[i].caption), Frame1);
        option->setObjectName(QStringLiteral("optStats%1").arg(i));
        // The designed width, or the caption's own when the font needs more.
        const int width =
            std::max(twipsToPixels(OptionPlaces[i].width, this), option->sizeHint().width() + 6);
        option->resize(width, option->sizeHint().height());
        connect(option, &QRadioButton::clicked, this, [this, i] { showReport(i); });
        optStats[i] = option;
    }
    Frame1->resize(Frame1->width(), optStats[0]->height() + 8);

    model = new StatsGridModel(this);
    connect(model, &StatsGridModel::failed, this, &Stats::showFailure);
    grdStats = new QTableView(inner);
    grdStats->setObjectName("grdStats");
    grdStats->setModel(model);
    grdStats->verticalHeader()->hide();
    grdStats->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    QHeaderView* headings = grdStats->horizontalHeader();
    headings->setHighlightSections(false);
    headings->setSectionsClickable(true);
    headings->setSortIndicatorShown(true);
    headings->setSortIndicator(-1, Qt::AscendingOrder);
    connect(headings, &QHeaderView::sortIndicatorChanged, this, &Stats::sortBy);
    grdStats->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdStats->setWordWrap(false);
    grdStats->setTextElideMode(Qt::ElideRight);

    // Beside the grid rather than in it, so it stays readable while the grid is disabled.
    lblBusy = new QLabel(inner);
    lblBusy->setObjectName("lblBusy");
    lblBusy->setAlignment(Qt::AlignCenter);
    lblBusy->setFrameShape(QFrame::StyledPanel);
    lblBusy->setAutoFillBackground(true);
    lblBusy->setMargin(12);
    lblBusy->hide();

    StatusBar1 = new StatusPanels(2, this);
    StatusBar1->setObjectName("StatusBar1");
    setStatusBar(StatusBar1);
}

void Stats::buildShortcuts() {
    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &QWidget::close);
}

int Stats::gridCols() const {
    return model->columnCount();
}

void Stats::Resize_Grid() {
    if (static_cast<int>(m_longest.size()) != model->columnCount())
        return; // the rows of another report, or not measured yet
    const double gridWidth = pixelsToTwips(grdStats->width(), this);
    const auto widths = proportionalWidths(gridWidth, m_longest, minimumWidths());
    if (!widths)
        return; // nothing to measure: the widths stay as they were
    for (int c = 0; c < static_cast<int>(widths->size()); ++c)
        grdStats->setColumnWidth(c, std::max(0, twipsToPixels((*widths)[c], this)));
}

// In twips: each heading whole, with room for the sort mark, and each playing time whole.
std::vector<double> Stats::minimumWidths() const {
    const QHeaderView* headings = grdStats->horizontalHeader();
    std::vector<double> minimum;
    for (int c = 0; c < model->columnCount(); ++c) {
        int pixels = headings->sectionSizeHint(c);
        if (model->columns().at(c) == QLatin1String(statsreports::DurationColumn))
            pixels = std::max(pixels, cellWidthFor(grdStats, widestTime(m_longest.at(c))));
        minimum.push_back(pixelsToTwips(pixels, this));
    }
    return minimum;
}

void Stats::layoutControls() {
    const QWidget* inner = centralWidget();
    Frame1->setGeometry(0, 0, inner->width(), Frame1->height());
    const int top = (Frame1->height() - optStats[0]->height()) / 2;
    optStats[0]->move(0 + 4, top);
    optStats[1]->move(optStats[0]->x() + optStats[0]->width(), top);
    optStats[2]->move(optStats[1]->x() + optStats[1]->width(), top);
    // The last button keeps its designed place unless the captions before it need the room.
    optStats[3]->move(std::max(twipsToPixels(OptionPlaces[3].left, this),
                               optStats[2]->x() + optStats[2]->width()),
                      top);
    grdStats->setGeometry(Frame1->x(), Frame1->height(), Frame1->width(),
                          std::max(0, inner->height() - Frame1->height()));
    lblBusy->adjustSize();
    lblBusy->move(grdStats->geometry().center() - lblBusy->rect().center());
    lblBusy->raise();
}

void Stats::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (QLayout* frame = layout())
        frame->activate();
    layoutControls();
    Resize_Grid();
}

void Stats::closeEvent(QCloseEvent* event) {
    WindowFade(m_state, 1, 255);
    waitForFade(m_state);
    event->accept();
}

void Stats::showFailure(const QString& message) {
    if (std::exchange(m_failureShown, true))
        return;
    m_state.prompts.message("The report cannot be shown.\n" + message, Prompts::Buttons::Ok,
                            windowTitle());
}
