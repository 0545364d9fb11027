// A second program on a catalogue, for tests that need real processes:
//   catalog_tool [--as-nobody] write PATH FIRST COUNT   prepares PATH, says "open" once it
//                                                      holds it, then adds COUNT tracks, each in
//                                                      a transaction of its own, as a scan does
//   catalog_tool [--as-nobody] prepare PATH             prints why PATH cannot be used, if it can't
//   catalog_tool [--as-nobody] compact PATH             prints why compaction failed, if it did
//   catalog_tool [--as-nobody] volumes PATH             prepares PATH and prints how many disks
//                                                      have a stored volume ("2 volumes"), or
//                                                      why it cannot
//   catalog_tool load PATH UNTIL                       loads the lists again and again until the
//                                                      file UNTIL exists, and prints what it met
//                                                      that no single state of the catalogue
//                                                      holds (a track without its directory)
//   catalog_tool full-disk PATH WHEN                    compacts a copy of PATH on a small disk of
//                                                      its own that fills up before the compact
//                                                      copy (WHEN "before") or before the backup
//                                                      ("before-backup")
// Exit code 0 on success, 1 on a reported failure. "--as-nobody" drops root's rights first, so
// that read-only files and folders are read-only to it.

#include "backgroundcheckpoint.h"
#include "catalogdb.h"
#include "compaction.h"
#include "diskvolumes.h"
#include "listloading.h"

#include <QSet>

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>
#endif

