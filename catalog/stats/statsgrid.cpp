#include "statsgrid.h"

#include <cmath>
#include <numeric>

QVariant StatsGridModel::data(const QModelIndex& index, int role) const {
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    if (role == Qt::ToolTipRole) // a narrow column cuts long texts short
        return QSqlQueryModel::data(index, Qt::DisplayRole);
    return QSqlQueryModel::data(index, role);
}

QVariant StatsGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::TextAlignmentRole && orientation == Qt::Horizontal)
        return QVariant::fromValue(Qt::AlignCenter);
    return QSqlQueryModel::headerData(section, orientation, role);
}

std::optional<std::vector<double>> proportionalWidths(double gridWidth,
                                                      const std::vector<int>& longest) {
    const qint64 total = std::accumulate(longest.begin(), longest.end(), qint64{0});
    if (total <= 0)
        return std::nullopt;
    std::vector<double> widths;
    widths.reserve(longest.size());
    for (const int length : longest)
        widths.push_back(std::nearbyint((gridWidth - 400) * (double(length) / double(total))));
    return widths;
}
