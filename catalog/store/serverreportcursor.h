#pragma once

#include "reportcursor.h"

#include <atomic>
#include <mutex>

struct pg_conn;
struct pg_cancel;
struct pg_result;

// A report of a server catalogue, read through a server-side cursor on a libpq connection of
// its own, in one snapshot of the catalogue; a cancel asks the server to stop the statement.
class ServerReportCursor : public ReportCursor {
public:
    ServerReportCursor(QString uri, QString statement);
    ~ServerReportCursor() override;
    ServerReportCursor(const ServerReportCursor&) = delete;
    ServerReportCursor& operator=(const ServerReportCursor&) = delete;

    std::vector<QStringList> fetch(int count) override;
    void cancel() override;

private:
    void open();
    void execute(const QString& statement);
    [[noreturn]] void fail(const QString& statement, const pg_result* result);

    QString m_uri;
    QString m_statement;
    pg_conn* m_conn = nullptr;
    std::mutex m_cancelLock; // guards m_cancel, made after connecting
    pg_cancel* m_cancel = nullptr;
    std::atomic<bool> m_cancelled = false;
};
