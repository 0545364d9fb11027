#pragma once

#include <QCommandLineParser>
#include <QString>
#include <memory>
#include <stdexcept>

class CatalogConnection;

namespace cli {

enum ExitStatus { ExitOk = 0, ExitFailure = 1, ExitUsage = 2, ExitInterrupted = 130 };

// The command was called wrongly: exit status 2.
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// The command could not do its work: exit status 1.
class Failure : public std::runtime_error {
public:
    explicit Failure(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// One subcommand: its name, a line for the overall help, the options it takes and its work.
struct Command {
    const char* name;
    const char* summary;
    void (*define)(QCommandLineParser& parser);
    int (*run)(const QCommandLineParser& parser);
};

// The option every command takes: the catalogue file.
void addCatalogueOption(QCommandLineParser& parser);
// The value of an option the command cannot do without.
QString requiredValue(const QCommandLineParser& parser, const QString& option);
// The arguments after the command's name, which must number `count`.
QStringList operands(const QCommandLineParser& parser, int count, const QString& what);

// The catalogue named by --catalogue, opened the way start-up opens one: a file that is not a
// catalogue is refused untouched. Only `scan` may make a new catalogue where there is none.
std::unique_ptr<CatalogConnection> openCatalogue(const QCommandLineParser& parser, bool mayCreate);

// Standard output and standard error in UTF-8, whatever the locale. Output that cannot be
// written (a full disk) throws Failure, as does finishOutput when what is left in the buffer
// cannot be written.
void writeOut(const QString& text);
void finishOutput();
void writeErr(const QString& text);

} // namespace cli
