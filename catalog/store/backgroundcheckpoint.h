#pragma once

#include <QString>
#include <condition_variable>
#include <mutex>
#include <thread>

// Moves a catalogue's write-ahead log into the file on a thread of its own, every so often,
// while a long series of small transactions runs elsewhere. Those transactions then never wait
// for the disk: their connection turns its own automatic checkpoints off meanwhile.
class BackgroundCheckpoint {
public:
    explicit BackgroundCheckpoint(const QString& path, int intervalMs = 250);
    // Runs a last checkpoint and waits for the thread.
    ~BackgroundCheckpoint();
    BackgroundCheckpoint(const BackgroundCheckpoint&) = delete;
    BackgroundCheckpoint& operator=(const BackgroundCheckpoint&) = delete;

private:
    void run();

    QString m_path;
    int m_intervalMs;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::thread m_thread;
};
