#pragma once

#include "statsreports.h"

#include <QFutureWatcher>
#include <QMainWindow>
#include <QStringList>
#include <array>
#include <memory>
#include <vector>

class ProgramState;
class QFrame;
class QLabel;
class QRadioButton;
class QTableView;
class ReportCursor;
class StatsGridModel;
class StatusPanels;

// "Stats": one of the catalogue's four stored reports in a grid, with its row count and, for
// the track reports, their total playing time. A click on a heading sorts by that column.
class Stats : public QMainWindow {
    Q_OBJECT
public:
    // Opens over `over` (the player window), taking its place and size.
    explicit Stats(ProgramState& state, QWidget* over = nullptr, QWidget* parent = nullptr);
    ~Stats() override;

    // Fills the grid with report `index` (0 to 3), as its option button does.
    void showReport(int index);
    // Orders the shown report by `column`, as a click on its heading does. The engine sorts
    // on a worker thread; meanwhile the grid says so and keeps the rows it had.
    void sortBy(int column, Qt::SortOrder order);
    // Widths of the grid's columns in proportion to each column's longest text, none narrower
    // than its heading or, for playing times, than the longest time.
    void Resize_Grid();

    // The count and the widths follow the rows as soon as the report is measured.
    bool isMeasuring() const { return m_measuring.isRunning(); }
    // The first rows of the report, or of its new order, are being read.
    bool isReading() const { return m_reading; }

    // The grid as rows and columns, row 0 being the headings.
    int gridRows() const { return m_recordCount + 1; }
    int gridCols() const;
    qint64 recordCount() const { return m_recordCount; }
    // Longest text of each column, headings included.
    const std::vector<int>& longestTexts() const { return m_longest; }

    QFrame* Frame1 = nullptr;
    std::array<QRadioButton*, 4> optStats{};
    QTableView* grdStats = nullptr;
    // Over the grid while a report is read or sorted.
    QLabel* lblBusy = nullptr;
    StatusPanels* StatusBar1 = nullptr;
    StatsGridModel* model = nullptr;

Q_SIGNALS:
    // The shown report's row count and column widths are known.
    void measured();
    // The report's first rows, in the order asked for, are in the grid.
    void rowsShown();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct FirstRows {
        QStringList columns;
        std::vector<QStringList> rows;
        QString error;
    };

    void buildControls();
    void buildShortcuts();
    void layoutControls();
    void read(const QString& statement, const QString& busyText);
    void showFirstRows();
    void setBusy(const QString& text);
    void measure(const QString& statement);
    void applyMeasurement();
    void showCount();
    std::vector<double> minimumWidths() const;
    void showFailure(const QString& message);

    ProgramState& m_state;
    // The shown report's rows in no order, to measure and to sort.
    QString m_unorderedStatement;
    bool m_failureShown =
        false; // since the last reading: a report's reading and measure fail alike
    qint64 m_recordCount = 0;
    std::vector<int> m_longest;
    std::optional<qint64> m_totalSeconds;
    QFutureWatcher<statsreports::Measurement> m_measuring;
    // The cursor whose first rows are being read, and the reading.
    std::shared_ptr<ReportCursor> m_cursor;
    QFutureWatcher<FirstRows> m_firstRows;
    bool m_reading = false;
};
