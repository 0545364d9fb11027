#pragma once

#include "sharedtext.h"

#include <QByteArray>
#include <QSqlDatabase>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;
class TextArena;
class TextPool;

// The rows of one statement, read through SQLite's own interface on a Qt connection: no
// QVariant per cell, which is where reading hundreds of thousands of rows spends its time.
class SqliteRows {
public:
    // Throws CatalogError when the connection is not open or the statement cannot be prepared.
    SqliteRows(const QSqlDatabase& db, const QString& statement);
    ~SqliteRows();
    SqliteRows(const SqliteRows&) = delete;
    SqliteRows& operator=(const SqliteRows&) = delete;

    // Moves to the next row; false after the last. A row that cannot be read (a damaged page)
    // throws CatalogError with the engine's result code, so rows never end early unnoticed.
    bool next();
    qint32 integer(int column) const;
    qint64 integer64(int column) const;
    // A NULL cell is a null string.
    QString text(int column) const;
    QByteArray blob(int column) const;
    // The cell's text stored in `arena`.
    QString text(int column, TextArena& arena) const;
    // The cell's text shared through `pool`.
    SharedText text(int column, TextPool& pool) const;

private:
    QString m_statement;
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
};
