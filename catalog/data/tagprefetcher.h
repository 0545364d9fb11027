#pragma once

#include "mp3info.h"

#include <QStringList>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Reads the tags of a list of files on worker threads, a bounded distance ahead of the
// consumer, so that reading files and storing rows overlap. Results are taken in list order.
class TagPrefetcher {
public:
    using Reader = std::function<Mp3Info(const QString& path)>;

    // `workers` 0 means one per processor core.
    TagPrefetcher(Reader reader, QStringList paths, int lookahead = 128, int workers = 0);
    // Stops reading and waits for the workers.
    ~TagPrefetcher();
    TagPrefetcher(const TagPrefetcher&) = delete;
    TagPrefetcher& operator=(const TagPrefetcher&) = delete;

    // The result for paths[index]; indexes must be taken in increasing order.
    Mp3Info take(int index);

private:
    void run();

    Reader m_reader;
    // Read by every worker at once, so never changed after construction: a non-const access
    // would detach a list still shared with the caller, on several threads at a time.
    const QStringList m_paths;
    int m_lookahead;
    std::vector<Mp3Info> m_results;
    std::vector<char> m_ready; // per path: its result is in m_results
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_next = 0;     // the next path a worker takes
    int m_consumed = 0; // results taken so far
    bool m_stop = false;
    std::vector<std::thread> m_workers;
};
