#pragma once

#include "statsreports.h"

#include <QFutureWatcher>
#include <QMainWindow>
#include <array>
#include <memory>
#include <vector>

class CatalogConnection;
class ProgramState;
class QFrame;
class QRadioButton;
class QTableView;
class StatsGridModel;
class StatusPanels;

// "Stats": one of the catalogue's four stored reports in a grid, with its row count.
class Stats : public QMainWindow {
    Q_OBJECT
public:
    // Opens over `over` (the player window), taking its place and size.
    explicit Stats(ProgramState& state, QWidget* over = nullptr, QWidget* parent = nullptr);
    ~Stats() override;

    // Fills the grid with report `index` (0 to 3), as its option button does.
    void showReport(int index);
    // Widths of the grid's columns in proportion to each column's longest text.
    void Resize_Grid();

    // The count and the widths follow the rows as soon as the report is measured.
    bool isMeasuring() const { return m_measuring.isRunning(); }

    // The grid as rows and columns, row 0 being the headings.
    int gridRows() const { return m_recordCount + 1; }
    int gridCols() const;
    qint64 recordCount() const { return m_recordCount; }
    // Longest text of each column, headings included.
    const std::vector<int>& longestTexts() const { return m_longest; }

    QFrame* Frame1 = nullptr;
    std::array<QRadioButton*, 4> optStats{};
    QTableView* grdStats = nullptr;
    StatusPanels* StatusBar1 = nullptr;
    StatsGridModel* model = nullptr;

Q_SIGNALS:
    // The shown report's row count and column widths are known.
    void measured();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void layoutControls();
    void measure(const QString& statement);
    void applyMeasurement();
    void showFailure(const QString& message);

    ProgramState& m_state;
    std::unique_ptr<CatalogConnection> m_connection;
    qint64 m_recordCount = 0;
    std::vector<int> m_longest;
    QFutureWatcher<statsreports::Measurement> m_measuring;
};
