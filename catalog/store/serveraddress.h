#pragma once

#include <QSqlDatabase>
#include <QString>

struct pg_conn;

// A server catalogue's location is a libpq connection URI ("postgresql://user@host:port/db?…"),
// read by libpq itself. The password, where the URI holds one, is used but never shown.
namespace serveraddress {

// Points a QPSQL connection at the URI; why it cannot be, or "".
QString configure(QSqlDatabase& db, const QString& uri);
// A libpq connection of the caller's own to the URI, with the settings configure() gives Qt's
// driver; the caller checks its status and finishes it.
pg_conn* connect(const QString& uri);
// The server as messages name it: "db.home:5432", or a socket folder and port.
QString serverName(const QString& uri);
// What went wrong connecting, in the program's words, from libpq's message.
QString connectionFailure(const QString& uri, const QString& libpqMessage);

} // namespace serveraddress
