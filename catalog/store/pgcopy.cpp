#include "pgcopy.h"

#include "catalogdb.h"
#include "engines.h"
#include "textarena.h"

#include <QSqlDriver>
#include <QVariant>
#include <charconv>
#include <libpq-fe.h>
#include <optional>

namespace {

constexpr int batchBytes = 1 << 20;

// What COPY's text form writes for a backslash escape.
char unescaped(char c) {
    switch (c) {
    case 'b':
        return '\b';
    case 'f':
        return '\f';
    case 'n':
        return '\n';
    case 'r':
        return '\r';
    case 't':
        return '\t';
    case 'v':
        return '\v';
    default:
        return c;
    }
}

void appendEscaped(QByteArray& line, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    for (const char c : bytes) {
        switch (c) {
        case '\\':
            line += "\\\\";
            break;
        case '\t':
            line += "\\t";
            break;
        case '\n':
            line += "\\n";
            break;
        case '\r':
            line += "\\r";
            break;
        case '\0': // the server keeps no NUL in a text
            break;
        default:
            line += c;
        }
    }
}

// A value in COPY's text form: "\N" for NULL, bytes as "\x" and hex digits.
void appendCell(QByteArray& line, const QVariant& value) {
    if (value.isNull() || (value.typeId() == QMetaType::QString && value.toString().isNull())) {
        line += "\\N";
    } else if (value.typeId() == QMetaType::QByteArray) {
        line += "\\\\x" + value.toByteArray().toHex();
    } else {
        appendEscaped(line, value.toString());
    }
}

// Runs a statement that starts a COPY; throws unless the server is ready for it.
void startCopy(pg_conn* conn, const QString& statement, ExecStatusType ready) {
    PGresult* result = PQexec(conn, statement.toUtf8().constData());
    const bool started = PQresultStatus(result) == ready;
    if (!started) {
        const CatalogError error = pgError(conn, result, statement);
        PQclear(result);
        throw error;
    }
    PQclear(result);
}

// Reads the COPY's closing result; throws when it failed.
void endCopy(pg_conn* conn, const QString& statement) {
    PGresult* result = PQgetResult(conn);
    const bool done = PQresultStatus(result) == PGRES_COMMAND_OK;
    std::optional<CatalogError> error;
    if (!done)
        error = pgError(conn, result, statement);
    PQclear(result);
    while (PGresult* more = PQgetResult(conn))
        PQclear(more);
    if (error)
        throw *error;
}

} // namespace

CatalogError pgError(pg_conn* conn, const PGresult* result, const QString& statement) {
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const int code = PQstatus(conn) == CONNECTION_BAD
                         ? catalogdb::codes::Unreachable
                         : serverResultCode(QString::fromLatin1(state ? state : ""));
    return CatalogError(statement + "\n" + QString::fromUtf8(PQerrorMessage(conn)).trimmed(), code);
}

pg_conn* pgConnection(const QSqlDatabase& db, const QString& statement) {
    const QVariant handle = db.isOpen() ? db.driver()->handle() : QVariant();
    pg_conn* conn = nullptr;
    if (handle.isValid() && qstrcmp(handle.typeName(), "pg_conn*") == 0)
        conn = *static_cast<pg_conn* const*>(handle.constData());
    if (!conn)
        throw CatalogError(statement + "\nThe catalogue is not open.",
                           catalogdb::codes::Unreachable);
    return conn;
}

PgCopyRows::PgCopyRows(const QSqlDatabase& db, const QString& statement)
    : m_statement(statement), m_conn(pgConnection(db, statement)) {
    startCopy(m_conn, "COPY (" + statement + ") TO STDOUT", PGRES_COPY_OUT);
    m_copying = true;
}

PgCopyRows::~PgCopyRows() {
    PQfreemem(m_line);
    // Rows not read are read and dropped: the connection serves nothing else until they are.
    while (m_copying) {
        char* line = nullptr;
        const int size = PQgetCopyData(m_conn, &line, 0);
        PQfreemem(line);
        if (size < 0) {
            m_copying = false;
            while (PGresult* result = PQgetResult(m_conn))
                PQclear(result);
        }
    }
}

