#pragma once

#include <QByteArray>
#include <QHash>
#include <QSqlDatabase>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

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
    // A NULL cell is a null string.
    QString text(int column) const;
    // The cell's UTF-8 bytes, valid until the next call; null for a NULL cell.
    QByteArray textBytes(int column) const;

private:
    QString m_statement;
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
};

// One shared copy of each distinct text: a million tracks name a few thousand artists.
class TextPool {
public:
    QString intern(const QByteArray& utf8);

private:
    QByteArray m_lastBytes; // the previous row's text: rows in table order mostly repeat it
    QString m_last;
    QHash<QByteArray, QString> m_texts;
};
