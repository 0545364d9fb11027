#pragma once

#include "catalogdb.h"

#include <QSqlDatabase>
#include <QString>
#include <memory>

class ReportCursor;
class RowReader;
class RowWriter;

// Something held for as long as a long series of writes runs (a scan), undone when it ends.
class LongWrite {
public:
    virtual ~LongWrite() = default;
};

// What differs between a catalogue kept in a file and one kept on a database server. The
// engine is chosen once, from the catalogue's location, when a connection is made; everything
// above it works on either through this interface and Qt SQL.
class CatalogEngine {
public:
    virtual ~CatalogEngine() = default;

    // The Qt SQL driver a connection uses.
    virtual QString driverName() const = 0;
    // Points a connection not yet opened at `location`; why it cannot be, or "".
    virtual QString configure(QSqlDatabase& db, const QString& location) const = 0;
    // The session's settings, once it is open.
    virtual void tune(const QSqlDatabase& db) const = 0;
    // Why opening failed, in the program's words (never holding a password).
    virtual QString openFailure(const QString& location, const QSqlError& error) const = 0;

    // Makes sure `location` holds a catalogue (see catalogdb::prepare).
    virtual catalogdb::Preparation prepare(const QString& location,
                                           catalogdb::PageCheck pages) const = 0;
    // Reads every page of the catalogue, where the engine keeps pages the program can read.
    virtual void checkPages(const QString& location) const = 0;
    // The engine's code for an error, as one of the codes catalogdb::failureOf tells apart.
    virtual int resultCode(const QSqlError& error) const = 0;
    // Begins a transaction that no other program writes beside until it ends.
    virtual void beginWriting(const QSqlDatabase& db) const = 0;
    // Inside a transaction: every later statement of it reads the same state of the catalogue.
    virtual void readOneState(const QSqlDatabase& db) const = 0;

    // The rows of a statement through the fastest interface the engine offers.
    virtual std::unique_ptr<RowReader> rows(const QSqlDatabase& db,
                                            const QString& statement) const = 0;
    // Stores many rows into a table, in batches where that is faster.
    virtual std::unique_ptr<RowWriter> rowWriter(const QSqlDatabase& db, const QString& table,
                                                 const QStringList& columns) const = 0;
    virtual std::unique_ptr<LongWrite> beginLongWrite(const QSqlDatabase& db) const = 0;
    // A report's rows, read on a connection of the cursor's own.
    virtual std::unique_ptr<ReportCursor> reportCursor(const QString& location,
                                                       const QString& statement) const = 0;

    // Rewrites the catalogue compactly; "" when done, else why not.
    virtual QString compact(const QString& location) const = 0;
    // What "Compact Database" does here, for the person to read before it runs.
    virtual QString compactionWords() const = 0;
    // After rows were stored with identifiers of their own: new rows get identifiers above
    // theirs.
    virtual void resumeCounters(const QSqlDatabase& db) const = 0;
    // After many rows were stored at once: the planner learns the tables' new sizes.
    virtual void refreshStatistics(const QSqlDatabase& db) const = 0;
    // The larger of two values in the engine's SQL.
    virtual QString greatest(const QString& a, const QString& b) const = 0;
    // The seconds of a column of playing times ("hh:mm:ss", anything else 0) in the engine's SQL.
    virtual QString playingSeconds(const QString& column) const = 0;
    // An ORDER BY key for a column: a text compared with ASCII case ignored, NULLs first
    // ascending and last descending.
    virtual QString orderKey(const QString& column, bool text, bool descending) const = 0;
};

namespace catalogengine {

// A libpq connection URI ("postgresql://…" or "postgres://…") names a server catalogue; anything
// else is a file.
bool isServer(const QString& location);
const CatalogEngine& forLocation(const QString& location);
const CatalogEngine& forConnection(const QSqlDatabase& db);
const CatalogEngine& forDriver(const QSqlDriver* driver);
// The location as messages show it: a file's native path, a server URI without its password.
QString displayName(const QString& location);
// A location as the settings keep it: a server URI loses its password.
QString storable(const QString& location);
// A file that is there, or any server.
bool mayExist(const QString& location);

} // namespace catalogengine
