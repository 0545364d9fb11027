#include "statsgrid.h"

#include "catalogdb.h"
#include "reportcursor.h"

#include <cmath>
#include <numeric>

namespace {

// Rows read at a time as the grid scrolls: a screenful or two.
constexpr int FetchBatch = 256;

} // namespace

StatsGridModel::~StatsGridModel() = default;

void StatsGridModel::show(std::shared_ptr<ReportCursor> cursor, const QStringList& columns,
                          std::vector<QStringList> firstRows) {
    beginResetModel();
    m_cursor = std::move(cursor);
    m_columns = columns;
    m_rows = std::move(firstRows);
    endResetModel();
}

void StatsGridModel::clear() {
    beginResetModel();
    m_cursor.reset();
    m_columns.clear();
    m_rows.clear();
    endResetModel();
}

int StatsGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

std::vector<bool> StatsGridModel::numericColumns() const {
    return m_cursor ? m_cursor->numeric() : std::vector<bool>();
}

int StatsGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant StatsGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) // a narrow column cuts texts short
        return m_rows[index.row()].value(index.column());
    return {};
}

QVariant StatsGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignCenter);
    if (role == Qt::DisplayRole)
        return m_columns[section];
    return {};
}

bool StatsGridModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && m_cursor && !m_cursor->atEnd();
}

void StatsGridModel::fetchMore(const QModelIndex& parent) {
    if (!canFetchMore(parent))
        return;
    std::vector<QStringList> more;
    try {
        more = m_cursor->fetch(FetchBatch);
    } catch (const CatalogError& e) {
        Q_EMIT failed(e.message());
        return;
    }
    if (more.empty())
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(more.size()) - 1);
    std::move(more.begin(), more.end(), std::back_inserter(m_rows));
    endInsertRows();
}

std::optional<std::vector<double>> proportionalWidths(double gridWidth,
                                                      const std::vector<int>& longest,
                                                      const std::vector<double>& minimum) {
    const qint64 total = std::accumulate(longest.begin(), longest.end(), qint64{0});
    if (total <= 0)
        return std::nullopt;
    const size_t count = longest.size();
    const auto floorOf = [&](size_t c) { return c < minimum.size() ? minimum[c] : 0.0; };
    // Columns held at their minimum, found until the shares of the others all clear theirs.
    std::vector<bool> held(count, false);
    double rest = gridWidth - 400;
    qint64 sharing = total;
    for (bool changed = true; changed;) {
        changed = false;
        for (size_t c = 0; c < count; ++c) {
            if (held[c])
                continue;
            const double share = sharing > 0 ? rest * (double(longest[c]) / double(sharing)) : 0;
            if (share < floorOf(c)) {
                held[c] = true;
                rest -= floorOf(c);
                sharing -= longest[c];
                changed = true;
            }
        }
    }
    std::vector<double> widths(count);
    for (size_t c = 0; c < count; ++c)
        widths[c] = held[c]       ? floorOf(c)
                    : sharing > 0 ? std::nearbyint(rest * (double(longest[c]) / double(sharing)))
                                  : 0;
    return widths;
}
