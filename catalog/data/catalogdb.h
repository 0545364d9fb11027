#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <stdexcept>

// A database statement that failed, with the statement and the engine's message.
class CatalogError : public std::runtime_error {
public:
    explicit CatalogError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

namespace catalogdb {

inline constexpr int SchemaVersion = 1;

// What `prepare` found at a path.
struct Preparation {
    bool ok = false;
    bool created = false; // a new, empty catalogue was made
    QString error;        // why the file was refused, when !ok
};

// Makes sure `path` holds a catalogue. A missing or empty file becomes a new catalogue; a
// file that is not one is refused and never modified.
Preparation prepare(const QString& path);

// Number of rows of Tracks, or -1 with `error` set when the catalogue cannot be read.
qint64 countTracks(const QString& path, QString* error);

// Runs a prepared or plain statement, throwing CatalogError with the statement text and the
// engine's message when it fails.
void exec(QSqlQuery& query);
void exec(QSqlQuery& query, const QString& statement);
QSqlQuery run(const QSqlDatabase& db, const QString& statement, const QVariantList& values = {});

} // namespace catalogdb

// One named connection to the catalogue, closed and removed when it goes out of scope.
class CatalogConnection {
public:
    CatalogConnection(const QString& path, const QString& purpose);
    ~CatalogConnection();
    CatalogConnection(const CatalogConnection&) = delete;
    CatalogConnection& operator=(const CatalogConnection&) = delete;

    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }
    bool isOpen() const { return db().isOpen(); }
    QString lastError() const { return m_error; }
    QString path() const { return m_path; }
    // Opens again after `close` (the catalogue file may have been replaced meanwhile).
    bool reopen();
    void close();

private:
    QString m_name;
    QString m_path;
    QString m_error;
};

// Rolls back unless committed.
class Transaction {
public:
    explicit Transaction(QSqlDatabase db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    QSqlDatabase m_db;
    bool m_done = false;
};
