#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// A report's rows read a batch at a time through a connection of its own. The first batch,
// in which the engine sorts the whole report, may be read on a worker thread and the later
// ones on another thread, one thread at a time; only cancel() may be called meanwhile. Made
// by the catalogue's engine (CatalogEngine::reportCursor), which touches nothing until the
// first fetch.
class ReportCursor {
public:
    virtual ~ReportCursor() = default;

    // Up to `count` more rows, each a text per column (NULL as empty text); fewer at the end.
    // Throws CatalogError when the catalogue cannot be read, or was cancelled meanwhile.
    virtual std::vector<QStringList> fetch(int count) = 0;
    bool atEnd() const { return m_atEnd; }
    // The report's column names, and which of them hold numbers, known after the first fetch.
    const QStringList& columns() const { return m_columns; }
    const std::vector<bool>& numeric() const { return m_numeric; }

    // Stops a fetch under way on another thread within a few milliseconds, and every later one.
    virtual void cancel() = 0;

protected:
    QStringList m_columns;
    std::vector<bool> m_numeric;
    bool m_atEnd = false;
};
