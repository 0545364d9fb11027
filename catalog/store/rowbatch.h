#pragma once

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <functional>

// Groups a long series of inserts into short transactions, so that they are not written one
// commit each. A batch is committed when its owner says a unit of work is done (a directory) or
// once it has been open for `maxMs`, whichever comes first: other connections see the rows
// arrive, and a crash loses at most the rows of the last fraction of a second.
class RowBatch {
public:
    explicit RowBatch(const QSqlDatabase& db, int maxMs = 100);
    // Commits what was stored: a walk that is cancelled or stopped by a refused row keeps
    // its earlier rows.
    ~RowBatch();
    RowBatch(const RowBatch&) = delete;
    RowBatch& operator=(const RowBatch&) = delete;

    // Opens a transaction unless one is open already. Throws CatalogError.
    void begin();
    // Commits the open transaction, if any. Throws CatalogError.
    void commit();
    // Commits when the open transaction has been open for `maxMs`.
    void commitIfDue();

    // Called after each commit that succeeded, the destructor's included: the rows stored
    // since the last one are in the catalogue now.
    std::function<void()> onCommitted;

private:
    QSqlDatabase m_db;
    int m_maxMs;
    QElapsedTimer m_open; // valid while a transaction is open
};
