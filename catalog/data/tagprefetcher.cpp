#include "tagprefetcher.h"

#include <algorithm>

TagPrefetcher::TagPrefetcher(Reader reader, QStringList paths, int lookahead, int workers)
    : m_reader(std::move(reader)), m_paths(std::move(paths)), m_lookahead(std::max(1, lookahead)),
      m_results(m_paths.size()), m_ready(m_paths.size(), 0) {
    if (workers <= 0)
        workers = int(std::max(1u, std::thread::hardware_concurrency()));
    workers = std::min<int>(workers, m_paths.size());
    for (int i = 0; i < workers; ++i)
        m_workers.emplace_back(&TagPrefetcher::run, this);
}

TagPrefetcher::~TagPrefetcher() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    for (std::thread& worker : m_workers)
        worker.join();
}

// Each worker takes the next path not yet taken, as long as it is within reach of the consumer.
void TagPrefetcher::run() {
    for (;;) {
        int index = 0;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [&] {
                return m_stop || m_next >= m_paths.size() || m_next < m_consumed + m_lookahead;
            });
            if (m_stop || m_next >= m_paths.size())
                return;
            index = m_next++;
        }
        Mp3Info info = m_reader(m_paths[index]);
        {
            std::lock_guard lock(m_mutex);
            m_results[index] = std::move(info);
            m_ready[index] = 1;
        }
        m_changed.notify_all();
    }
}

Mp3Info TagPrefetcher::take(int index) {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_ready[index] != 0; });
    Mp3Info info = std::move(m_results[index]);
    m_consumed = index + 1;
    lock.unlock();
    m_changed.notify_all();
    return info;
}
