#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

// The four reports of the statistics window: each shows one stored query of the catalogue.
class CatalogEngine;

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
// The statement of the report whose caption or stored query is `name` (case ignored).
std::optional<QString> statementFor(const QString& name);

// One pass over a report's rows that gives the row count followed by, for each column, the
// length of its longest text (the column name counts as one of its texts), in the engine's SQL.
QString measureStatement(const QString& reportStatement, const QStringList& columns,
                         const CatalogEngine& engine);

struct Measurement {
    qint64 rows = 0;
    std::vector<int> longest; // per column
    QString error;            // why the report could not be measured
};

// Measures a report of the catalogue at `dbPath` on a connection of its own, so it may run
// on any thread.
Measurement measure(const QString& dbPath, const QString& reportStatement,
                    const QStringList& columns);

} // namespace statsreports
