#pragma once

#include "rowreader.h"

#include <QSqlDatabase>

struct sqlite3;
struct sqlite3_stmt;

// The rows of one statement, read through SQLite's own interface on a Qt connection.
class SqliteRows : public RowReader {
public:
    // Throws CatalogError when the connection is not open or the statement cannot be prepared.
    SqliteRows(const QSqlDatabase& db, const QString& statement);
    ~SqliteRows() override;
    SqliteRows(const SqliteRows&) = delete;
    SqliteRows& operator=(const SqliteRows&) = delete;

    bool next() override;
    qint32 integer(int column) const override;
    qint64 integer64(int column) const override;
    QString text(int column) const override;
    QByteArray blob(int column) const override;
    QString text(int column, TextArena& arena) const override;
    SharedText text(int column, TextPool& pool) const override;

private:
    QString m_statement;
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
};
