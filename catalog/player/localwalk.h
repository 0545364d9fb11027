#pragma once

#include "cataloglists.h"

#include <QString>

#include <atomic>
#include <functional>
#include <thread>

class QObject;

// The walk of the local folder on a thread of its own, so that the window keeps answering
// while a big folder is read. Its lists are handed to `done` on `context`'s thread; a walk
// destroyed before then is stopped and waited for, and `done` is not called.
class LocalWalk {
public:
    LocalWalk(QObject* context, const QString& root, std::function<void(CatalogLists)> done);
    ~LocalWalk();
    LocalWalk(const LocalWalk&) = delete;
    LocalWalk& operator=(const LocalWalk&) = delete;

    // Asks the walk to end soon; its lists are then incomplete.
    void stop() { m_stop = true; }
    bool stopped() const { return m_stop; }

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
