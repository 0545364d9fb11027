#include "statsreports.h"

#include "catalogdb.h"
#include "catalogengine.h"

namespace statsreports {

namespace {

QString quoted(const QString& name) {
    QString inner = name;
    inner.replace('"', "\"\"");
    return '"' + inner + '"';
}

} // namespace

QString statement(int index) {
    if (index < 0 || index >= static_cast<int>(Reports.size()))
        return {};
    return "SELECT * FROM " + quoted(QString::fromLatin1(Reports[index].query));
}

std::optional<QString> statementFor(const QString& name) {
    for (int i = 0; i < static_cast<int>(Reports.size()); ++i)
        if (name.compare(QLatin1String(Reports[i].caption), Qt::CaseInsensitive) == 0 ||
            name.compare(QLatin1String(Reports[i].query), Qt::CaseInsensitive) == 0)
            return statement(i);
    return std::nullopt;
}

QString measureStatement(const QString& reportStatement, const QStringList& columns,
                         const CatalogEngine& engine) {
    QStringList parts{"count(*)"};
    for (const QString& column : columns)
        parts << engine.greatest(
            QStringLiteral("coalesce(max(length(CAST(%1 AS TEXT))), 0)").arg(quoted(column)),
            QString::number(column.size()));
    return "SELECT " + parts.join(", ") + " FROM (" + reportStatement + ") AS report";
}

Measurement measure(const QString& dbPath, const QString& reportStatement,
                    const QStringList& columns) {
    Measurement result;
    result.longest.assign(columns.size(), 0);
    try {
        CatalogConnection connection(dbPath, "stats-measure");
        if (!connection.isOpen())
            throw CatalogError(connection.lastError());
        const QSqlDatabase db = connection.db();
        QSqlQuery q = catalogdb::run(
            db, measureStatement(reportStatement, columns, catalogengine::forConnection(db)));
        if (q.next()) {
            result.rows = q.value(0).toLongLong();
            for (int c = 0; c < columns.size(); ++c)
                result.longest[c] = q.value(c + 1).toInt();
        }
    } catch (const CatalogError& e) {
        result.error = e.message();
    }
    return result;
}

} // namespace statsreports
