#include "stats.h"

#include "catalogdb.h"
#include "programstate.h"
#include "prompts.h"
#include "statsgrid.h"
#include "statsreports.h"
#include "statuspanels.h"
#include "twips.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHeaderView>
#include <QLayout>
#include <QRadioButton>
#include <QSqlError>
#include <QSqlRecord>
#include <QTableView>
#include <QtConcurrent/QtConcurrentRun>

namespace {

// Designed left edge and width of each option button, in twips.
struct OptionPlace {
    double left;
    double width;
};
constexpr std::array<OptionPlace, 4> OptionPlaces{
    {{0, 1335}, {1320, 1455}, {2760, 2055}, {4680, 1095}}};

} // namespace

Stats::Stats(ProgramState& state, QWidget* over, QWidget* parent)
    : QMainWindow(parent), m_state(state) {
    setWindowTitle("Stats");
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    if (over) {
        move(over->frameGeometry().topLeft());
        resize(over->size());
    } else {
        resize(640, 480);
    }
    WindowFade(m_state, 0, 5);
    m_connection = std::make_unique<CatalogConnection>(m_state.DBPath, "stats");
    connect(&m_measuring, &QFutureWatcherBase::finished, this, &Stats::applyMeasurement);
    optStats[0]->setChecked(true);
    showReport(0);
    m_state.QuitOnClose = true;
}

Stats::~Stats() {
    m_measuring.disconnect(this); // a measure still under way finishes unheard
    model->clear();               // its rows come through the connection, which closes first
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
    grdStats = new QTableView(inner);
    grdStats->setObjectName("grdStats");
    grdStats->setModel(model);
    grdStats->verticalHeader()->hide();
    grdStats->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    grdStats->horizontalHeader()->setHighlightSections(false);
    grdStats->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdStats->setWordWrap(false);
    grdStats->setTextElideMode(Qt::ElideRight);

    StatusBar1 = new StatusPanels(1, this);
    StatusBar1->setObjectName("StatusBar1");
    setStatusBar(StatusBar1);
}

int Stats::gridCols() const {
    return model->columnCount();
}

void Stats::showReport(int index) {
    const QString statement = statsreports::statement(index);
    if (statement.isEmpty())
        return;
    if (!optStats[index]->isChecked())
        optStats[index]->setChecked(true);
    m_connection->reopen();
    model->setQuery(statement, m_connection->db());
    if (model->lastError().isValid()) {
        m_measuring.setFuture({});
        m_recordCount = 0;
        m_longest.clear();
        StatusBar1->setPanelText(1, "# of Records: 0");
        showFailure(model->lastError().text());
        return;
    }
    measure(statement);
}

// The row count and each column's longest text come from one pass in the database, on a
// thread of its own: the grid shows its first rows at once, whatever the report's size, and
// fetches the others as it scrolls.
void Stats::measure(const QString& statement) {
    QStringList columns;
    const QSqlRecord record = model->record();
    for (int c = 0; c < record.count(); ++c)
        columns << record.fieldName(c);
    m_recordCount = 0;
    m_longest.assign(columns.size(), 0);
    StatusBar1->setPanelText(1, "# of Records: counting...");
    m_measuring.setFuture(
        QtConcurrent::run(statsreports::measure, m_state.DBPath, statement, columns));
}

void Stats::applyMeasurement() {
    if (m_measuring.future().resultCount() == 0)
        return; // given up: the report could not be shown
    const statsreports::Measurement result = m_measuring.result();
    if (!result.error.isEmpty())
        showFailure(result.error);
    m_recordCount = result.rows;
    m_longest = result.longest;
    StatusBar1->setPanelText(1, "# of Records: " + QString::number(m_recordCount));
    Resize_Grid();
    Q_EMIT measured();
}

void Stats::Resize_Grid() {
    const double gridWidth = pixelsToTwips(grdStats->width(), this);
    const auto widths = proportionalWidths(gridWidth, m_longest);
    if (!widths)
        return; // nothing to measure: the widths stay as they were
    for (int c = 0; c < static_cast<int>(widths->size()); ++c)
        grdStats->setColumnWidth(c, std::max(0, twipsToPixels((*widths)[c], this)));
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
    m_state.prompts.message("The report cannot be shown.\n" + message, Prompts::Buttons::Ok,
                            windowTitle());
}
