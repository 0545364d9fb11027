#include "clicommon.h"

#include "catalogdb.h"

#include <QFileInfo>
#include <cstdio>

namespace cli {

namespace {

void write(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
}

} // namespace

void addCatalogueOption(QCommandLineParser& parser) {
    parser.addOption({"catalogue", "The catalogue file.", "FILE"});
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
    if (!mayCreate && !QFileInfo::exists(path))
        throw Failure(QStringLiteral("There is no catalogue at %1.").arg(path));
    const catalogdb::Preparation prepared = catalogdb::prepare(path);
    if (!prepared.ok)
        throw Failure(prepared.error);
    auto connection = std::make_unique<CatalogConnection>(path, "command line");
    if (!connection->isOpen())
        throw Failure(connection->lastError());
    return connection;
}

void writeOut(const QString& text) {
    write(stdout, text);
}

void writeErr(const QString& text) {
    write(stderr, text);
    std::fflush(stderr);
}

} // namespace cli
