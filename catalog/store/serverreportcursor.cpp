#include "serverreportcursor.h"

#include "catalogdb.h"
#include "pgcopy.h"
#include "serveraddress.h"

#include <libpq-fe.h>
#include <memory>
#include <utility>

namespace {

// The server's numeric types, by their type identifiers.
bool isNumeric(Oid type) {
    constexpr Oid Int8 = 20, Int2 = 21, Int4 = 23, Oid_ = 26, Float4 = 700, Float8 = 701,
                  Numeric = 1700;
    for (const Oid numeric : {Int8, Int2, Int4, Oid_, Float4, Float8, Numeric})
        if (type == numeric)
            return true;
    return false;
}

} // namespace

ServerReportCursor::ServerReportCursor(QString uri, QString statement)
    : m_uri(std::move(uri)), m_statement(std::move(statement)) {}

ServerReportCursor::~ServerReportCursor() {
    {
        const std::lock_guard lock(m_cancelLock);
        PQfreeCancel(m_cancel);
        m_cancel = nullptr;
    }
    PQfinish(m_conn);
}

void ServerReportCursor::cancel() {
    m_cancelled = true;
    const std::lock_guard lock(m_cancelLock);
    char error[256];
    if (m_cancel)
        PQcancel(m_cancel, error, sizeof error);
}

void ServerReportCursor::fail(const QString& statement, const pg_result* result) {
    m_atEnd = true;
    if (m_cancelled)
        throw CatalogError(statement + "\ncancelled", catalogdb::codes::Interrupted);
    throw pgError(m_conn, result, statement);
}

void ServerReportCursor::execute(const QString& statement) {
    const std::unique_ptr<PGresult, decltype(&PQclear)> result(
        PQexec(m_conn, statement.toUtf8().constData()), PQclear);
    if (PQresultStatus(result.get()) != PGRES_COMMAND_OK)
        fail(statement, result.get());
}

void ServerReportCursor::open() {
    m_conn = serveraddress::connect(m_uri);
    if (PQstatus(m_conn) != CONNECTION_OK) {
        m_atEnd = true;
        throw CatalogError(
            serveraddress::connectionFailure(m_uri, QString::fromUtf8(PQerrorMessage(m_conn))),
            catalogdb::codes::Unreachable);
    }
    {
        const std::lock_guard lock(m_cancelLock);
        m_cancel = PQgetCancel(m_conn);
    }
    if (m_cancelled)
        fail(m_statement, nullptr);
    execute("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    execute("DECLARE report NO SCROLL CURSOR FOR " + m_statement);
}

std::vector<QStringList> ServerReportCursor::fetch(int count) {
    std::vector<QStringList> rows;
    if (m_atEnd)
        return rows;
    if (!m_conn)
        open();
    const QString statement = QStringLiteral("FETCH FORWARD %1 FROM report").arg(count);
    const std::unique_ptr<PGresult, decltype(&PQclear)> held(
        PQexec(m_conn, statement.toUtf8().constData()), PQclear);
    const PGresult* result = held.get();
    if (PQresultStatus(result) != PGRES_TUPLES_OK)
        fail(m_statement, result);
    const int columns = PQnfields(result);
    if (m_columns.isEmpty())
        for (int c = 0; c < columns; ++c) {
            m_columns << QString::fromUtf8(PQfname(result, c));
            m_numeric.push_back(isNumeric(PQftype(result, c)));
        }
    const int found = PQntuples(result);
    rows.reserve(size_t(found));
    for (int r = 0; r < found; ++r) {
        QStringList row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c)
            row << QString::fromUtf8(PQgetvalue(result, r, c), PQgetlength(result, r, c));
        rows.push_back(std::move(row));
    }
    if (found < count) {
        // Lets go of the snapshot, so the server may clean up behind other programs' writes.
        m_atEnd = true;
        PQclear(PQexec(m_conn, "COMMIT"));
    }
    return rows;
}
