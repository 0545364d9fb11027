#pragma once

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <functional>

// Groups a long series of inserts into short transactions, so that they are not written one
// commit each. A batch is committed when its owner says a unit of work is done (a directory) or
// once it has been open for `maxMs`, whichever comes first: other connections see the rows
// arrive, and a crash loses at most the rows of the last fraction of a second.
// A held batch is one transaction instead, committed only by finish(): other connections see
// none of its changes until then, and anything else (a cancel, a failure, a crash) leaves the
// catalogue as it was before its first statement.
class RowBatch {
public:
    enum class Commits { AsItGoes, Held };
    explicit RowBatch(const QSqlDatabase& db, int maxMs = 100, Commits commits = Commits::AsItGoes);
    // Commits what was stored: a walk that is cancelled or stopped by a refused row keeps
    // its earlier rows. A held batch not finished is rolled back instead.
    ~RowBatch();
    RowBatch(const RowBatch&) = delete;
    RowBatch& operator=(const RowBatch&) = delete;

    // Opens a transaction unless one is open already. Throws CatalogError.
    void begin();
    // Commits the open transaction, if any; a held batch keeps it open. Throws CatalogError.
    void commit();
    // Commits when the open transaction has been open for `maxMs`; never while held.
    void commitIfDue();
    // Commits the open transaction, if any, held or not. Throws CatalogError.
    void finish();

    // Called before each commit, the destructor's included: rows held back for a batch of
    // their own go in now. May throw CatalogError.
    std::function<void()> beforeCommit;
    // Called after each commit that succeeded, the destructor's included: the rows stored
    // since the last one are in the catalogue now.
    std::function<void()> onCommitted;

private:
    void commitOpen();

    QSqlDatabase m_db;
    int m_maxMs;
    Commits m_commits;
    QElapsedTimer m_open; // valid while a transaction is open
};
