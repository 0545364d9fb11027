#include "catalogengine.h"
#include "engines.h"
#include "pgcopy.h"
#include "serveraddress.h"
#include "serverreportcursor.h"
#include "serverschema.h"

#include <QSqlError>
#include <QSqlQuery>

// A catalogue in a PostgreSQL database, reached through Qt's driver; the list loader and the
// scan's writer talk to libpq on the driver's own connection.
using namespace catalogdb::codes;

namespace {

// Any number the program's own writers agree on: an immediate transaction waits for it.
constexpr const char* writersLock = "SELECT pg_advisory_xact_lock(4348547)";

} // namespace

int serverResultCode(const QString& state) {
    if (state.startsWith(QLatin1String("08")) || state.startsWith(QLatin1String("57P")))
        return Unreachable;
    if (state == QLatin1String("40P01") || state == QLatin1String("40001") ||
        state == QLatin1String("55P03") || state == QLatin1String("55006") ||
        state == QLatin1String("53300"))
        return Busy;
    if (state == QLatin1String("25006") || state == QLatin1String("42501"))
        return ReadOnly;
    if (state == QLatin1String("53100"))
        return Full;
    if (state == QLatin1String("XX001") || state == QLatin1String("XX002"))
        return Corrupt;
    return 1; // an error the program has no words of its own for
}

namespace {

// A scan's many small commits do not each wait for the server's disk, as a file's do not wait
// for its own: a crash of the server may lose the last of them, never leave half of one.
class UnsyncedCommits : public LongWrite {
public:
    explicit UnsyncedCommits(const QSqlDatabase& db) : m_db(db) {
        QSqlQuery(m_db).exec("SET synchronous_commit TO OFF");
    }
    ~UnsyncedCommits() override { QSqlQuery(m_db).exec("SET synchronous_commit TO ON"); }

private:
    QSqlDatabase m_db;
};

// Whether a text is made of digits alone.
QString allDigits(const QString& text) {
    return QStringLiteral("ltrim(%1, '0123456789') = ''").arg(text);
}

class ServerEngine : public CatalogEngine {
public:
    QString driverName() const override { return QStringLiteral("QPSQL"); }
    QString configure(QSqlDatabase& db, const QString& location) const override {
        return serveraddress::configure(db, location);
    }
    void tune(const QSqlDatabase& db) const override {
        // The server's notices (a view dropped that was not there) are not for the person.
        QSqlQuery(db).exec("SET client_min_messages TO WARNING");
    }
    QString openFailure(const QString& location, const QSqlError& error) const override {
        return serveraddress::connectionFailure(location, error.databaseText());
    }
    catalogdb::Preparation prepare(const QString& location, catalogdb::PageCheck) const override {
        return serverschema::prepare(location);
    }
    void checkPages(const QString&) const override {
        // The server checks its own pages as it reads them.
    }
    int resultCode(const QSqlError& error) const override {
        if (error.type() == QSqlError::ConnectionError)
            return Unreachable;
        return serverResultCode(error.nativeErrorCode());
    }
    void beginWriting(const QSqlDatabase& db) const override {
        catalogdb::run(db, "BEGIN");
        catalogdb::run(db, writersLock);
    }
    void readOneState(const QSqlDatabase& db) const override {
        catalogdb::run(db, "SET TRANSACTION ISOLATION LEVEL REPEATABLE READ");
    }
    std::unique_ptr<RowReader> rows(const QSqlDatabase& db,
                                    const QString& statement) const override {
        return std::make_unique<PgCopyRows>(db, statement);
    }
    std::unique_ptr<RowWriter> rowWriter(const QSqlDatabase& db, const QString& table,
                                         const QStringList& columns) const override {
        return std::make_unique<PgCopyWriter>(db, table, columns);
    }
    std::unique_ptr<LongWrite> beginLongWrite(const QSqlDatabase& db) const override {
        return std::make_unique<UnsyncedCommits>(db);
    }
    QString compact(const QString& location) const override {
        return serverschema::vacuum(location);
    }
    QString compactionWords() const override {
        return QStringLiteral("The catalogue is on a database server: compacting it asks the "
                              "server to reclaim the room of deleted rows and to refresh its "
                              "statistics (VACUUM (ANALYZE)). The server keeps its own backups; "
                              "no backup file is made.");
    }
    QString greatest(const QString& a, const QString& b) const override {
        return QStringLiteral("GREATEST(%1, %2)").arg(a, b);
    }
    // As the player counts them: hours of any length before the last six characters. The
    // length is tested in a CASE of its own since the server may test the parts of an AND in
    // any order.
    QString playingSeconds(const QString& column) const override {
        const QString hours = QStringLiteral("substr(%1, 1, length(%1) - 6)").arg(column);
        const QString minutes = QStringLiteral("substr(%1, length(%1) - 4, 2)").arg(column);
        const QString seconds = QStringLiteral("substr(%1, length(%1) - 1)").arg(column);
        return QStringLiteral("CASE WHEN length(%1) BETWEEN 8 AND 15 THEN CASE WHEN %2 AND %3 "
                              "AND %4 THEN CAST(%5 AS BIGINT) * 3600 + CAST(%6 AS BIGINT) * 60 + "
                              "CAST(%7 AS BIGINT) ELSE 0 END ELSE 0 END")
            .arg(column, allDigits(hours), allDigits(minutes), allDigits(seconds), hours, minutes,
                 seconds);
    }
    QString orderKey(const QString& column, bool text, bool descending) const override {
        // Texts compared byte by byte with ASCII letters lowered, as a file compares them.
        return (text ? "lower(" + column + " COLLATE \"C\")" : column) +
               (descending ? " DESC NULLS LAST" : " NULLS FIRST");
    }
    std::unique_ptr<ReportCursor> reportCursor(const QString& location,
                                               const QString& statement) const override {
        return std::make_unique<ServerReportCursor>(location, statement);
    }
    void resumeCounters(const QSqlDatabase& db) const override { serverschema::resumeCounters(db); }
    void refreshStatistics(const QSqlDatabase& db) const override {
        // The server's own analysis comes a minute or more after the rows.
        catalogdb::run(db, "ANALYZE Disks, Dirs, Tracks");
    }
};

} // namespace

const CatalogEngine& serverEngine() {
    static const ServerEngine engine;
    return engine;
}
