#pragma once

#include <vector>

class QTableView;

// Column widths for the cataloguing window's grids: each column as wide as its contents, all
// of them within the grid's width, so no sideways scrolling hides a name.
namespace columnfit {

struct Column {
    int natural = 0;      // the heading or the widest text shown, whichever is wider
    int minimum = 0;      // the heading: never narrower
    bool shrinks = false; // a name or title, which may be cut short when room is scarce
};

// Widths that fill `available` pixels: each column its natural width and `filler` what is
// left. When the natural widths do not fit, the widest of the columns that shrink are cut
// down to one width, no lower than their minimum; past that the grid scrolls.
std::vector<int> fit(const std::vector<Column>& columns, int available, int filler);

// The columns of `grid` measured on its first rows; the columns listed in `shrinking` shrink
// and are wanted at least `room` wide, where names are typed.
std::vector<Column> measure(const QTableView* grid, const std::vector<int>& shrinking,
                            int room = 0);

// Measures `grid` and sets its column widths to fill its viewport.
void apply(QTableView* grid, const std::vector<int>& shrinking, int filler, int room = 0);

} // namespace columnfit
