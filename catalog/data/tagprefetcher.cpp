#include "tagprefetcher.h"

TagPrefetcher::TagPrefetcher(Reader reader, QStringList paths, int lookahead)
    : m_reader(std::move(reader)), m_paths(std::move(paths)), m_lookahead(std::max(1, lookahead)),
      m_results(m_paths.size()) {
    if (!m_paths.isEmpty())
        m_worker = std::thread(&TagPrefetcher::run, this);
}

TagPrefetcher::~TagPrefetcher() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    if (m_worker.joinable())
        m_worker.join();
}

void TagPrefetcher::run() {
    for (int i = 0; i < m_paths.size(); ++i) {
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [&] { return m_stop || i < m_consumed + m_lookahead; });
            if (m_stop)
                return;
        }
        Mp3Info info = m_reader(m_paths[i]);
        {
            std::lock_guard lock(m_mutex);
            m_results[i] = std::move(info);
            m_produced = i + 1;
        }
        m_changed.notify_all();
    }
}

Mp3Info TagPrefetcher::take(int index) {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_produced > index; });
    Mp3Info info = std::move(m_results[index]);
    m_consumed = index + 1;
    lock.unlock();
    m_changed.notify_all();
    return info;
}
