#include "clicommon.h"

#include "catalogdb.h"
#include "catalogengine.h"

#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace cli {

namespace {

bool write(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream) ==
           static_cast<size_t>(bytes.size());
}

Failure cannotWrite() {
    return Failure(QStringLiteral("cannot write the output: %1")
                       .arg(QString::fromLocal8Bit(std::strerror(errno))));
}

} // namespace

void addCatalogueOption(QCommandLineParser& parser) {
    parser.addOption({"catalogue",
                      "The catalogue: a file, or a PostgreSQL connection URI "
                      "(postgresql://user@host/dbname).",
                      "FILE|URI"});
}

QString requiredValue(const QCommandLineParser& parser, const QString& option) {
    const QString value = parser.value(option);
    if (value.isEmpty())
        throw UsageError(QStringLiteral("--%1 is required.").arg(option));
    return value;
}

QStringList operands(const QCommandLineParser& parser, int count, const QString& what) {
    const QStringList arguments = parser.positionalArguments().mid(1);
    if (arguments.size() != count)
        throw UsageError(arguments.size() < count
                             ? QStringLiteral("%1 is missing.").arg(what)
                             : QStringLiteral("Too many arguments: %1").arg(arguments.join(' ')));
    return arguments;
}

std::unique_ptr<CatalogConnection> openCatalogue(const QCommandLineParser& parser, bool mayCreate) {
    const QString path = requiredValue(parser, "catalogue");
    // An empty file or database would become a catalogue: only a scan may make one.
    if (!mayCreate && !catalogdb::holdsCatalogue(path))
        throw Failure(
            QStringLiteral("There is no catalogue at %1.").arg(catalogengine::displayName(path)));
    const catalogdb::Preparation prepared = catalogdb::prepare(path);
    if (!prepared.ok)
        throw Failure(prepared.error);
    auto connection = std::make_unique<CatalogConnection>(path, "command line");
    if (!connection->isOpen())
        throw Failure(connection->lastError());
    return connection;
}

void writeOut(const QString& text) {
    if (!write(stdout, text))
        throw cannotWrite();
}

void finishOutput() {
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        throw cannotWrite();
}

void writeErr(const QString& text) {
    write(stderr, text);
    std::fflush(stderr);
}

} // namespace cli
