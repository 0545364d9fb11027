#pragma once

#include "mp3info.h"

#include <QByteArray>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// Reads the tags of a list of files on worker threads, a bounded distance ahead of the
// consumer, so that reading files and storing rows overlap. Results are taken in list order.
class TagPrefetcher {
public:
    using Reader =
        std::function<Mp3Info(const QByteArray& localPath, const std::atomic<bool>& stop)>;

    // `workers` 0 means one per processor core.
    TagPrefetcher(Reader reader, std::vector<QByteArray> localPaths, int lookahead = 128,
                  int workers = 0);
    // Tells the readers to stop and waits for them.
    ~TagPrefetcher();
    TagPrefetcher(const TagPrefetcher&) = delete;
    TagPrefetcher& operator=(const TagPrefetcher&) = delete;

    // The result for localPaths[index]; indexes must be taken in increasing order. While the
    // result is not ready, `keepWaiting` is asked every tenth of a second; when it says no,
    // there is no result.
    std::optional<Mp3Info> take(int index, const std::function<bool()>& keepWaiting = {});

private:
    void run();

    const Reader m_reader;
    // Read by every worker at once, so never changed while they run.
    const std::vector<QByteArray> m_paths;
    const int m_lookahead;
    std::vector<Mp3Info> m_results;
    std::vector<char> m_ready; // per path: its result is in m_results
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_next = 0;     // the next path a worker takes
    int m_consumed = 0; // results taken so far
    std::atomic<bool> m_stop = false;
    std::vector<std::thread> m_workers;
};
