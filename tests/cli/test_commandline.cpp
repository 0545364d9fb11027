// The Catalog program's commands, run as a person runs them from a shell: a real process on
// a real catalogue and real MP3 files.

#include "catalogdb.h"
#include "mountedvolumes.h"
#include "mp3fixture.h"
#include "sqlrows.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlError>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <unistd.h>

namespace {

struct Run {
    int status = -1;
    QString out;
    QString err;
};

Run catalog(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", "C"); // the output is UTF-8 whatever the locale
    // No display: a command must not need one.
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(name);
    process.setProcessEnvironment(environment);
    process.start(CATALOG_PROGRAM, arguments);
    if (!process.waitForFinished(60000))
        qWarning("Catalog did not finish");
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// RFC 4180: records end in CR LF; a quoted field may hold commas, doubled quotes and breaks.
QList<QStringList> readCsv(const QString& text) {
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                field += text[++i];
            else if (c == '"')
                quoted = false;
            else
                field += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            record << field;
            field.clear();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            records << (record << field);
            record.clear();
            field.clear();
            ++i;
        } else {
            field += c;
        }
    }
    return records;
}

// Every row of the catalogue's tables, each prefixed with its table.
QStringList everyRow(const QString& db) {
    CatalogConnection c(db, "every-row");
    QStringList all;
    for (const QString table : {"Disks", "Dirs", "Tracks", "DiskVolumes"})
        for (const QString& row : rows(c.db(), "SELECT * FROM " + table + " ORDER BY 1"))
            all << table + ": " + row;
    for (const QString table : {"DirNameBytes", "TrackNameBytes"})
        for (const QString& row : rows(c.db(), "SELECT *, hex(Bytes) FROM " + table))
            all << table + ": " + row;
    return all;
}

// Whether another connection holds the catalogue's write lock at this moment.
bool writeLocked(const QString& db) {
    const QString name = "lock-probe";
    bool locked = false;
    {
        QSqlDatabase probe = QSqlDatabase::addDatabase("QSQLITE", name);
        probe.setDatabaseName(db);
        probe.setConnectOptions("QSQLITE_BUSY_TIMEOUT=0");
        if (probe.open()) {
            QSqlQuery q(probe);
            locked = !q.exec("BEGIN IMMEDIATE");
            if (!locked)
                q.exec("ROLLBACK");
        }
        probe.close();
    }
    QSqlDatabase::removeDatabase(name);
    return locked;
}

} // namespace

class CommandLine : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString db_;
    QString disk_; // the fixture folder, scanned as the disk's root

    static constexpr auto diskName = "Disk \"One\", side A";

    QString file(const QString& relative) const { return QDir(disk_).filePath(relative); }

    static int count(const QString& db, const QString& statement) {
        CatalogConnection c(db, "count");
        QSqlQuery q = catalogdb::run(c.db(), statement);
        return q.next() ? q.value(0).toInt() : -1;
    }

    // 200 directories of 100 files (links to one), so that a walk takes a while to store;
    // made once.
    QString bigTree() const {
        QDir big(dir_.filePath("big"));
        if (big.exists())
            return big.path();
        const QString song = dir_.filePath("song.mp3");
        if (!fixture::writeMp3(song, {}))
            return {};
        for (int d = 0; d < 200; ++d) {
            big.mkpath(QString::number(d));
            for (int f = 0; f < 100; ++f) {
                const QString path = big.filePath(QString("%1/%2.mp3").arg(d).arg(f));
                if (::link(QFile::encodeName(song).constData(),
                           QFile::encodeName(path).constData()) != 0)
                    return {};
            }
        }
        return big.path();
    }

