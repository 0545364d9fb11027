#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

class ReportCursor;

// A report's rows for the statistics grid, read from its cursor as the grid scrolls: the
// headings centred, the cells aligned left.
class StatsGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    ~StatsGridModel() override;

    // Shows `columns` and `firstRows`, the rows after them coming from `cursor`.
    void show(std::shared_ptr<ReportCursor> cursor, const QStringList& columns,
              std::vector<QStringList> firstRows);
    void clear();
    const QStringList& columns() const { return m_columns; }
    // Which columns hold numbers, as the cursor found them.
    std::vector<bool> numericColumns() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

Q_SIGNALS:
    // The rows after those shown could not be read.
    void failed(const QString& message);

private:
    std::shared_ptr<ReportCursor> m_cursor;
    QStringList m_columns;
    std::vector<QStringList> m_rows;
};

// Column widths that share `gridWidth` less 400 twips in proportion to each column's longest
// text, rounded to whole twips (halves to even). A column whose share would be narrower than
// its entry in `minimum` gets that width instead, and the others share what is left. Nothing
// when every column is empty.
std::optional<std::vector<double>> proportionalWidths(double gridWidth,
                                                      const std::vector<int>& longest,
                                                      const std::vector<double>& minimum = {});