namespace {

int report(const QString& failure) {
    QTextStream(stdout) << failure;
    return failure.isEmpty() ? 0 : 1;
}

QString addTracks(const QString& path, int first, int count) {
    const catalogdb::Preparation prepared = catalogdb::prepare(path);
    if (!prepared.ok)
        return prepared.error;
    CatalogConnection connection(path, "tool");
    if (!connection.isOpen())
        return connection.lastError();
    const QSqlDatabase db = connection.db();
    catalogdb::run(db, "SELECT COUNT(*) FROM Tracks");
    QTextStream(stdout) << "open\n" << Qt::flush;
    catalogdb::run(db, "PRAGMA wal_autocheckpoint=0");
    BackgroundCheckpoint checkpoint(path, 20);
    try {
        for (int i = first; i < first + count; ++i) {
            Transaction transaction(db);
            catalogdb::run(db,
                           "INSERT INTO Tracks (DirID, DiskID, Title, TrackName, Duration, "
                           "Artist, Album) VALUES (1, 1, ?, ?, '00:03:00', 'Artist', 'Album')",
                           {QString("Title %1").arg(i), QString("track %1.mp3").arg(i)});
            transaction.commit();
        }
    } catch (const CatalogError& e) {
        return e.message();
    }
    return {};
}

// How many disks have a volume stored, as the program reads them.
int countVolumes(const QString& path) {
    const catalogdb::Preparation prepared = catalogdb::prepare(path);
    if (!prepared.ok)
        return report(prepared.error);
    CatalogConnection connection(path, "tool");
    if (!connection.isOpen())
        return report(connection.lastError());
    try {
        QTextStream(stdout) << loadDiskVolumes(connection.db()).size() << " volumes\n";
    } catch (const CatalogError& e) {
        return report(e.message());
    }
    return 0;
}

// Each load is one state of the catalogue: every track's directory and disk are in it.
QString loadRepeatedly(const QString& path, const QString& until) {
    CatalogConnection connection(path, "tool");
    if (!connection.isOpen())
        return connection.lastError();
    int loads = 0;
    do {
        CatalogLists lists;
        try {
            LoadCatalog(connection.db(), lists);
        } catch (const CatalogError& e) {
            return e.message();
        }
        QSet<qint32> dirs, disks;
        for (const DirRecord& dir : lists.dirs)
            dirs.insert(dir.DirID);
        for (const DiskRecord& disk : lists.disks)
            disks.insert(disk.DiskID);
        for (const TrackRecord& track : lists.tracks)
            if (track.TrackID && (!dirs.contains(track.DirID) || !disks.contains(track.DiskID)))
                return QStringLiteral("track %1 without its directory %2 or disk %3 (load %4)")
                    .arg(track.TrackID)
                    .arg(track.DirID)
                    .arg(track.DiskID)
                    .arg(loads);
        ++loads;
    } while (!QFileInfo::exists(until));
    return loads > 1 ? QString() : QStringLiteral("loaded only once");
}

bool dropRoot() {
#ifdef Q_OS_UNIX
    if (geteuid() != 0)
        return true;
    return setgid(65534) == 0 && setuid(65534) == 0;
#else
    return true;
#endif
}

// Writes until the disk holding `folder` has no room left.
void fillDisk(const QString& folder) {
    QFile filler(folder + "/filler");
    if (!filler.open(QIODevice::WriteOnly))
        return;
    const QByteArray block(64 * 1024, 'x');
    while (filler.write(block) > 0 && filler.flush()) {
    }
    // The last bytes a full block no longer fitted into.
    while (filler.write("x", 1) == 1 && filler.flush()) {
    }
}

#ifdef Q_OS_LINUX
bool writeText(const char* path, const QByteArray& text) {
    const int fd = open(path, O_WRONLY);
    const bool ok = fd >= 0 && write(fd, text.constData(), text.size()) == text.size();
    if (fd >= 0)
        close(fd);
    return ok;
}
#endif

// Mounts a small disk of this process's own at a new folder, in a mount namespace that ends
// with the process. Must run before any thread starts. Returns the folder, or "" when the
// system does not allow it.
QString mountSmallDisk() {
#ifdef Q_OS_LINUX
    const uid_t uid = geteuid();
    const gid_t gid = getegid();
    if (unshare(uid == 0 ? CLONE_NEWNS : CLONE_NEWUSER | CLONE_NEWNS) != 0)
        return {};
    if (uid != 0 && (!writeText("/proc/self/setgroups", "deny") ||
                     !writeText("/proc/self/uid_map",
                                QByteArray::number(uid) + " " + QByteArray::number(uid) + " 1") ||
                     !writeText("/proc/self/gid_map",
                                QByteArray::number(gid) + " " + QByteArray::number(gid) + " 1")))
        return {};
    if (mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return {};
    char folder[] = "/tmp/catalog-small-disk-XXXXXX";
    if (!mkdtemp(folder))
        return {};
    if (mount("tmpfs", folder, "tmpfs", 0, "size=2m") != 0) {
        rmdir(folder);
        return {};
    }
    return QString::fromLocal8Bit(folder);
#else
    return {};
#endif
}

QString compactOnFullDisk(const QString& disk, const QString& path, const QString& when) {
    const QString copy = disk + "/" + QFileInfo(path).fileName();
    if (!QFile::copy(path, copy))
        return "the catalogue does not fit on the small disk";
    if (when == "before")
        fillDisk(disk);
    return compaction::compact(copy, [&](compaction::Step step) {
        if (step == compaction::Step::Compacted && when == "before-backup")
            fillDisk(disk);
    });
}

void unmount(const QString& disk) {
#ifdef Q_OS_LINUX
    umount(QFile::encodeName(disk).constData());
    rmdir(QFile::encodeName(disk).constData());
#endif
}

} // namespace

int main(int argc, char** argv) {
    const bool fullDisk = argc == 4 && QByteArray(argv[1]) == "full-disk";
    const QString disk = fullDisk ? mountSmallDisk() : QString();
    QCoreApplication app(argc, argv);
    if (fullDisk) {
        if (disk.isEmpty())
            return report("no small disk can be made here");
        const QString failure = compactOnFullDisk(disk, app.arguments()[2], app.arguments()[3]);
        unmount(disk);
        return report(failure);
    }
    QStringList args = app.arguments().mid(1);
    if (!args.isEmpty() && args.first() == "--as-nobody") {
        args.removeFirst();
        if (!dropRoot())
            return report("cannot drop root's rights");
    }
    const QString command = args.value(0);
    const QString path = args.value(1);
    if (command == "write" && args.size() == 4)
        return report(addTracks(path, args[2].toInt(), args[3].toInt()));
    if (command == "prepare" && args.size() == 2)
        return report(catalogdb::prepare(path).error);
    if (command == "compact" && args.size() == 2)
        return report(compaction::compact(path));
    if (command == "volumes" && args.size() == 2)
        return countVolumes(path);
    if (command == "load" && args.size() == 3)
        return report(loadRepeatedly(path, args[2]));
    QTextStream(stderr)
        << "usage: catalog_tool [--as-nobody] write|prepare|compact|volumes PATH ... or "
           "catalog_tool full-disk PATH before|before-backup\n";
    return 2;
}
