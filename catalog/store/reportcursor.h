#pragma once

#include <QString>
#include <QStringList>
#include <atomic>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// A report's rows read a batch at a time through a connection of its own. The first batch,
// in which the engine sorts the whole report, may be read on a worker thread and the later
// ones on another thread, one thread at a time; only cancel() may be called meanwhile.
class ReportCursor {
public:
    // Touches nothing yet: the catalogue is opened by the first fetch.
    ReportCursor(QString dbPath, QString statement);
    ~ReportCursor();
    ReportCursor(const ReportCursor&) = delete;
    ReportCursor& operator=(const ReportCursor&) = delete;

    // Up to `count` more rows, each a text per column (NULL as empty text); fewer at the end.
    // Throws CatalogError when the catalogue cannot be read, or was cancelled meanwhile.
    std::vector<QStringList> fetch(int count);
    bool atEnd() const { return m_atEnd; }
    // The report's column names, known after the first fetch.
    const QStringList& columns() const { return m_columns; }

    // Stops a fetch under way on another thread within a few milliseconds, and every later one.
    void cancel() { m_cancelled = true; }

private:
    void open();
    [[noreturn]] void fail(int code);
    static int progress(void* cursor);

    QString m_dbPath;
    QString m_statement;
    QStringList m_columns;
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
    bool m_atEnd = false;
    std::atomic<bool> m_cancelled = false;
};
