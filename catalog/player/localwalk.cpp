#include "localwalk.h"

#include "localfolder.h"

#include <QMetaObject>
#include <QObject>

#include <system_error>

LocalWalk::LocalWalk(QObject* context, const QString& root,
                     std::function<void(CatalogLists)> done) {
    // The context outlives the thread: its owner destroys this walk, which waits, first.
    auto work = [this, context, root, done = std::move(done)] {
        CatalogLists lists = localfolder::emptyLists();
        localfolder::walk(lists, root, root, &m_stop);
        QMetaObject::invokeMethod(
            context, [done, lists = std::move(lists)]() mutable { done(std::move(lists)); },
            Qt::QueuedConnection);
    };
    try {
        m_thread = std::thread(work);
    } catch (const std::system_error&) { // no thread to be had: walk here, the window waiting
        work();
    }
}

LocalWalk::~LocalWalk() {
    stop();
    if (m_thread.joinable())
        m_thread.join();
}
