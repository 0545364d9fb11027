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

// Overwrites five pages spread over the file's second half with random bytes, as a failing
// disk would. The catalogue must be closed.
inline bool damagePages(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) || file.size() < 64 * 1024)
        return false;
    const QByteArray header = file.read(18);
    const int pageSize = (quint8(header[16]) << 8) | quint8(header[17]);
    const qint64 pages = file.size() / pageSize;
    QRandomGenerator random(7);
    for (const double at : {0.5, 0.6, 0.7, 0.8, 0.9}) {
        QByteArray noise(pageSize, '\0');
        random.fillRange(reinterpret_cast<quint32*>(noise.data()), pageSize / 4);
        if (!file.seek(qint64(pages * at) * pageSize) || file.write(noise) != pageSize)
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
    const QByteArray header = file.read(18);
    const int pageSize = (quint8(header[16]) << 8) | quint8(header[17]);
    QByteArray noise(pageSize, '\0');
    QRandomGenerator(11).fillRange(reinterpret_cast<quint32*>(noise.data()), pageSize / 4);
    return file.seek((root - 1) * pageSize) && file.write(noise) == pageSize;
}
