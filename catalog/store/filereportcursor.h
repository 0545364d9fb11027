#pragma once

#include "reportcursor.h"

#include <atomic>

struct sqlite3;
struct sqlite3_stmt;

// A report of a catalogue file, read through SQLite's own interface; a cancel is seen by the
// engine's progress handler while it sorts.
class FileReportCursor : public ReportCursor {
public:
    FileReportCursor(QString dbPath, QString statement);
    ~FileReportCursor() override;
    FileReportCursor(const FileReportCursor&) = delete;
    FileReportCursor& operator=(const FileReportCursor&) = delete;

    std::vector<QStringList> fetch(int count) override;
    void cancel() override { m_cancelled = true; }

private:
    void open();
    [[noreturn]] void fail(int code);
    static int progress(void* cursor);

    QString m_dbPath;
    QString m_statement;
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
    std::atomic<bool> m_cancelled = false;
};
