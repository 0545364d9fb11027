#include "serveraddress.h"

#include "catalogengine.h"

#include <QHash>
#include <libpq-fe.h>
#include <memory>
#include <utility>
#include <vector>

namespace {

using Options = QHash<QString, QString>;

// The URI's settings by libpq's keywords, or why libpq cannot read it.
Options parse(const QString& uri, QString* error) {
    char* message = nullptr;
    std::unique_ptr<PQconninfoOption, decltype(&PQconninfoFree)> options(
        PQconninfoParse(uri.toUtf8().constData(), &message), PQconninfoFree);
    Options found;
    if (!options) {
        if (error)
            *error = message ? QString::fromUtf8(message).trimmed() : QStringLiteral("unreadable");
        PQfreemem(message);
        return found;
    }
    for (const PQconninfoOption* option = options.get(); option->keyword; ++option)
        if (option->val)
            found.insert(QString::fromUtf8(option->keyword), QString::fromUtf8(option->val));
    return found;
}

// What every connection of the program asks for unless the URI says otherwise: a server that
// does not answer is reported rather than waited for, and the server's lists name the program.
constexpr std::pair<const char*, const char*> Defaults[] = {{"connect_timeout", "10"},
                                                            {"application_name", "Catalog"}};

QString quotedOption(const QString& value) {
    QString escaped = value;
    escaped.replace('\\', "\\\\").replace('\'', "\\'");
    return '\'' + escaped + '\'';
}

} // namespace

namespace serveraddress {

QString configure(QSqlDatabase& db, const QString& uri) {
    QString error;
    Options options = parse(uri, &error);
    if (!error.isEmpty())
        return QStringLiteral("\"%1\" is not a catalogue server's address: %2")
            .arg(catalogengine::displayName(uri), error);
    // Qt's driver quotes these itself; the rest go to libpq as they are.
    db.setHostName(options.take("host"));
    db.setDatabaseName(options.take("dbname"));
    db.setUserName(options.take("user"));
    db.setPassword(options.take("password"));
    for (const auto& [keyword, value] : Defaults)
        if (!options.contains(keyword))
            options.insert(keyword, value);
    QStringList settings;
    for (auto it = options.cbegin(); it != options.cend(); ++it)
        settings << it.key() + '=' + quotedOption(it.value());
    settings.sort();
    db.setConnectOptions(settings.join(' '));
    return {};
}

pg_conn* connect(const QString& uri) {
    // The URI comes after the defaults, so its own settings win.
    const QByteArray address = uri.toUtf8();
    std::vector<const char*> keywords, values;
    for (const auto& [keyword, value] : Defaults) {
        keywords.push_back(keyword);
        values.push_back(value);
    }
    keywords.insert(keywords.end(), {"dbname", nullptr});
    values.insert(values.end(), {address.constData(), nullptr});
    return PQconnectdbParams(keywords.data(), values.data(), 1);
}

QString serverName(const QString& uri) {
    const Options options = parse(uri, nullptr);
    const QString host = options.value("host", options.value("hostaddr", "localhost"));
    return host + ':' + options.value("port", "5432");
}

QString connectionFailure(const QString& uri, const QString& libpqMessage) {
    // libpq says "connection to server at "db.home" (10.0.0.2), port 5432 failed: Connection
    // refused" and adds hints on further lines.
    QString reason = libpqMessage.section('\n', 0, 0).trimmed();
    const int failed = reason.lastIndexOf(QLatin1String("failed: "));
    if (failed >= 0)
        reason = reason.mid(failed + 8);
    // The server's own words come after its severity: "FATAL:  database "x" does not exist".
    for (const QLatin1String severity : {QLatin1String("FATAL:"), QLatin1String("ERROR:")})
        if (reason.startsWith(severity))
            reason = reason.mid(severity.size()).trimmed();
    if (reason.isEmpty())
        reason = QStringLiteral("no answer");
    // libpq's hint on the next line, in short: nothing listens where the URI points.
    if (libpqMessage.contains(QLatin1String("Is the server running")))
        reason += QStringLiteral(" (is the server running?)");
    reason[0] = reason[0].toLower();
    const bool refusedLogin = reason.contains(QLatin1String("authentication")) ||
                              reason.contains(QLatin1String("password")) ||
                              reason.contains(QLatin1String("does not exist")) ||
                              reason.contains(QLatin1String("permission"));
    const QString what = refusedLogin ? QStringLiteral("The catalogue server %1 refused the "
                                                       "connection to \"%2\": %3.")
                                      : QStringLiteral("Cannot reach the catalogue server %1 "
                                                       "for \"%2\": %3.");
    return what.arg(serverName(uri), catalogengine::displayName(uri), reason);
}

} // namespace serveraddress