bool PgCopyRows::next() {
    PQfreemem(m_line);
    m_line = nullptr;
    if (!m_copying)
        return false;
    const int size = PQgetCopyData(m_conn, &m_line, 0);
    if (size > 0) {
        split(m_line, size);
        return true;
    }
    m_copying = false;
    if (size == -2)
        throw pgError(m_conn, nullptr, m_statement);
    endCopy(m_conn, m_statement);
    return false;
}

// A line is the cells separated by tabs, ending in a newline; "\N" is NULL, and a backslash
// escapes what follows.
void PgCopyRows::split(char* line, int size) {
    if (size > 0 && line[size - 1] == '\n')
        --size;
    m_cells.clear();
    size_t escapedCells = 0;
    int start = 0;
    for (int i = 0; i <= size; ++i) {
        if (i < size && line[i] != '\t')
            continue;
        Cell cell{line + start, i - start};
        if (cell.size == 2 && line[start] == '\\' && line[start + 1] == 'N') {
            cell.data = nullptr;
            cell.size = 0;
        } else if (std::char_traits<char>::find(cell.data, size_t(cell.size), '\\')) {
            if (m_unescaped.size() <= escapedCells)
                m_unescaped.resize(escapedCells + 1);
            std::string& out = m_unescaped[escapedCells];
            out.clear();
            for (int k = start; k < i; ++k)
                out += line[k] == '\\' && k + 1 < i ? unescaped(line[++k]) : line[k];
            cell.unescaped = int(escapedCells++);
        }
        m_cells.push_back(cell);
        start = i + 1;
    }
    // Only now: growing the list of unescaped texts may have moved them.
    for (Cell& cell : m_cells)
        if (cell.unescaped >= 0) {
            cell.data = m_unescaped[size_t(cell.unescaped)].data();
            cell.size = int(m_unescaped[size_t(cell.unescaped)].size());
        }
}

qint32 PgCopyRows::integer(int column) const {
    return qint32(integer64(column));
}

qint64 PgCopyRows::integer64(int column) const {
    const Cell& cell = m_cells.at(size_t(column));
    qint64 value = 0;
    if (cell.data)
        std::from_chars(cell.data, cell.data + cell.size, value);
    return value;
}

QString PgCopyRows::text(int column) const {
    const Cell& cell = m_cells.at(size_t(column));
    return cell.data ? QString::fromUtf8(cell.data, cell.size) : QString();
}

QByteArray PgCopyRows::blob(int column) const {
    // The cell is bytea's text form, hex or escaped as the session's bytea_output says.
    const Cell& cell = m_cells.at(size_t(column));
    if (!cell.data)
        return {};
    const std::string text(cell.data, size_t(cell.size));
    size_t size = 0;
    unsigned char* bytes =
        PQunescapeBytea(reinterpret_cast<const unsigned char*>(text.c_str()), &size);
    const QByteArray result(reinterpret_cast<const char*>(bytes), bytes ? qsizetype(size) : 0);
    PQfreemem(bytes);
    return result;
}

QString PgCopyRows::text(int column, TextArena& arena) const {
    const Cell& cell = m_cells.at(size_t(column));
    return cell.data ? arena.add(cell.data, cell.size) : QString();
}

SharedText PgCopyRows::text(int column, TextPool& pool) const {
    const Cell& cell = m_cells.at(size_t(column));
    return cell.data ? pool.intern(cell.data, cell.size) : SharedText();
}

void PgCopyWriter::add(const QVariantList& values) {
    for (int i = 0; i < values.size(); ++i) {
        if (i > 0)
            m_batch += '\t';
        appendCell(m_batch, values[i]);
    }
    m_batch += '\n';
    if (m_batch.size() >= batchBytes)
        flush();
}

void PgCopyWriter::flush() {
    if (m_batch.isEmpty())
        return;
    const QString statement =
        QStringLiteral("COPY %1 (%2) FROM STDIN").arg(m_table, m_columns.join(", "));
    pg_conn* conn = pgConnection(m_db, statement);
    const QByteArray batch = std::exchange(m_batch, {});
    startCopy(conn, statement, PGRES_COPY_IN);
    const bool sent = PQputCopyData(conn, batch.constData(), int(batch.size())) == 1;
    PQputCopyEnd(conn, sent ? nullptr : "the rows could not be sent");
    endCopy(conn, statement);
}
