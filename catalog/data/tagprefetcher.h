#pragma once

#include "mp3info.h"

#include <QStringList>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Reads the tags of a list of files on a worker thread, a bounded distance ahead of the
// consumer, so that reading files and storing rows overlap. Results are taken in list order.
class TagPrefetcher {
public:
    using Reader = std::function<Mp3Info(const QString& path)>;

    TagPrefetcher(Reader reader, QStringList paths, int lookahead = 128);
    // Stops reading and waits for the worker.
    ~TagPrefetcher();
    TagPrefetcher(const TagPrefetcher&) = delete;
    TagPrefetcher& operator=(const TagPrefetcher&) = delete;

    // The result for paths[index]; indexes must be taken in increasing order.
    Mp3Info take(int index);

private:
    void run();

    Reader m_reader;
    QStringList m_paths;
    int m_lookahead;
    std::vector<Mp3Info> m_results;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_produced = 0;
    int m_consumed = 0;
    bool m_stop = false;
    std::thread m_worker;
};
