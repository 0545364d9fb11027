#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantList>

// Stores many rows into one table's columns. Here each row is one prepared statement, which
// costs nothing more in a file; an engine where each statement is a round trip sends them in
// batches instead. Rows added are in the transaction once flush() returns.
class RowWriter {
public:
    RowWriter(const QSqlDatabase& db, const QString& table, const QStringList& columns);
    virtual ~RowWriter() = default;
    RowWriter(const RowWriter&) = delete;
    RowWriter& operator=(const RowWriter&) = delete;

    // One value a column, in order; a null string is NULL. Throws CatalogError.
    virtual void add(const QVariantList& values);
    virtual void flush() {}

protected:
    QSqlDatabase m_db;
    QString m_table;
    QStringList m_columns;

private:
    QSqlQuery m_insert;
};
