#pragma once

#include "copyplan.h"
#include "volumewatch.h"

#include <QFile>
#include <QObject>
#include <QTemporaryFile>
#include <memory>
#include <vector>

class DiskArrival;
class Prompts;

// Copies planned files into one folder on the event loop, a slice at a time, so the window
// stays usable: asks for each disk before its first file, copies regular files only, never
// overwrites or follows anything in the folder, and never leaves a partial file under a
// track's name.
class CopyJob : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 SliceBytes = 256 * 1024;

    CopyJob(Prompts& prompts, const QString& targetDir, std::vector<copyplan::Item> items,
            QObject* parent = nullptr);
    ~CopyJob() override;

    // While a disk is asked for, the mounted volumes are watched and the question goes on by
    // itself once the disk is in its drive (see diskIsIn). Without this, only the person
    // answers.
    void watchForDisks(VolumeWatch::Source mountedVolumes, int intervalMs,
                       std::vector<DiskVolume> known);
    // Begins on the next turn of the event loop; finished() reports the end.
    void start();
    // Stops before the next slice; the file under way is dropped.
    void cancel();
    bool isRunning() const { return m_running; }

Q_SIGNALS:
    void status(const QString& text);
    // The play-list row whose file is now in the folder.
    void copied(int row);
    // File `file` of `files` (1-based), `bytes` of its `fileBytes` copied so far.
    void progress(int file, int files, qint64 bytes, qint64 fileBytes);
    // True when every file was handled, false when the person cancelled.
    void finished(bool completed);

private:
    enum class Next { Continue, Stop };

    void step();
    Next beginFile();
    bool askForDisk(const copyplan::Item& item);
    Next copySlice();
    Next endFile();
    QString place();
    Next fail(const QString& reason);
    void fileDone();
    void dropPartial();
    void finish(bool completed, const QString& statusText);
    void schedule();
    QString summary() const;

    Prompts& m_prompts;
    QString m_targetDir;
    std::vector<copyplan::Item> m_items;
    size_t m_index = 0;
    QString m_lastDisk;
    DiskArrival* m_diskArrival = nullptr; // a child, while disks are watched
    std::vector<DiskVolume> m_knownVolumes;
    bool m_running = false;
    bool m_cancelRequested = false;
    bool m_stepQueued = false;
    int m_copiedFiles = 0;
    int m_skippedFiles = 0;

    // The file under way.
    std::unique_ptr<QFile> m_source;
    qint64 m_sourceSize = 0; // as it was when opened
    uint m_sourceMode = 0;
    std::unique_ptr<QTemporaryFile> m_partial; // the copy so far, under a name of its own
    QString m_destination;
    qint64 m_copiedBytes = 0;
};
