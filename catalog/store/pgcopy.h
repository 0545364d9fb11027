#pragma once

#include "rowreader.h"
#include "rowwriter.h"

#include <QSqlDatabase>
#include <string>
#include <vector>

struct pg_conn;
struct pg_result;
class CatalogError;

// The rows of a statement read through COPY … TO STDOUT on the Qt connection's own libpq
// connection: one line a row, no QVariant per cell.
class PgCopyRows : public RowReader {
public:
    // Throws CatalogError when the connection is not open or the statement fails.
    PgCopyRows(const QSqlDatabase& db, const QString& statement);
    ~PgCopyRows() override;
    PgCopyRows(const PgCopyRows&) = delete;
    PgCopyRows& operator=(const PgCopyRows&) = delete;

    bool next() override;
    qint32 integer(int column) const override;
    qint64 integer64(int column) const override;
    QString text(int column) const override;
    QByteArray blob(int column) const override;
    QString text(int column, TextArena& arena) const override;
    SharedText text(int column, TextPool& pool) const override;

private:
    struct Cell {
        const char* data = nullptr; // null for NULL
        int size = 0;
        int unescaped = -1; // its text in m_unescaped, when it held escapes
    };
    void split(char* line, int size);
    void finish();
    [[noreturn]] void fail();

    QString m_statement;
    pg_conn* m_conn = nullptr;
    char* m_line = nullptr;
    bool m_copying = false;
    std::vector<Cell> m_cells;
    std::vector<std::string> m_unescaped;
};

// Rows sent to the server with COPY … FROM STDIN, in batches that go when flushed (before each
// commit) or when they grow large.
class PgCopyWriter : public RowWriter {
public:
    using RowWriter::RowWriter;
    void add(const QVariantList& values) override;
    void flush() override;

private:
    QByteArray m_batch;
};

// The libpq connection under a QPSQL connection; throws CatalogError when it is not open.
pg_conn* pgConnection(const QSqlDatabase& db, const QString& statement);

// The error of a statement (or of the connection, when `result` is null) in the program's
// codes, its message following the statement.
CatalogError pgError(pg_conn* conn, const pg_result* result, const QString& statement);
