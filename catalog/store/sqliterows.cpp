#include "sqliterows.h"

#include "catalogdb.h"
#include "textarena.h"

#include <QSqlDriver>
#include <sqlite3.h>

SqliteRows::SqliteRows(const QSqlDatabase& db, const QString& statement) : m_statement(statement) {
    const QVariant handle = db.isOpen() ? db.driver()->handle() : QVariant();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
        m_db = *static_cast<sqlite3* const*>(handle.constData());
    if (!m_db)
        throw CatalogError(statement + "\nThe catalogue is not open.");
    const QByteArray text = statement.toUtf8();
    const int code = sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &m_stmt, nullptr);
    if (code != SQLITE_OK)
        throw CatalogError(statement + "\n" + QString::fromUtf8(sqlite3_errmsg(m_db)), code & 0xff);
}

SqliteRows::~SqliteRows() {
    sqlite3_finalize(m_stmt);
}

bool SqliteRows::next() {
    const int code = sqlite3_step(m_stmt);
    if (code == SQLITE_ROW)
        return true;
    if (code == SQLITE_DONE)
        return false;
    throw CatalogError(m_statement + "\n" + QString::fromUtf8(sqlite3_errmsg(m_db)), code & 0xff);
}

qint32 SqliteRows::integer(int column) const {
    return sqlite3_column_int(m_stmt, column);
}

qint64 SqliteRows::integer64(int column) const {
    return sqlite3_column_int64(m_stmt, column);
}

QString SqliteRows::text(int column) const {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    if (!bytes)
        return {};
    return QString::fromUtf8(bytes, sqlite3_column_bytes(m_stmt, column));
}

QByteArray SqliteRows::blob(int column) const {
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(m_stmt, column));
    return QByteArray(bytes, bytes ? sqlite3_column_bytes(m_stmt, column) : 0);
}

QString SqliteRows::text(int column, TextArena& arena) const {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    if (!bytes)
        return {};
    return arena.add(bytes, sqlite3_column_bytes(m_stmt, column));
}

SharedText SqliteRows::text(int column, TextPool& pool) const {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    if (!bytes)
        return {};
    return pool.intern(bytes, sqlite3_column_bytes(m_stmt, column));
}
