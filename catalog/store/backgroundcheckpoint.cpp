#include "backgroundcheckpoint.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <atomic>

BackgroundCheckpoint::BackgroundCheckpoint(const QString& path, int intervalMs)
    : m_path(path), m_intervalMs(intervalMs), m_thread(&BackgroundCheckpoint::run, this) {}

BackgroundCheckpoint::~BackgroundCheckpoint() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

// A connection belongs to the thread that made it, so this thread opens its own.
void BackgroundCheckpoint::run() {
    static std::atomic<int> counter{0};
    const QString name = QStringLiteral("catalog-checkpoint-%1").arg(++counter);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
        db.setDatabaseName(m_path);
        if (db.open()) {
            QSqlQuery(db).exec("PRAGMA busy_timeout=1000");
            bool stop = false;
            while (!stop) {
                {
                    std::unique_lock lock(m_mutex);
                    m_wake.wait_for(lock, std::chrono::milliseconds(m_intervalMs),
                                    [this] { return m_stop; });
                    stop = m_stop;
                }
                QSqlQuery(db).exec("PRAGMA wal_checkpoint(PASSIVE)");
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
}
