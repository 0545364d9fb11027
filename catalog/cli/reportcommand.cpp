// "Catalog report": one of the statistics window's four reports as CSV.

#include "catalogdb.h"
#include "clicommon.h"
#include "commands.h"
#include "csv.h"
#include "statsreports.h"

#include <QSqlRecord>

namespace {

QString reportNames() {
    QStringList names;
    for (const statsreports::Report& report : statsreports::Reports)
        names << QStringLiteral("\"%1\"").arg(QString::fromLatin1(report.caption));
    return names.join(", ");
}

void defineReport(QCommandLineParser& parser) {
    cli::addCatalogueOption(parser);
    parser.addPositionalArgument("NAME", "The report: " + reportNames() +
                                             " (or its stored query's name; case is ignored).");
}

int runReport(const QCommandLineParser& parser) {
    const QString name = cli::operands(parser, 1, "The report's name (NAME)").value(0);
    const std::optional<QString> statement = statsreports::statementFor(name);
    if (!statement)
        throw cli::UsageError(
            QStringLiteral("There is no report \"%1\". Reports: %2.").arg(name, reportNames()));
    const auto connection = cli::openCatalogue(parser, false);
    QSqlQuery rows = catalogdb::run(connection->db(), *statement);
    const QSqlRecord columns = rows.record();
    QStringList header;
    for (int column = 0; column < columns.count(); ++column)
        header << columns.fieldName(column);
    cli::writeOut(csvRecord(header));
    while (rows.next()) {
        QStringList fields;
        for (int column = 0; column < columns.count(); ++column)
            fields << rows.value(column).toString();
        cli::writeOut(csvRecord(fields));
    }
    return cli::ExitOk;
}

} // namespace

namespace cli {
const Command reportCommand = {"report", "Write one of the four reports as CSV.", defineReport,
                               runReport};
} // namespace cli
