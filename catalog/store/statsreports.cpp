#include "statsreports.h"

#include "catalogdb.h"

#include <QSqlRecord>

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

QString sortedStatement(const QString& reportStatement, const QStringList& columns, int column,
                        bool descending) {
    QStringList keys{quoted(columns.value(column)) + " COLLATE NOCASE" +
                     (descending ? " DESC" : "")};
    for (int c = 0; c < columns.size(); ++c)
        if (c != column)
            keys << quoted(columns[c]) + " COLLATE NOCASE";
    return "SELECT * FROM (" + reportStatement + ") ORDER BY " + keys.join(", ");
}

namespace {

// Seconds of a "hh:mm:ss" text, hours of any length; anything else counts as 0, as in the
// player's totals.
QString secondsOf(const QString& column) {
    const QString d = quoted(column);
    return QStringLiteral("CASE WHEN length(%1) BETWEEN 8 AND 15 AND substr(%1, 1, length(%1) - 6) "
                          "NOT GLOB '*[^0-9]*' AND substr(%1, -5, 2) NOT GLOB '*[^0-9]*' AND "
                          "substr(%1, -2) NOT GLOB '*[^0-9]*' THEN "
                          "CAST(substr(%1, 1, length(%1) - 6) AS INTEGER) * 3600 + "
                          "CAST(substr(%1, -5, 2) AS INTEGER) * 60 + "
                          "CAST(substr(%1, -2) AS INTEGER) ELSE 0 END")
        .arg(d);
}

} // namespace

QString measureStatement(const QString& reportStatement, const QStringList& columns) {
    QStringList parts{"count(*)"};
    for (const QString& column : columns)
        parts << QStringLiteral("max(coalesce(max(length(%1)), 0), %2)")
                     .arg(quoted(column))
                     .arg(column.size());
    if (columns.contains(QLatin1String(DurationColumn)))
        parts << "coalesce(sum(" + secondsOf(QLatin1String(DurationColumn)) + "), 0)";
    return "SELECT " + parts.join(", ") + " FROM (" + reportStatement + ")";
}

Measurement measure(const QString& dbPath, const QString& reportStatement) {
    Measurement result;
    try {
        CatalogConnection connection(dbPath, "stats-measure");
        if (!connection.isOpen())
            throw CatalogError(connection.lastError());
        // The report's columns, without reading a row of it.
        const QSqlRecord record =
            catalogdb::run(connection.db(), "SELECT * FROM (" + reportStatement + ") LIMIT 0")
                .record();
        QStringList columns;
        for (int c = 0; c < record.count(); ++c)
            columns << record.fieldName(c);
        result.longest.assign(columns.size(), 0);
        QSqlQuery q = catalogdb::run(connection.db(), measureStatement(reportStatement, columns));
        if (q.next()) {
            result.rows = q.value(0).toLongLong();
            for (int c = 0; c < columns.size(); ++c)
                result.longest[c] = q.value(c + 1).toInt();
            if (columns.contains(QLatin1String(DurationColumn)))
                result.totalSeconds = q.value(int(columns.size()) + 1).toLongLong();
        }
    } catch (const CatalogError& e) {
        result.error = e.message();
    }
    return result;
}

} // namespace statsreports
