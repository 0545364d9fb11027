#include "statsreports.h"

#include "catalogdb.h"
#include "catalogengine.h"

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

QString sortedStatement(const QString& reportStatement, const QStringList& columns,
                        const std::vector<bool>& numeric, int column, bool descending,
                        const CatalogEngine& engine) {
    const auto key = [&](int c, bool down) {
        const bool text = c >= int(numeric.size()) || !numeric[size_t(c)];
        return engine.orderKey(quoted(columns.value(c)), text, down);
    };
    QStringList keys{key(column, descending)};
    for (int c = 0; c < columns.size(); ++c)
        if (c != column)
            keys << key(c, false);
    return "SELECT * FROM (" + reportStatement + ") AS report ORDER BY " + keys.join(", ");
}

namespace {

constexpr char Digits[] = "'0123456789'";

// Whether a text is made of digits alone.
QString allDigits(const QString& text) {
    return QStringLiteral("ltrim(%1, %2) = ''").arg(text, QLatin1String(Digits));
}

// Seconds of a "hh:mm:ss" text, hours of any length; anything else counts as 0, as in the
// player's totals. Written in the SQL both engines read, the length tested in a CASE of its
// own since a server may test the parts of an AND in any order.
QString secondsOf(const QString& column) {
    const QString d = quoted(column);
    const QString hours = QStringLiteral("substr(%1, 1, length(%1) - 6)").arg(d);
    const QString minutes = QStringLiteral("substr(%1, length(%1) - 4, 2)").arg(d);
    const QString seconds = QStringLiteral("substr(%1, length(%1) - 1)").arg(d);
    return QStringLiteral("CASE WHEN length(%1) BETWEEN 8 AND 15 THEN CASE WHEN %2 AND %3 AND %4 "
                          "THEN CAST(%5 AS BIGINT) * 3600 + CAST(%6 AS BIGINT) * 60 + "
                          "CAST(%7 AS BIGINT) ELSE 0 END ELSE 0 END")
        .arg(d, allDigits(hours), allDigits(minutes), allDigits(seconds), hours, minutes, seconds);
}

} // namespace

QString measureStatement(const QString& reportStatement, const QStringList& columns,
                         const CatalogEngine& engine) {
    QStringList parts{"count(*)"};
    for (const QString& column : columns)
        parts << engine.greatest(
            QStringLiteral("coalesce(max(length(CAST(%1 AS TEXT))), 0)").arg(quoted(column)),
            QString::number(column.size()));
    if (columns.contains(QLatin1String(DurationColumn)))
        parts << "CAST(coalesce(sum(" + secondsOf(QLatin1String(DurationColumn)) +
                     "), 0) AS BIGINT)";
    return "SELECT " + parts.join(", ") + " FROM (" + reportStatement + ") AS report";
}

Measurement measure(const QString& dbPath, const QString& reportStatement) {
    Measurement result;
    try {
        CatalogConnection connection(dbPath, "stats-measure");
        if (!connection.isOpen())
            throw CatalogError(connection.lastError());
        const QSqlDatabase db = connection.db();
        // The report's columns, without reading a row of it.
        const QSqlRecord record =
            catalogdb::run(db, "SELECT * FROM (" + reportStatement + ") AS report LIMIT 0")
                .record();
        QStringList columns;
        for (int c = 0; c < record.count(); ++c)
            columns << record.fieldName(c);
        result.longest.assign(columns.size(), 0);
        QSqlQuery q = catalogdb::run(
            db, measureStatement(reportStatement, columns, catalogengine::forConnection(db)));
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
