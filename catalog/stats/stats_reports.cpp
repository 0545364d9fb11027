// The statistics window's reports: reading a report's first rows and sorting it on a worker
// thread, and measuring its count, column widths and playing time on another.
#include "stats.h"

#include "catalogdb.h"
#include "catalogengine.h"
#include "mp3info.h"
#include "programstate.h"
#include "reportcursor.h"
#include "statsgrid.h"
#include "statuspanels.h"

#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QTableView>
#include <QtConcurrent/QtConcurrentRun>

namespace {

// Enough rows for the largest screen; the grid asks for more as it scrolls.
constexpr int FirstBatch = 256;

} // namespace

void Stats::showReport(int index) {
    const QString statement = statsreports::statement(index);
    if (statement.isEmpty())
        return;
    if (!optStats[index]->isChecked())
        optStats[index]->setChecked(true);
    m_unorderedStatement = statsreports::unorderedStatement(index);
    {
        // A new report comes in its own order.
        const QSignalBlocker blocker(grdStats->horizontalHeader());
        grdStats->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    }
    model->clear();
    read(statement, "Reading the report...");
    measure(m_unorderedStatement);
}

void Stats::sortBy(int column, Qt::SortOrder order) {
    const QStringList& columns = model->columns();
    if (column < 0 || column >= columns.size())
        return;
    const bool descending = order == Qt::DescendingOrder;
    read(statsreports::sortedStatement(m_unorderedStatement, columns, model->numericColumns(),
                                       column, descending,
                                       catalogengine::forLocation(m_state.DBPath)),
         QStringLiteral("Sorting by %1%2...").arg(columns[column], descending ? ", reversed" : ""));
}

// The engine reads or sorts on a worker thread while the grid keeps its rows, disabled, with
// the busy text over it. A reading still under way is stopped: only the last one is shown. A
// finished one is left alone, since the grid reads on through it until the new rows come.
void Stats::read(const QString& statement, const QString& busyText) {
    if (m_reading)
        m_cursor->cancel();
    m_cursor = catalogengine::forLocation(m_state.DBPath).reportCursor(m_state.DBPath, statement);
    m_reading = true;
    m_failureShown = false;
    setBusy(busyText);
    m_firstRows.setFuture(QtConcurrent::run([cursor = m_cursor] {
        FirstRows first;
        try {
            first.rows = cursor->fetch(FirstBatch);
            first.columns = cursor->columns();
        } catch (const CatalogError& e) {
            first.error = e.message();
        }
        return first;
    }));
}

void Stats::showFirstRows() {
    if (m_firstRows.future().resultCount() == 0)
        return;
    FirstRows first = m_firstRows.result();
    m_reading = false;
    setBusy({});
    if (!first.error.isEmpty()) {
        model->clear();
        showFailure(first.error);
        return;
    }
    model->show(m_cursor, first.columns, std::move(first.rows));
    Resize_Grid();
    Q_EMIT rowsShown();
}

void Stats::setBusy(const QString& text) {
    grdStats->setEnabled(text.isEmpty());
    lblBusy->setText(text);
    lblBusy->setVisible(!text.isEmpty());
    layoutControls();
}

// The row count, each column's longest text and the total playing time come from one pass in
// the database, on a thread of its own: the grid shows its first rows as soon as they are read.
void Stats::measure(const QString& statement) {
    m_recordCount = 0;
    m_longest.clear();
    m_totalSeconds.reset();
    StatusBar1->setPanelText(1, "# of Records: counting...");
    StatusBar1->setPanelText(2, {});
    m_measuring.setFuture(QtConcurrent::run(statsreports::measure, m_state.DBPath, statement));
}

void Stats::applyMeasurement() {
    if (m_measuring.future().resultCount() == 0)
        return;
    const statsreports::Measurement result = m_measuring.result();
    if (!result.error.isEmpty())
        showFailure(result.error);
    m_recordCount = result.rows;
    m_longest = result.longest;
    m_totalSeconds = result.totalSeconds;
    showCount();
    Resize_Grid();
    Q_EMIT measured();
}

// The player's words for a playing time in total.
void Stats::showCount() {
    StatusBar1->setPanelText(1, "# of Records: " + QString::number(m_recordCount));
    StatusBar1->setPanelText(2, m_totalSeconds ? QStringLiteral("Total Time:") +
                                                     formatPlayingTime(*m_totalSeconds)
                                               : QString());
}
