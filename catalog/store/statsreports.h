#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

class CatalogEngine;

// The four reports of the statistics window: each shows one stored query of the catalogue.
namespace statsreports {

struct Report {
    const char* caption; // the option button's text, "Dirs by Disk"
    const char* query;   // the stored query it shows, "Directories by Disk"
};

inline constexpr std::array<Report, 4> Reports{{
    {"Dirs by Disk", "Directories by Disk"},
    {"Tracks by Disk", "Tracks by Disk"},
    {"Tracks by Disk and Dir", "Tracks by Disk and Directory"},
    {"All Tracks", "Full List"},
}};

// The statement that lists report `index` (0 to 3); empty for any other index.
QString statement(int index);
// The rows of report `index` as its view makes them, each column named as the view names it,
// in no particular order; empty for any other index. A count, a longest text, a sum or a new
// order do not depend on the view's own order, and without it the engine need not sort.
QString unorderedStatement(int index);
// The statement of the report whose caption or stored query is `name` (case ignored).
std::optional<QString> statementFor(const QString& name);

// The column of the track reports that holds each track's playing time, "hh:mm:ss".
inline constexpr char DurationColumn[] = "Duration";

// A report's rows ordered by column `column` of `columns` (texts with case ignored, the
// columns `numeric` marks as numbers), descending when asked; rows that tie are ordered by
// the other columns from the first, ascending, which is how each report orders its rows itself.
QString sortedStatement(const QString& reportStatement, const QStringList& columns,
                        const std::vector<bool>& numeric, int column, bool descending,
                        const CatalogEngine& engine);

// One pass over a report's rows that gives the row count followed by, for each column, the
// length of its longest text (the column name counts as one of its texts), and, when the
// report has a Duration column, the sum of its playing times in seconds, in the engine's SQL.
QString measureStatement(const QString& reportStatement, const QStringList& columns,
                         const CatalogEngine& engine);

struct Measurement {
    qint64 rows = 0;
    std::vector<int> longest;           // per column
    std::optional<qint64> totalSeconds; // for a report with a Duration column
    QString error;                      // why the report could not be measured
};

// Measures a report of the catalogue at `dbPath` on a connection of its own, so it may run
// on any thread.
Measurement measure(const QString& dbPath, const QString& reportStatement);

} // namespace statsreports
