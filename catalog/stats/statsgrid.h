#pragma once

#include <QSqlQueryModel>
#include <optional>
#include <vector>

// A report's rows for the statistics grid, fetched as the grid scrolls: the headings centred,
// the cells aligned left.
class StatsGridModel : public QSqlQueryModel {
    Q_OBJECT
public:
    using QSqlQueryModel::QSqlQueryModel;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
};

// Column widths that share `gridWidth` less 400 twips in proportion to each column's longest
// text, rounded to whole twips (halves to even). Nothing when every column is empty.
std::optional<std::vector<double>> proportionalWidths(double gridWidth,
                                                      const std::vector<int>& longest);
