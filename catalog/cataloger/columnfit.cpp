#include "columnfit.h"

#include "cellwidth.h"

#include <QHeaderView>
#include <QTableView>
#include <algorithm>
#include <numeric>

namespace columnfit {

namespace {

// Rows measured: a screenful and more, always the first ones, so widths stay put while the
// grid scrolls and fetches more.
constexpr int MeasuredRows = 200;

int total(const std::vector<int>& widths) {
    return std::accumulate(widths.begin(), widths.end(), 0);
}

// The widest shrinking columns are cut to one width, as little as brings the total down to
// `available`, so the short names stay whole; none goes below its minimum.
void shrink(std::vector<int>& widths, const std::vector<Column>& columns, int available) {
    const auto totalAt = [&](int cap) {
        int sum = 0;
        for (size_t c = 0; c < columns.size(); ++c)
            sum += columns[c].shrinks ? std::max(columns[c].minimum, std::min(widths[c], cap))
                                      : widths[c];
        return sum;
    };
    int low = 0; // the widest cap that fits, found by halving
    int high = *std::max_element(widths.begin(), widths.end());
    while (low < high) {
        const int cap = (low + high + 1) / 2;
        if (totalAt(cap) <= available)
            low = cap;
        else
            high = cap - 1;
    }
    for (size_t c = 0; c < columns.size(); ++c)
        if (columns[c].shrinks)
            widths[c] = std::max(columns[c].minimum, std::min(widths[c], low));
}

} // namespace

std::vector<int> fit(const std::vector<Column>& columns, int available, int filler) {
    std::vector<int> widths;
    for (const Column& column : columns)
        widths.push_back(std::max(column.natural, column.minimum));
    if (total(widths) > available)
        shrink(widths, columns, available);
    const int left = available - total(widths);
    if (left > 0 && filler >= 0 && filler < static_cast<int>(widths.size()))
        widths[filler] += left;
    return widths;
}

std::vector<Column> measure(const QTableView* grid, const std::vector<int>& shrinking, int room) {
    const QAbstractItemModel* model = grid->model();
    const int rows = std::min(model->rowCount(), MeasuredRows);
    std::vector<Column> columns;
    for (int c = 0; c < model->columnCount(); ++c) {
        Column column;
        column.minimum = grid->horizontalHeader()->sectionSizeHint(c);
        column.natural = column.minimum;
        for (int r = 0; r < rows; ++r)
            column.natural =
                std::max(column.natural, cellWidthFor(grid, model->index(r, c).data().toString()));
        column.shrinks = std::find(shrinking.begin(), shrinking.end(), c) != shrinking.end();
        if (column.shrinks)
            column.natural = std::max(column.natural, room);
        columns.push_back(column);
    }
    return columns;
}

void apply(QTableView* grid, const std::vector<int>& shrinking, int filler, int room) {
    const std::vector<int> widths =
        fit(measure(grid, shrinking, room), grid->viewport()->width(), filler);
    for (int c = 0; c < static_cast<int>(widths.size()); ++c)
        grid->setColumnWidth(c, widths[c]);
}

} // namespace columnfit
