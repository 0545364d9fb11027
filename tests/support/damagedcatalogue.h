#pragma once

#include "catalogdb.h"

#include <QFile>
#include <QRandomGenerator>

// A catalogue of `tracks` tracks on one disk, as a scan leaves it.
inline bool makeFilledCatalogue(const QString& path, int tracks) {
    if (!catalogdb::prepare(path).ok)
        return false;
    CatalogConnection c(path, "fill");
    Transaction transaction(c.db());
    catalogdb::run(c.db(), "INSERT INTO Disks VALUES (1, 'Disk', '/media/disk')");
    catalogdb::run(c.db(), "INSERT INTO Dirs VALUES (1, 1, '/')");
    QSqlQuery insert(c.db());
    insert.prepare("INSERT INTO Tracks (DirID, DiskID, Title, TrackName, Duration, Artist, Album) "
                   "VALUES (1, 1, ?, ?, '00:03:00', 'Artist', 'Album')");
    for (int i = 0; i < tracks; ++i) {
        insert.addBindValue(QString("Title %1").arg(i));
        insert.addBindValue(QString("Track number %1.mp3").arg(i));
        catalogdb::exec(insert);
    }
    transaction.commit();
    return true;
}

// The page size a catalogue file's header gives, or 0 when it has no header.
inline int pageSizeOf(const QString& path) {
    QFile file(path);
    const QByteArray header = file.open(QIODevice::ReadOnly) ? file.read(18) : QByteArray();
    return header.size() == 18 ? (quint8(header[16]) << 8) | quint8(header[17]) : 0;
}

// Overwrites page `index` (from 0) of an open catalogue file with random bytes.
inline bool writeNoisePage(QFile& file, qint64 index, int pageSize, QRandomGenerator& random) {
    QByteArray noise(pageSize, '\0');
    random.fillRange(reinterpret_cast<quint32*>(noise.data()), pageSize / 4);
    return pageSize > 0 && file.seek(index * pageSize) && file.write(noise) == pageSize;
}

// Overwrites five pages spread over the file's second half with random bytes, as a failing
// disk would. The catalogue must be closed.
inline bool damagePages(const QString& path) {
    const int pageSize = pageSizeOf(path);
    QFile file(path);
    if (pageSize == 0 || !file.open(QIODevice::ReadWrite) || file.size() < 64 * 1024)
        return false;
    const qint64 pages = file.size() / pageSize;
    QRandomGenerator random(7);
    for (const double at : {0.5, 0.6, 0.7, 0.8, 0.9}) {
        if (!writeNoisePage(file, qint64(pages * at), pageSize, random))
            return false;
    }
    return true;
}

// Overwrites the first page of the index `name` with random bytes. The catalogue must be
// closed.
inline bool damageIndex(const QString& path, const QString& name) {
    qint64 root = 0;
    {
        CatalogConnection c(path, "index");
        QSqlQuery q =
            catalogdb::run(c.db(), "SELECT rootpage FROM sqlite_master WHERE name = ?", {name});
        root = q.next() ? q.value(0).toLongLong() : 0;
    }
    QFile file(path);
    if (root < 2 || !file.open(QIODevice::ReadWrite))
        return false;
    QRandomGenerator random(11);
    return writeNoisePage(file, root - 1, pageSizeOf(path), random);
}
