#include "diskscanner.h"

#include "catalogdb.h"
#include "dirlisting.h"

#include <QDir>
#include <QSqlError>

namespace {

void prepare(QSqlQuery& query, const QString& statement) {
    if (!query.prepare(statement))
        throw CatalogError(statement + "\n" + query.lastError().text());
}

} // namespace

DiskScanner::DiskScanner(const QSqlDatabase& db, qint64 diskId, const QString& volumeRoot,
                         TagReader reader)
    : m_diskId(diskId), m_volumeRoot(volumeRoot), m_reader(std::move(reader)), m_insertDir(db),
      m_insertTrack(db) {
    prepare(m_insertDir, "INSERT INTO Dirs (DiskID, DirName) VALUES (?, ?)");
    prepare(m_insertTrack, "INSERT INTO Tracks (DirID, DiskID, Title, TrackName, Duration, "
                           "Artist, Album) VALUES (?, ?, ?, ?, ?, ?, ?)");
}

bool DiskScanner::step(const QString& directory) {
    if (!m_cancelled && onStep && !onStep(directory))
        m_cancelled = true;
    return !m_cancelled;
}

void DiskScanner::NavigateTree(const QString& path) {
    bool readable = false;
    const QStringList subdirectories = dirlisting::subdirectories(path, &readable);
    if (!readable) {
        ++m_counts.unreadableDirectories;
        return;
    }
    for (const QString& subdirectory : subdirectories) {
        if (!step(path))
            return;
        NavigateTree(subdirectory);
    }
    if (!step(path))
        return;
    addFiles(path);
}

void DiskScanner::addFiles(const QString& directory) {
    const QStringList files = dirlisting::files(directory, "*.mp3");
    if (files.isEmpty())
        return;
    m_insertDir.addBindValue(m_diskId);
    m_insertDir.addBindValue(dirlisting::pathBelowVolume(directory, m_volumeRoot));
    catalogdb::exec(m_insertDir);
    const qint64 dirId = m_insertDir.lastInsertId().toLongLong();
    ++m_counts.directories;

    const QDir dir(directory);
    for (const QString& file : files) {
        if (m_cancelled || (onStep && m_counts.files % 64 == 63 && !step(directory)))
            return;
        const Mp3Info info = m_reader(dir.filePath(file));
        if (!info.readable)
            ++m_counts.unreadableFiles;
        m_insertTrack.addBindValue(dirId);
        m_insertTrack.addBindValue(m_diskId);
        m_insertTrack.addBindValue(info.title);
        m_insertTrack.addBindValue(file);
        m_insertTrack.addBindValue(info.readable ? info.duration : QStringLiteral("00:00:00"));
        m_insertTrack.addBindValue(info.artist);
        m_insertTrack.addBindValue(info.album);
        catalogdb::exec(m_insertTrack);
        ++m_counts.files;
    }
}
