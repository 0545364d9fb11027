#include "rowwriter.h"

#include "catalogdb.h"

RowWriter::RowWriter(const QSqlDatabase& db, const QString& table, const QStringList& columns)
    : m_db(db), m_table(table), m_columns(columns), m_insert(db) {}

void RowWriter::add(const QVariantList& values) {
    if (m_insert.lastQuery().isEmpty()) {
        const QStringList marks(m_columns.size(), QStringLiteral("?"));
        catalogdb::prepareStatement(m_insert,
                                    QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                        .arg(m_table, m_columns.join(", "), marks.join(", ")));
    }
    for (const QVariant& value : values)
        m_insert.addBindValue(value);
    catalogdb::exec(m_insert);
}
