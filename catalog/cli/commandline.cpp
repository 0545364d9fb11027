#include "commandline.h"

#include "catalogdb.h"
#include "clicommon.h"
#include "commands.h"

#include <QCoreApplication>
#include <array>

namespace {

using cli::Command;

// Every command, in the order the overall help lists them; a new command is one entry here.
const std::array<const Command*, 5> commands = {&cli::scanCommand, &cli::searchCommand,
                                                &cli::exportCommand, &cli::reportCommand,
                                                &cli::copyCommand};

const Command* findCommand(const QString& name) {
    for (const Command* command : commands)
        if (name == QLatin1String(command->name))
            return command;
    return nullptr;
}

QString overview() {
    QString text =
        QStringLiteral("The catalogue of the MP3 files on your removable disks, without windows.\n"
                       "Without a command, Catalog opens its windows.\n\nCommands:\n");
    for (const Command* command : commands)
        text += QStringLiteral("  %1  %2\n")
                    .arg(QString::fromLatin1(command->name), -14)
                    .arg(QString::fromLatin1(command->summary));
    return text + QStringLiteral("\nSee \"Catalog COMMAND --help\" for a command's options.");
}

// The first argument names the command; everything after it belongs to the command.
const Command& chooseCommand(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(overview());
    parser.addHelpOption();
    parser.addVersionOption();
    QStringList names;
    for (const Command* command : commands)
        names << QString::fromLatin1(command->name);
    parser.addPositionalArgument("command", "One of: " + names.join(", ") + ".",
                                 "COMMAND [options]");
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (!parser.parse(arguments))
        throw cli::UsageError(parser.errorText());
    if (parser.isSet("version"))
        parser.showVersion();
    if (parser.isSet("help"))
        parser.showHelp(cli::ExitOk);
    const QString name = parser.positionalArguments().value(0);
    const Command* command = findCommand(name);
    if (!command)
        throw cli::UsageError(name.isEmpty() ? QStringLiteral("No command given.")
                                             : QStringLiteral("Unknown command: %1").arg(name));
    return *command;
}

int runCommand(const Command& command, const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(command.summary));
    parser.addHelpOption();
    parser.addPositionalArgument(command.name, "This command.", command.name);
    command.define(parser);
    if (!parser.parse(arguments))
        throw cli::UsageError(parser.errorText());
    if (parser.isSet("help"))
        parser.showHelp(cli::ExitOk);
    const int status = command.run(parser);
    cli::finishOutput();
    return status;
}

} // namespace

int runCommandLine(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("Catalog");
    QCoreApplication::setOrganizationName("Catalog");
    QCoreApplication::setApplicationVersion(CATALOG_VERSION);
    const QStringList arguments = QCoreApplication::arguments();
    QString commandName;
    try {
        const Command& command = chooseCommand(arguments);
        commandName = QString::fromLatin1(command.name);
        return runCommand(command, arguments);
    } catch (const cli::UsageError& e) {
        const QString help =
            commandName.isEmpty() ? "Catalog --help" : "Catalog " + commandName + " --help";
        cli::writeErr(QStringLiteral("Catalog: %1\nSee \"%2\".\n")
                          .arg(QString::fromStdString(e.what()), help));
        return cli::ExitUsage;
    } catch (const cli::Failure& e) {
        cli::writeErr(QStringLiteral("Catalog: %1\n").arg(QString::fromStdString(e.what())));
        return cli::ExitFailure;
    } catch (const CatalogError& e) {
        cli::writeErr(QStringLiteral("Catalog: %1\n").arg(e.message()));
        return cli::ExitFailure;
    }
}
