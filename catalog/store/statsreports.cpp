#include "statsreports.h"

#include "catalogdb.h"
#include "catalogengine.h"
#include "catalogtables.h"
#include "serverschema.h"

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

QString unorderedStatement(int index) {
    if (index < 0 || index >= static_cast<int>(Reports.size()))
        return {};
    const QString opening =
        "CREATE VIEW IF NOT EXISTS " + quoted(QString::fromLatin1(Reports[index].query)) + " AS ";
    for (const char* extra : catalogtables::extras) {
        const QString statement = QString::fromLatin1(extra);
        if (!statement.startsWith(opening))
            continue;
        // The server's form names each column, so the select stands alone on either engine.
        const QString named = serverschema::serverView(statement);
        const int select = named.indexOf(QLatin1String(" AS SELECT ")) + 4;
        return named.mid(select, named.lastIndexOf(QLatin1String(" ORDER BY ")) - select);
    }
    return {};
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

QString measureStatement(const QString& reportStatement, const QStringList& columns,
                         const CatalogEngine& engine) {
    QStringList parts{"count(*)"};
    for (const QString& column : columns)
        parts << engine.greatest(
            QStringLiteral("coalesce(max(length(CAST(%1 AS TEXT))), 0)").arg(quoted(column)),
            QString::number(column.size()));
    if (columns.contains(QLatin1String(DurationColumn)))
        parts << "CAST(coalesce(sum(" + engine.playingSeconds(quoted(DurationColumn)) +
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
