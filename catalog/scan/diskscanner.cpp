#include "diskscanner.h"

#include "catalogdb.h"
#include "catalogengine.h"
#include "dirlisting.h"
#include "diskvolumes.h"
#include "rowbatch.h"
#include "rowwriter.h"
#include "tagprefetcher.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSqlError>

namespace {

// A directory's bytes below the volume root, starting with the separator.
QByteArray localBelow(const QByteArray& localPath, const QString& volumeRoot) {
    QByteArray root = QFile::encodeName(QDir::fromNativeSeparators(volumeRoot));
    while (root.endsWith('/'))
        root.chop(1);
    QByteArray below = localPath;
    if (below.startsWith(root) && (below.size() == root.size() || below.at(root.size()) == '/'))
        below = below.mid(root.size());
    while (below.size() > 1 && below.endsWith('/'))
        below.chop(1);
    return below.startsWith('/') ? below : '/' + below;
}

const QStringList trackColumns = {"DirID",    "DiskID", "Title", "TrackName",
                                  "Duration", "Artist", "Album"};

} // namespace

DiskScanner::DiskScanner(const QSqlDatabase& db, qint64 diskId, const QString& volumeRoot,
                         TagReader reader)
    : m_db(db), m_diskId(diskId), m_volumeRoot(volumeRoot), m_reader(std::move(reader)),
      m_insertDir(db), m_insertTrack(db), m_insertDirBytes(db), m_insertTrackBytes(db),
      m_tracks(catalogengine::forConnection(db).rowWriter(db, "Tracks", trackColumns)) {
    catalogdb::prepareStatement(m_insertDir,
                                "INSERT INTO Dirs (DiskID, DirName) VALUES (?, ?) RETURNING DirID");
}

DiskScanner::~DiskScanner() = default;
DiskScanner::DiskScanner(DiskScanner&&) = default;

bool DiskScanner::step(const QString& directory) {
    if (!m_cancelled && onStep && !onStep(directory))
        m_cancelled = true;
    return !m_cancelled;
}

DiskScanner::Counts DiskScanner::counts() const {
    if (mode == Mode::Add)
        return m_counts;
    Counts counts = m_counts;
    counts.directories += m_pending.directories;
    counts.files += m_pending.files;
    counts.unreadableFiles += m_pending.unreadableFiles;
    return counts;
}

// A replace keeps the disk's earlier rows until it is committed.
void DiskScanner::NavigateTree(const QString& path) {
    m_keptEarlierRows = mode == Mode::Replace;
    std::vector<Directory> directories;
    if (!collect(path, QFile::encodeName(path), directories))
        return;
    // Every directory listed has its entry, with files or without: none means that `path`
    // itself could not be listed, which must not empty the disk.
    if (mode == Mode::Replace && directories.empty())
        return;
    store(directories);
}

void DiskScanner::addFiles(const QString& directory) {
    m_keptEarlierRows = mode == Mode::Replace;
    const QByteArray localPath = QFile::encodeName(directory);
    scanlisting::Listing listing = scanlisting::list(localPath);
    if (mode == Mode::Replace && !listing.readable) {
        ++m_counts.unreadableDirectories;
        return;
    }
    store({{directory, localPath, std::move(listing.mp3Files)}});
}

// Lists the tree in the order its rows are stored: each directory after its subdirectories.
bool DiskScanner::collect(const QString& path, const QByteArray& localPath,
                          std::vector<Directory>& directories) {
    scanlisting::Listing listing = scanlisting::list(localPath);
    if (!listing.readable) {
        ++m_counts.unreadableDirectories;
        return true;
    }
    const QDir dir(path);
    for (const scanlisting::Entry& subdirectory : listing.subdirectories) {
        if (!step(path) || !collect(QDir::toNativeSeparators(dir.filePath(subdirectory.name)),
                                    subdirectory.localPath, directories))
            return false;
    }
    if (!step(path))
        return false;
    directories.push_back({path, localPath, std::move(listing.mp3Files)});
    return true;
}

// Stores the rows while workers read the files ahead of them.
void DiskScanner::store(const std::vector<Directory>& directories) {
    std::vector<QByteArray> localPaths;
    for (const Directory& directory : directories) {
        for (const scanlisting::Entry& file : directory.files)
            localPaths.push_back(file.localPath);
    }
    m_filesListed += static_cast<int>(localPaths.size());
    TagPrefetcher prefetcher(m_reader, std::move(localPaths), 128, readerThreads);
    const auto longWrite = catalogengine::forConnection(m_db).beginLongWrite(m_db);
    const bool replacing = mode == Mode::Replace;
    // A replace that ends any other way than by its commit changed nothing: the batch rolls
    // back (as it goes out of scope, before this does) and the counts say so.
    struct UnlessCommitted {
        DiskScanner& scanner;
        ~UnlessCommitted() {
            if (scanner.m_keptEarlierRows) {
                scanner.m_pending = {};
                scanner.m_replaced = {};
            }
        }
    } const unlessCommitted{*this};
    RowBatch batch(m_db, 100, replacing ? RowBatch::Commits::Held : RowBatch::Commits::AsItGoes);
    // A summary counts what is in the catalogue: rows whose commit failed (a full disk) are not.
    m_pending = {};
    batch.beforeCommit = [this] { m_tracks->flush(); };
    batch.onCommitted = [this] {
        m_counts.directories += m_pending.directories;
        m_counts.files += m_pending.files;
        m_counts.unreadableFiles += m_pending.unreadableFiles;
        m_pending = {};
    };
    batch.begin();
    storeStart();
    if (!storeRows(directories, prefetcher, batch) || m_cancelled)
        return;
    batch.finish();
    m_keptEarlierRows = false;
}

