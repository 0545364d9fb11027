#pragma once

#include "catalogedits.h"
#include "mp3info.h"
#include "scanlisting.h"
#include "volumeidentity.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class RowWriter;

class RowBatch;
class TagPrefetcher;

// Walks a disk's directory tree into the catalogue: every directory holding MP3 files gets a
// Dirs row and every MP3 file a Tracks row. The walk is depth-first and post-order (a
// directory's files after all of its subdirectories), in ascending name order, and each row
// is stored the moment it is complete, committed a directory at a time (within a large
// directory every tenth of a second). The tree is listed first; then worker threads read
// the files' tags a little ahead of the rows being stored. The tag reader must therefore be
// safe to call from several threads at once. Names that are not valid UTF-8 are walked and
// read through their own bytes, and stored as scanlisting::readableName shows them.
//
// In Replace mode the scan takes the place of the disk's earlier rows instead (its DiskID
// stays): the rows are stored in one transaction that first deletes the disk's directories and
// tracks (and the bytes of their names), and is committed only once the walk is complete. Until
// then other connections see the earlier rows, whole; a cancel, a failure or the program's end
// at any moment leaves them as they were. That transaction holds the catalogue's write lock for
// the whole storing: another program's changes wait for it meanwhile.
class DiskScanner {
public:
    enum class Mode {
        Add,    // the rows are added to whatever the disk holds already
        Replace // the rows replace what the disk holds, all at once at the end
    };

    // Reads the file named by `localPath`, the bytes the file system holds; should return soon
    // once `stop` is set (the scan was cancelled), with anything.
    using TagReader =
        std::function<Mp3Info(const QByteArray& localPath, const std::atomic<bool>& stop)>;

    struct Counts {
        int directories = 0;           // Dirs rows stored
        int files = 0;                 // Tracks rows stored
        int unreadableFiles = 0;       // stored with empty tags and "00:00:00"
        int unreadableDirectories = 0; // could not be listed, skipped
    };

    // `volumeRoot` is the root of the disk: directory names are stored below it.
    DiskScanner(
        const QSqlDatabase& db, qint64 diskId, const QString& volumeRoot,
        TagReader reader = qOverload<const QByteArray&, const std::atomic<bool>&>(readMp3Info));
    ~DiskScanner();
    DiskScanner(DiskScanner&&);

    // Called on the calling thread before each directory entry is listed, before a directory's
    // rows are stored, every 64 files, and every tenth of a second while a file takes long to
    // read; it may process window events. Returning false cancels the walk there: nothing more
    // is stored, and the file being read is given up within a second.
    std::function<bool(const QString& directory)> onStep;
    // Threads reading files ahead of the rows being stored; 0 means one per processor core.
    int readerThreads = 0;
    Mode mode = Mode::Add;
    // The volume being scanned. When set, the scan stores it, with the time the storing
    // started, as its disk's volume (in place of an earlier one): in Add mode with the first
    // rows, in Replace mode in the one transaction. A replace without it forgets the disk's
    // earlier volume.
    std::optional<VolumeIdentity> volume;

    // Scans `path` and everything below it. Failures to store a row throw CatalogError; in Add
    // mode rows stored before stay, in Replace mode the disk's earlier rows do. A replace whose
    // `path` cannot be listed at all changes nothing either.
    void NavigateTree(const QString& path);
    // Catalogues the MP3 files of one directory.
    void addFiles(const QString& directory);

    // In Add mode, the rows committed so far. In Replace mode, the rows stored in the open
    // transaction while it runs (so that progress advances), all of them once committed, and
    // none after a cancel or a failure, since nothing changed then. unreadableDirectories
    // counts what the walk met, either way.
    Counts counts() const;
    // MP3 files the walk listed, known before the first of them is stored: with
    // counts().files, how far the storing has come.
    int filesListed() const { return m_filesListed; }
    bool cancelled() const { return m_cancelled; }
    // In Replace mode, whether the walk ended without replacing anything (cancelled, failed,
    // or its start could not be read): the disk's earlier rows are kept as they were.
    bool keptEarlierRows() const { return m_keptEarlierRows; }
    // In Replace mode, once the replace is committed: the rows it deleted.
    const catalogedits::DiskContents& replacedRows() const { return m_replaced; }

private:
    struct Directory {
        QString path;         // as people read it
        QByteArray localPath; // as the file system holds it
        std::vector<scanlisting::Entry> files;
    };

    bool step(const QString& directory);
    bool collect(const QString& path, const QByteArray& localPath,
                 std::vector<Directory>& directories);
    void store(const std::vector<Directory>& directories);
    // Stores the directories' rows in `batch`; false when the walk was cancelled.
    bool storeRows(const std::vector<Directory>& directories, TagPrefetcher& prefetcher,
                   RowBatch& batch);
    // Before the first row: the volume, and in Replace mode the deletion of the earlier rows.
    void storeStart();
    qint64 storeDirectory(const Directory& directory);
    void storeTrack(qint64 dirId, const scanlisting::Entry& file, const Mp3Info& info);
    qint64 storeTrackReturningId(const QVariantList& row);
    // Keeps the bytes of a name that is not UTF-8 beside its row.
    void storeNameBytes(QSqlQuery& insert, const char* statement, qint64 id,
                        const QByteArray& bytes);

    QSqlDatabase m_db;
    qint64 m_diskId;
    QString m_volumeRoot;
    TagReader m_reader;
    QSqlQuery m_insertDir;
    QSqlQuery m_insertTrack;      // prepared when first needed
    QSqlQuery m_insertDirBytes;   // likewise
    QSqlQuery m_insertTrackBytes; // likewise
    std::unique_ptr<RowWriter> m_tracks;
    Counts m_counts;  // rows committed
    Counts m_pending; // rows stored in the transaction still open
    bool m_cancelled = false;
    bool m_keptEarlierRows = false;
    catalogedits::DiskContents m_replaced;
    int m_filesListed = 0;
};
