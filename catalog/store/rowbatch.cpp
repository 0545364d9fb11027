#include "rowbatch.h"

#include "catalogdb.h"

#include <QSqlError>

RowBatch::RowBatch(const QSqlDatabase& db, int maxMs, Commits commits)
    : m_db(db), m_maxMs(maxMs), m_commits(commits) {}

RowBatch::~RowBatch() {
    if (!m_open.isValid())
        return;
    if (m_commits == Commits::Held) {
        m_db.rollback();
        return;
    }
    // A failed statement leaves the transaction open with the rows before it; an engine error
    // that rolled it back already leaves nothing to commit.
    try {
        if (beforeCommit)
            beforeCommit();
    } catch (const CatalogError&) {
        m_db.rollback();
        return;
    }
    if (!m_db.commit())
        m_db.rollback();
    else if (onCommitted)
        onCommitted();
}

void RowBatch::begin() {
    if (m_open.isValid())
        return;
    if (!m_db.transaction())
        throw CatalogError(QStringLiteral("BEGIN\n%1").arg(m_db.lastError().text()),
                           catalogdb::resultCode(m_db.lastError(), m_db.driver()));
    m_open.start();
}

void RowBatch::commit() {
    if (m_commits == Commits::AsItGoes)
        commitOpen();
}

void RowBatch::finish() {
    commitOpen();
}

void RowBatch::commitOpen() {
    if (!m_open.isValid())
        return;
    m_open.invalidate();
    try {
        if (beforeCommit)
            beforeCommit();
    } catch (const CatalogError&) {
        m_db.rollback();
        throw;
    }
    if (!m_db.commit()) {
        const QSqlError error = m_db.lastError();
        m_db.rollback();
        throw CatalogError(QStringLiteral("COMMIT\n%1").arg(error.text()),
                           catalogdb::resultCode(error, m_db.driver()));
    }
    if (onCommitted)
        onCommitted();
}

void RowBatch::commitIfDue() {
    if (m_commits == Commits::AsItGoes && m_open.isValid() && m_open.elapsed() >= m_maxMs)
        commit();
}