void DiskScanner::storeStart() {
    if (mode == Mode::Replace)
        m_replaced = catalogedits::deleteDiskContents(m_db, m_diskId);
    if (volume)
        saveDiskVolume(m_db, m_diskId, *volume, QDateTime::currentDateTimeUtc());
    else if (mode == Mode::Replace)
        forgetDiskVolume(m_db, m_diskId);
}

bool DiskScanner::storeRows(const std::vector<Directory>& directories, TagPrefetcher& prefetcher,
                            RowBatch& batch) {
    int next = 0;
    for (const Directory& directory : directories) {
        if (directory.files.empty())
            continue;
        if (!step(directory.path))
            return false;
        batch.begin();
        const qint64 dirId = storeDirectory(directory);
        // What the window shows at a step (progress, grids) is what is committed: rows wait
        // for a slow file no longer than for a fast one. A held batch commits at the end only.
        const auto committedStep = [&] {
            batch.commit();
            return step(directory.path);
        };
        for (const scanlisting::Entry& file : directory.files) {
            if (m_cancelled ||
                (onStep && (m_counts.files + m_pending.files) % 64 == 63 && !committedStep()))
                return false;
            const std::optional<Mp3Info> info = prefetcher.take(next++, committedStep);
            if (!info)
                return false;
            batch.begin();
            storeTrack(dirId, file, *info);
            batch.commitIfDue();
        }
        batch.commit();
    }
    return true;
}

qint64 DiskScanner::storeDirectory(const Directory& directory) {
    const QString below = dirlisting::pathBelowVolume(directory.path, m_volumeRoot);
    m_insertDir.addBindValue(m_diskId);
    m_insertDir.addBindValue(below);
    catalogdb::exec(m_insertDir);
    ++m_pending.directories;
    const qint64 dirId = m_insertDir.next() ? m_insertDir.value(0).toLongLong() : 0;
    m_insertDir.finish();
    const QByteArray belowBytes = localBelow(directory.localPath, m_volumeRoot);
    if (QFile::encodeName(below) != belowBytes)
        storeNameBytes(m_insertDirBytes, "INSERT INTO DirNameBytes VALUES (?, ?)", dirId,
                       belowBytes);
    return dirId;
}

void DiskScanner::storeTrack(qint64 dirId, const scanlisting::Entry& file, const Mp3Info& info) {
    const QVariantList row{dirId,
                           m_diskId,
                           catalogdb::textOrEmpty(info.title),
                           file.name,
                           info.readable ? info.duration : QStringLiteral("00:00:00"),
                           catalogdb::textOrEmpty(info.artist),
                           catalogdb::textOrEmpty(info.album)};
    const QByteArray nameBytes = file.localPath.mid(file.localPath.lastIndexOf('/') + 1);
    if (QFile::encodeName(file.name) != nameBytes)
        storeNameBytes(m_insertTrackBytes, "INSERT INTO TrackNameBytes VALUES (?, ?)",
                       storeTrackReturningId(row), nameBytes);
    else
        m_tracks->add(row);
    ++m_pending.files;
    if (!info.readable)
        ++m_pending.unreadableFiles;
}

// A track whose TrackID is needed at once goes in alone, after the rows held for a batch.
qint64 DiskScanner::storeTrackReturningId(const QVariantList& row) {
    m_tracks->flush();
    if (m_insertTrack.lastQuery().isEmpty())
        catalogdb::prepareStatement(m_insertTrack,
                                    QStringLiteral("INSERT INTO Tracks (%1) VALUES "
                                                   "(?, ?, ?, ?, ?, ?, ?) RETURNING TrackID")
                                        .arg(trackColumns.join(", ")));
    for (const QVariant& value : row)
        m_insertTrack.addBindValue(value);
    catalogdb::exec(m_insertTrack);
    const qint64 id = m_insertTrack.next() ? m_insertTrack.value(0).toLongLong() : 0;
    m_insertTrack.finish();
    return id;
}

void DiskScanner::storeNameBytes(QSqlQuery& insert, const char* statement, qint64 id,
                                 const QByteArray& bytes) {
    if (insert.lastQuery().isEmpty())
        catalogdb::prepareStatement(insert, QString::fromLatin1(statement));
    insert.addBindValue(id);
    insert.addBindValue(bytes);
    catalogdb::exec(insert);
}
