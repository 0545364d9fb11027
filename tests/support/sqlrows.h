#pragma once

#include "catalogdb.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

// Each row of a statement as its values joined by '|', a NULL shown as "NULL".
inline QStringList rows(const QSqlDatabase& db, const QString& statement,
                        const QVariantList& values = {}) {
    QSqlQuery q = catalogdb::run(db, statement, values);
    QStringList out;
    while (q.next()) {
        QStringList cells;
        for (int i = 0; i < q.record().count(); ++i)
            cells << (q.isNull(i) ? QStringLiteral("NULL") : q.value(i).toString());
        out << cells.join('|');
    }
    return out;
}
