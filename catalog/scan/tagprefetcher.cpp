#include "tagprefetcher.h"

#include "catalogdb.h"

#include <algorithm>
#include <chrono>
#include <system_error>

namespace {

constexpr std::chrono::milliseconds kPatience{100};

} // namespace

TagPrefetcher::TagPrefetcher(Reader reader, std::vector<QByteArray> localPaths, int lookahead,
                             int workers)
    : m_reader(std::move(reader)), m_paths(std::move(localPaths)),
      m_lookahead(std::max(1, lookahead)), m_results(m_paths.size()), m_ready(m_paths.size(), 0) {
    if (workers <= 0)
        workers = int(std::max(1u, std::thread::hardware_concurrency()));
    workers = std::min(workers, int(m_paths.size()));
    // Fewer readers than asked for still read everything; none at all is an error to report,
    // not a reason to end the program.
    for (int i = 0; i < workers; ++i) {
        try {
            m_workers.emplace_back(&TagPrefetcher::run, this);
        } catch (const std::system_error& e) {
            if (m_workers.empty())
                throw CatalogError(
                    QStringLiteral("No thread could be started to read the files.\n%1")
                        .arg(QString::fromLocal8Bit(e.what())));
            break;
        }
    }
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
    const int count = int(m_paths.size());
    for (;;) {
        int index = 0;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [&] {
                return m_stop || m_next >= count || m_next < m_consumed + m_lookahead;
            });
            if (m_stop || m_next >= count)
                return;
            index = m_next++;
        }
        Mp3Info info = m_reader(m_paths[size_t(index)], m_stop);
        {
            std::lock_guard lock(m_mutex);
            m_results[size_t(index)] = std::move(info);
            m_ready[size_t(index)] = 1;
        }
        m_changed.notify_all();
    }
}

std::optional<Mp3Info> TagPrefetcher::take(int index, const std::function<bool()>& keepWaiting) {
    std::unique_lock lock(m_mutex);
    const auto ready = [&] { return m_ready[size_t(index)] != 0; };
    while (!m_changed.wait_for(lock, kPatience, ready)) {
        if (!keepWaiting)
            continue;
        lock.unlock();
        const bool wait = keepWaiting();
        lock.lock();
        if (!wait)
            return std::nullopt;
    }
    Mp3Info info = std::move(m_results[size_t(index)]);
    m_consumed = index + 1;
    lock.unlock();
    m_changed.notify_all();
    return info;
}
