#pragma once

#include <QByteArray>
#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <string>
#include <string_view>
#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;
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
    // The cell's text shared through `pool`.
    QString text(int column, TextPool& pool) const;

private:
    QString m_statement;
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
};

// One shared copy of each distinct text: a million tracks name a few thousand artists.
class TextPool {
public:
    QString intern(const char* utf8, int size);

private:
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>()(text);
        }
    };
    std::string_view m_lastBytes; // the previous row's text: rows in table order often repeat it
    const QString* m_last = nullptr;
    std::unordered_map<std::string, QString, Hash, std::equal_to<>> m_texts;
};
