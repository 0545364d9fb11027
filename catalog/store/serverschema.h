#pragma once

#include "catalogdb.h"

#include <QSqlDatabase>
#include <QString>

// The catalogue's schema in a PostgreSQL database: the same tables, columns, reports' views and
// indexes as a catalogue file, and a one-row table that keeps the schema's version.
namespace serverschema {

// An empty database becomes a catalogue; one holding other tables is refused untouched.
catalogdb::Preparation prepare(const QString& uri);
// VACUUM (ANALYZE); "" when done, else why not.
QString vacuum(const QString& uri);
// Sets each table's identity counter above its largest identifier.
void resumeCounters(const QSqlDatabase& db);
// A file's report view as the server keeps it: each column named as in the file.
QString serverView(const QString& fileView);

} // namespace serverschema
