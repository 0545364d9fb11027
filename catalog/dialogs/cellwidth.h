#pragma once

#include <QAbstractItemView>
#include <QStyle>

// Pixels a grid cell needs to show `text` whole: the text and the item view's margins.
inline int cellWidthFor(const QAbstractItemView* grid, const QString& text) {
    const int margin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
    return grid->fontMetrics().horizontalAdvance(text) + 2 * margin + 2;
}
