#include "filereportcursor.h"

#include "catalogdb.h"

#include <sqlite3.h>
#include <utility>

namespace {

// How many of the engine's steps pass between two looks at the cancel flag: well under a
// millisecond of sorting.
constexpr int StepsBetweenLooks = 10000;
constexpr int BusyTimeoutMs = 5000;

} // namespace

FileReportCursor::FileReportCursor(QString dbPath, QString statement)
    : m_dbPath(std::move(dbPath)), m_statement(std::move(statement)) {}

FileReportCursor::~FileReportCursor() {
    sqlite3_finalize(m_stmt);
    sqlite3_close(m_db);
}

int FileReportCursor::progress(void* cursor) {
    return static_cast<FileReportCursor*>(cursor)->m_cancelled ? 1 : 0;
}

// Read and write as any connection of the program, so a catalogue in WAL mode is read as the
// others read it; a file that is not there is not made.
void FileReportCursor::open() {
    const QByteArray path = m_dbPath.toUtf8();
    int code = sqlite3_open_v2(path.constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
    if (code != SQLITE_OK)
        fail(code);
    sqlite3_busy_timeout(m_db, BusyTimeoutMs);
    sqlite3_progress_handler(m_db, StepsBetweenLooks, &FileReportCursor::progress, this);
    const QByteArray text = m_statement.toUtf8();
    code = sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &m_stmt, nullptr);
    if (code != SQLITE_OK)
        fail(code);
    for (int c = 0; c < sqlite3_column_count(m_stmt); ++c) {
        m_columns << QString::fromUtf8(sqlite3_column_name(m_stmt, c));
        const char* type = sqlite3_column_decltype(m_stmt, c);
        m_numeric.push_back(type && QByteArray(type).toUpper().contains("INT"));
    }
}

void FileReportCursor::fail(int code) {
    const QString message = m_cancelled ? QStringLiteral("cancelled")
                            : m_db      ? QString::fromUtf8(sqlite3_errmsg(m_db))
                                        : QString::fromUtf8(sqlite3_errstr(code));
    m_atEnd = true;
    throw CatalogError(m_statement + "\n" + message, code & 0xff);
}

std::vector<QStringList> FileReportCursor::fetch(int count) {
    std::vector<QStringList> rows;
    if (m_atEnd)
        return rows;
    if (!m_stmt)
        open();
    const int columns = int(m_columns.size());
    while (int(rows.size()) < count) {
        const int code = sqlite3_step(m_stmt);
        if (code == SQLITE_DONE) {
            m_atEnd = true;
            sqlite3_reset(m_stmt); // lets go of the catalogue for other programs' checkpoints
            break;
        }
        if (code != SQLITE_ROW)
            fail(code);
        QStringList row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c) {
            const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, c));
            row << (bytes ? QString::fromUtf8(bytes, sqlite3_column_bytes(m_stmt, c)) : QString());
        }
        rows.push_back(std::move(row));
    }
    return rows;
}
