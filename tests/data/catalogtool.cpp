// A second program on a catalogue, for tests that need real processes:
//   catalog_tool [--as-nobody] write PATH FIRST COUNT   prepares PATH, says "open" once it
//                                                      holds it, then adds COUNT tracks, each in
//                                                      a transaction of its own, as a scan does
//   catalog_tool [--as-nobody] prepare PATH             prints why PATH cannot be used, if it can't
//   catalog_tool [--as-nobody] compact PATH             prints why compaction failed, if it did
// Exit code 0 on success, 1 on a reported failure. "--as-nobody" drops root's rights first, so
// that read-only files and folders are read-only to it.

#include "backgroundcheckpoint.h"
#include "catalogdb.h"
#include "compaction.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

#ifdef Q_OS_UNIX
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

bool dropRoot() {
#ifdef Q_OS_UNIX
    if (geteuid() != 0)
        return true;
    return setgid(65534) == 0 && setuid(65534) == 0;
#else
    return true;
#endif
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
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
    QTextStream(stderr) << "usage: catalog_tool [--as-nobody] write|prepare|compact PATH ...\n";
    return 2;
}
