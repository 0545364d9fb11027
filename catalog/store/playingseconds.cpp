#include "playingseconds.h"

#include "durations.h"

#include <QSqlDriver>
#include <QVariant>
#include <sqlite3.h>

namespace {

void playingSeconds(sqlite3_context* context, int, sqlite3_value** values) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(values[0]));
    const int bytes = sqlite3_value_bytes(values[0]);
    sqlite3_result_int64(
        context, text ? static_cast<sqlite3_int64>(GetSeconds(QString::fromUtf8(text, bytes))) : 0);
}

} // namespace

void addPlayingSecondsFunction(const QSqlDatabase& db) {
    const QVariant handle = db.isOpen() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return;
    sqlite3* connection = *static_cast<sqlite3* const*>(handle.constData());
    sqlite3_create_function_v2(connection, "playing_seconds", 1,
                               SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                               playingSeconds, nullptr, nullptr, nullptr);
}