private slots:
    // One scan of a fixture folder, which every other case reads.
    void initTestCase() {
        QVERIFY(dir_.isValid());
        db_ = dir_.filePath("catalog.mdb");
        disk_ = dir_.filePath("disk");
        QVERIFY(QDir().mkpath(file("Rock, \"Live\"")) && QDir().mkpath(file("Café")));
        fixture::Mp3Params song;
        song.id3v2 = fixture::Tag{"Hello, \"World\"", "The Quotes", "First, Last"};
        QVERIFY(fixture::writeMp3(file("Rock, \"Live\"/01 \"Hi\", there.mp3"), song));
        song.id3v2 = fixture::Tag{"Blue", "Miles", "Kind of Blue"};
        QVERIFY(fixture::writeMp3(file("Café/02 blue.mp3"), song));
        QVERIFY(fixture::writeMp3(file("Café/03 plain.mp3"), {}));

        const Run scan =
            catalog({"scan", "--catalogue", db_, "--disk", diskName, "--drive", disk_, disk_});
        QCOMPARE(scan.err, QString());
        QCOMPARE(scan.status, 0);
        QCOMPARE(scan.out, QString("Catalogued 3 files in 2 directories.\n"));
    }

    void scanIntoTheSameDiskAddsNoDiskRow() {
        const QString other = dir_.filePath("other.mdb");
        for (const char* how : {"--add", "--add", "--replace"})
            QCOMPARE(catalog({"scan", "--catalogue", other, "--disk", "D", "--drive", disk_, how,
                              file("Café")})
                         .status,
                     0);
        CatalogConnection c(other, "check");
        QSqlQuery q = catalogdb::run(c.db(), "SELECT COUNT(*), MIN(Drive) FROM Disks");
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 1);
        QCOMPARE(q.value(1).toString(), disk_);
        q = catalogdb::run(c.db(), "SELECT DISTINCT DirName FROM Dirs");
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QString("/Café")); // below the drive, not the volume
    }

    void scansStartedAtOnceUnderANewNameMakeOneDisk() {
        for (int round = 0; round < 8; ++round) {
            const QString db = dir_.filePath(QString("atonce%1.mdb").arg(round));
            std::vector<std::unique_ptr<QProcess>> scans;
            for (int i = 0; i < 3; ++i) {
                scans.push_back(std::make_unique<QProcess>());
                scans.back()->start(CATALOG_PROGRAM, {"scan", "--catalogue", db, "--disk", "New",
                                                      "--add", file("Café")});
            }
            for (const auto& scan : scans) {
                QVERIFY(scan->waitForFinished(60000));
                QCOMPARE(scan->exitCode(), 0);
            }
            QCOMPARE(count(db, "SELECT COUNT(*) FROM Disks"), 1);
        }
    }

    // Every scan stores the identity of the volume it read, for its disk.
    void scanStoresTheVolume() {
        const VolumeIdentity volume = mountedvolumes::volumeAt(disk_);
        QVERIFY(!volume.fileSystem.isEmpty() && volume.capacity > 0);
        CatalogConnection c(db_, "volume");
        QCOMPARE(rows(c.db(),
                      "SELECT Label, Uuid, FileSystem, Capacity FROM DiskVolumes "
                      "JOIN Disks USING (DiskID) WHERE DiskName = ?",
                      {diskName}),
                 QStringList{QStringList({volume.label, volume.uuid, volume.fileSystem,
                                          QString::number(volume.capacity)})
                                 .join('|')});
    }

    // A disk catalogued already is not scanned again without a word: the command says what it
    // holds and how to go on, and writes nothing.
    void scanningACataloguedDiskAgainAsksHow() {
        const QString db = dir_.filePath("again.mdb");
        QCOMPARE(catalog({"scan", "--catalogue", db, "--disk", "Jazz", disk_}).status, 0);
        const QStringList before = everyRow(db);
        const QDateTime modified = QFileInfo(db).lastModified();
        QTest::qWait(20); // a write would move the time stamp

        const Run again = catalog({"scan", "--catalogue", db, "--disk", "Jazz", disk_});
        QCOMPARE(again.status, 1);
        QCOMPARE(again.out, QString());
        for (const QString said :
             {"\"Jazz\"", "catalogued already", "2 directories", "3 tracks", "--replace", "--add"})
            QVERIFY2(again.err.contains(said), qPrintable(again.err));
        QCOMPARE(everyRow(db), before);
        QCOMPARE(QFileInfo(db).lastModified(), modified);

        // Adding, as before: a second set of rows beside the first.
        const Run added = catalog({"scan", "--catalogue", db, "--disk", "Jazz", "--add", disk_});
        QCOMPARE(added.status, 0);
        QCOMPARE(added.out, QString("Catalogued 3 files in 2 directories.\n"));
        QCOMPARE(count(db, "SELECT COUNT(*) FROM Tracks"), 6);
        QCOMPARE(count(db, "SELECT COUNT(*) FROM Disks"), 1);
    }

    // A replace puts the new rows in place of the disk's earlier ones, under the same DiskID.
    void replaceTakesThePlaceOfTheDisksRows() {
        const QString db = dir_.filePath("replaced.mdb");
        QCOMPARE(
            catalog({"scan", "--catalogue", db, "--disk", "Jazz", "--drive", disk_, file("Café")})
                .status,
            0);
        const int diskId = count(db, "SELECT DiskID FROM Disks");
        const int lastTrack = count(db, "SELECT MAX(TrackID) FROM Tracks");
        const Run replaced = catalog(
            {"scan", "--catalogue", db, "--disk", "Jazz", "--drive", disk_, "--replace", disk_});
        QCOMPARE(replaced.err, QString());
        QCOMPARE(replaced.status, 0);
        QCOMPARE(replaced.out, QString("Catalogued 3 files in 2 directories, in place of the "
                                       "earlier 2 files in 1 directory.\n"));
        QCOMPARE(count(db, "SELECT COUNT(*) FROM Disks"), 1);
        QCOMPARE(count(db, "SELECT DiskID FROM Disks"), diskId);
        QCOMPARE(count(db, "SELECT COUNT(*) FROM Tracks WHERE DiskID = " + QString::number(diskId)),
                 3);
        QCOMPARE(count(db, "SELECT COUNT(*) FROM Dirs"), 2);
        QCOMPARE(count(db, "SELECT MIN(TrackID) FROM Tracks"), lastTrack + 1);
        QCOMPARE(count(db, "SELECT COUNT(*) FROM DiskVolumes"), 1);
    }

    void searchFindsNamesTagsAndDirectories() {
        const Run names = catalog({"search", "--catalogue", db_, "HI\","});
        QCOMPARE(names.status, 0);
        const QStringList fields = names.out.chopped(1).split('\t');
        QCOMPARE(fields,
                 QStringList({diskName, disk_, file("Rock, \"Live\"/01 \"Hi\", there.mp3"),
                              "Hello, \"World\"", "The Quotes", "First, Last", "00:00:03"}));
        QVERIFY(QFile::exists(fields[2]));

        const Run tags = catalog({"search", "--catalogue", db_, "--tags", "blue"});
        QCOMPARE(tags.out.count('\n'), 1); // the title and the album of one track; not "03"
        QVERIFY(tags.out.startsWith(QString(diskName) + '\t' + disk_ + '\t' +
                                    file("Café/02 blue.mp3")));

        const Run dirs = catalog({"search", "--catalogue", db_, "--dirs", "CAFÉ"});
        QCOMPARE(dirs.out, QString(diskName) + '\t' + disk_ + '\t' + file("Café") + "\t\t\t\t\n");
        QCOMPARE(catalog({"search", "--catalogue", db_, "--dirs", "cafe"}).out, dirs.out);

        QCOMPARE(catalog({"search", "--catalogue", db_, "nothing like it"}).out, QString());
    }

    void exportedCsvReadsBack() {
        const Run run = catalog({"export", "--catalogue", db_, "--format", "csv"});
        QCOMPARE(run.status, 0);
        const QList<QStringList> rows = readCsv(run.out);
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows[0], QStringList({"DiskName", "Drive", "DirName", "TrackName", "Title",
                                       "Artist", "Album", "Duration", "Path"}));
        // Post-order: the walk stores "Rock, "Live"" after "Café".
        QCOMPARE(rows[3], QStringList({diskName, disk_, "/Rock, \"Live\"", "01 \"Hi\", there.mp3",
                                       "Hello, \"World\"", "The Quotes", "First, Last", "00:00:03",
                                       file("Rock, \"Live\"/01 \"Hi\", there.mp3")}));
        QCOMPARE(rows[2][3], QString("03 plain.mp3"));
        QCOMPARE(rows[2][4], QString()); // no tag
    }

    // A stored report by its caption or its query's name; an unknown name is wrong usage.
    void reportWritesAStoredQueryAsCsv() {
        const Run dirs = catalog({"report", "--catalogue", db_, "dirs by disk"});
        QCOMPARE(dirs.status, 0);
        const QList<QStringList> rows = readCsv(dirs.out);
        QCOMPARE(rows.size(), 3); // the header and two directories
        QVERIFY(rows[0].contains("DirName"));
        QVERIFY(rows[1].contains("/Café") || rows[2].contains("/Café"));
        const Run all = catalog({"report", "--catalogue", db_, "Full List"});
        QCOMPARE(readCsv(all.out).size(), 4);
        QCOMPARE(catalog({"report", "--catalogue", db_, "Best Of"}).status, 2);
    }

    void m3uListsFullPathsOfOneDisk() {
        const Run run =
            catalog({"export", "--catalogue", db_, "--disk", diskName, "--format", "m3u"});
        QCOMPARE(run.status, 0);
        const QStringList paths = run.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(paths.size(), 3);
        for (const QString& path : paths)
            QVERIFY2(QFile::exists(path), qPrintable(path));
        const Run missing =
            catalog({"export", "--catalogue", db_, "--disk", "No such", "--format", "m3u"});
        QCOMPARE(missing.status, 1);
        QVERIFY(missing.err.contains("No such"));
    }

    // Values with line breaks and tabs, and a track whose directory row is gone: each track
    // stays one record, and no name adds entries to a play list.
    void oddValuesStayOneRecordEach() {
        const QString db = dir_.filePath("odd.mdb");
        QVERIFY(catalogdb::prepare(db).ok);
        {
            CatalogConnection c(db, "odd");
            catalogdb::run(c.db(), "INSERT INTO Disks VALUES (1, 'D', '/m')");
            catalogdb::run(c.db(), "INSERT INTO Dirs VALUES (1, 1, '/A')");
            catalogdb::run(c.db(),
                           "INSERT INTO Tracks VALUES (1, 1, 1, ?, ?, '00:00:01', ?, "
                           "'Al')",
                           {"Line\r\nbreak", "evil\n#EXTINF:1,x\nother.mp3", "Tab\tbed"});
            catalogdb::run(c.db(), "INSERT INTO Tracks VALUES (2, 99, 1, 'T', 'orphan.mp3', "
                                   "'00:00:02', 'Ar', 'Al')");
        }
        const QList<QStringList> csv =
            readCsv(catalog({"export", "--catalogue", db, "--format", "csv"}).out);
        QCOMPARE(csv.size(), 3);
        QCOMPARE(csv[1][4], QString("Line\r\nbreak"));
        QCOMPARE(csv[2][3], QString("orphan.mp3"));
        QCOMPARE(readCsv(catalog({"report", "--catalogue", db, "Full List"}).out).size(), 3);

        const QStringList hits =
            catalog({"search", "--catalogue", db, ""}).out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(hits.size(), 2);
        QCOMPARE(hits[0].split('\t').size(), 7);
        QCOMPARE(hits[0].split('\t')[4], QString("Tab bed"));

        const Run m3u = catalog({"export", "--catalogue", db, "--format", "m3u"});
        QCOMPARE(m3u.status, 1);
        QCOMPARE(m3u.out, QString("/m/orphan.mp3\n"));
        QVERIFY2(m3u.err.contains("line break"), qPrintable(m3u.err));
    }

    // Only a scan makes a catalogue; output that cannot be written is a failure.
    void readingCommandsNeitherCreateNorHideFailedOutput() {
        const QString empty = dir_.filePath("empty.mdb");
        QVERIFY(fixture::writeBytes(empty, {}));
        for (const QStringList& arguments :
             {QStringList{"search", "--catalogue", empty, "x"},
              QStringList{"export", "--catalogue", empty, "--format", "csv"},
              QStringList{"report", "--catalogue", empty, "Full List"}}) {
            const Run run = catalog(arguments);
            QCOMPARE(run.status, 1);
            QVERIFY(run.err.contains("no catalogue"));
        }
        QCOMPARE(QFileInfo(empty).size(), 0);

        for (const QStringList& arguments : {QStringList{"report", "--catalogue", db_, "Full List"},
                                             QStringList{"search", "--catalogue", db_, ""}}) {
            QProcess process;
            process.setStandardOutputFile("/dev/full");
            process.start(CATALOG_PROGRAM, arguments);
            QVERIFY(process.waitForFinished(60000));
            QCOMPARE(process.exitCode(), 1);
            QVERIFY(process.readAllStandardError().contains("cannot write"));
        }
    }

    void interruptStopsTheWalkAndKeepsTheRows() {
        const QString big = bigTree();
        const QString db = dir_.filePath("interrupted.mdb");
        QVERIFY(catalogdb::prepare(db).ok);
        const auto stored = [&db] { return count(db, "SELECT COUNT(*) FROM Tracks"); };
        QProcess process;
        process.start(CATALOG_PROGRAM, {"scan", "--catalogue", db, "--disk", "Big", big});
        QVERIFY(process.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(stored() > 0, 30000);
        QCOMPARE(::kill(static_cast<pid_t>(process.processId()), SIGINT), 0);
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 130);
        const int kept = stored();
        QVERIFY2(kept < 20000, qPrintable(QString::number(kept)));
        QVERIFY(QString::fromUtf8(process.readAllStandardOutput())
                    .startsWith(QString("Scan cancelled: kept %1 files in ").arg(kept)));
    }

    // A scan killed outright leaves a sound catalogue: what was committed, each track with its
    // directory, and at most the directory being stored then without all of its tracks.
    void killedScanLeavesConsistentRows() {
        const QString big = bigTree();
        const QString db = dir_.filePath("killed.mdb");
        QVERIFY(catalogdb::prepare(db).ok);
        QProcess process;
        process.start(CATALOG_PROGRAM, {"scan", "--catalogue", db, "--disk", "Big", big});
        QVERIFY(process.waitForStarted());
        int seen = 0;
        QTRY_VERIFY_WITH_TIMEOUT((seen = count(db, "SELECT COUNT(*) FROM Tracks")) > 0, 30000);
        QCOMPARE(::kill(static_cast<pid_t>(process.processId()), SIGKILL), 0);
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitStatus(), QProcess::CrashExit);

        CatalogConnection c(db, "check");
        QCOMPARE(rows(c.db(), "PRAGMA integrity_check"), QStringList{"ok"});
        const int kept = count(db, "SELECT COUNT(*) FROM Tracks");
        QVERIFY2(kept >= seen && kept < 20000, qPrintable(QString::number(kept)));
        QCOMPARE(count(db, "SELECT COUNT(*) FROM Tracks LEFT JOIN Dirs USING (DirID) "
                           "WHERE Dirs.DiskID IS NOT Tracks.DiskID"),
                 0);
        QVERIFY(count(db, "SELECT COUNT(*) FROM Dirs WHERE (SELECT COUNT(*) FROM Tracks "
                          "WHERE Tracks.DirID = Dirs.DirID) < 100") <= 1);
    }

    // A replace killed outright while it stores its rows leaves the disk's earlier rows, all of
    // them and exactly as they were, in a sound catalogue.
    void killedReplaceLeavesTheEarlierRows() {
        const QString big = bigTree();
        const QString db = dir_.filePath("killed replace.mdb");
        QCOMPARE(
            catalog({"scan", "--catalogue", db, "--disk", "Big", "--drive", disk_, disk_}).status,
            0);
        const QStringList before = everyRow(db);
        QCOMPARE(before.filter("Tracks: ").size(), 3);

        QProcess process;
        process.start(CATALOG_PROGRAM,
                      {"scan", "--catalogue", db, "--disk", "Big", "--replace", big});
        QVERIFY(process.waitForStarted());
        // The replace's one transaction holds the write lock from its first deletion to its
        // commit: held for half a second, it is storing rows.
        QElapsedTimer lockedFor;
        QElapsedTimer waited;
        waited.start();
        while (!(lockedFor.isValid() && lockedFor.elapsed() >= 500)) {
            QVERIFY2(process.state() == QProcess::Running, "the replace ended too soon");
            QVERIFY2(waited.elapsed() < 30000, "the replace never held the catalogue");
            if (!writeLocked(db))
                lockedFor.invalidate();
            else if (!lockedFor.isValid())
                lockedFor.start();
            QTest::qWait(10);
        }
        QCOMPARE(::kill(static_cast<pid_t>(process.processId()), SIGKILL), 0);
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitStatus(), QProcess::CrashExit);

        {
            CatalogConnection c(db, "check");
            QCOMPARE(rows(c.db(), "PRAGMA integrity_check"), QStringList{"ok"});
        }
        QCOMPARE(everyRow(db), before);
    }

    void foreignFileIsRefusedUntouched() {
        const QString foreign = dir_.filePath("notes.mdb");
        const QByteArray bytes = "shopping list: milk, eggs\n";
        QVERIFY(fixture::writeBytes(foreign, bytes));
        for (const QStringList& arguments :
             {QStringList{"search", "--catalogue", foreign, "x"},
              QStringList{"scan", "--catalogue", foreign, "--disk", "D", disk_}}) {
            const Run run = catalog(arguments);
            QCOMPARE(run.status, 1);
            QVERIFY(!run.err.isEmpty());
            QCOMPARE(run.out, QString());
        }
        QFile kept(foreign);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), bytes);
        QVERIFY(!QFile::exists(foreign + "-wal"));
        QCOMPARE(catalog({"search", "--catalogue", dir_.filePath("absent.mdb"), "x"}).status, 1);
        QVERIFY(!QFile::exists(dir_.filePath("absent.mdb")));
    }

    void wrongUsageExitsWithTwo() {
        const QList<QStringList> wrong = {
            {"frobnicate"},
            {"search", "x"},                                         // no catalogue
            {"search", "--catalogue", db_},                          // no text
            {"search", "--catalogue", db_, "--dirs", "--tags", "x"}, // both kinds
            {"export", "--catalogue", db_, "--format", "xml"},
            {"scan", "--catalogue", db_, "--disk", "D", "--drive", file("Café"), disk_},
            {"scan", "--catalogue", db_, "--disk", "D", "--replace", "--add", disk_},
            {"search", "--catalogue", db_, "--colour", "x"},
        };
        for (const QStringList& arguments : wrong) {
            const Run run = catalog(arguments);
            QVERIFY2(run.status == 2, qPrintable(arguments.join(' ') + ": " + run.err));
            QVERIFY(run.err.contains("--help"));
            QCOMPARE(run.out, QString());
        }
    }

    void helpAndVersion() {
        const Run help = catalog({"--help"});
        QCOMPARE(help.status, 0);
        for (const char* command : {"scan", "search", "export", "report"})
            QVERIFY(help.out.contains(command));
        const Run scanHelp = catalog({"scan", "--help"});
        QCOMPARE(scanHelp.status, 0);
        for (const char* option : {"--drive", "--replace", "--add"})
            QVERIFY2(scanHelp.out.contains(option), option);
        const Run version = catalog({"--version"});
        QCOMPARE(version.status, 0);
        QVERIFY(version.out.startsWith("Catalog "));
    }
};

QTEST_GUILESS_MAIN(CommandLine)
#include "test_commandline.moc"
