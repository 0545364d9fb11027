// "Catalog copy-catalogue": a whole catalogue from a file to a server, or back.

#include "catalogengine.h"
#include "cataloguecopy.h"
#include "clicommon.h"
#include "commands.h"
#include "scanprogress.h"

namespace {

void defineCopy(QCommandLineParser& parser) {
    parser.addOption(
        {"from", "The catalogue to copy: a file or a PostgreSQL connection URI.", "FILE|URI"});
    parser.addOption(
        {"to", "Where the copy goes: a file or a PostgreSQL connection URI.", "FILE|URI"});
    parser.addOption({"replace", "Replace the disks the target holds already."});
}

int runCopy(const QCommandLineParser& parser) {
    cli::operands(parser, 0, "");
    const QString from = cli::requiredValue(parser, "from");
    const QString to = cli::requiredValue(parser, "to");
    const auto target = parser.isSet("replace") ? cataloguecopy::Target::Replace
                                                : cataloguecopy::Target::MustBeEmpty;
    const cataloguecopy::Copied copied = cataloguecopy::copy(from, to, target);
    cli::writeOut(QStringLiteral("Copied %1, %2 and %3 from %4 to %5.\n")
                      .arg(plural(copied.disks, "disk", "disks"),
                           plural(copied.directories, "directory", "directories"),
                           plural(copied.tracks, "track", "tracks"),
                           catalogengine::displayName(from), catalogengine::displayName(to)));
    return cli::ExitOk;
}

} // namespace

namespace cli {
const Command copyCommand = {
    "copy-catalogue", "Copy a whole catalogue between a file and a server.", defineCopy, runCopy};
} // namespace cli
