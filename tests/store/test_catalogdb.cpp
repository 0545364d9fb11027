// The catalogue file: schema of a new catalogue and the upgrade of older ones, refusal of files
// that are not catalogues, the start-up probe, the shared lookups, the all-or-nothing deletions
// and the disks' volumes.

#include "catalogdb.h"
#include "catalogedits.h"
#include "diskvolumes.h"
#include "lookups.h"
#include "runtestclasses.h"
#include "sqlrows.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

QString column(const QSqlDatabase& db, const QString& statement) {
    const QStringList found = rows(db, statement);
    return found.isEmpty() ? QString() : found.first();
}

// Statements run on a plain connection, as another SQLite tool would: no pragmas of ours.
void runPlain(const QString& path, const QStringList& statements) {
    const QString name = "plain";
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        for (const QString& statement : statements)
            catalogdb::run(db, statement);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

QString plainJournalMode(const QString& path) {
    QString mode;
    const QString name = "plain-journal";
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
        db.setDatabaseName(path);
        if (db.open())
            mode = column(db, "PRAGMA journal_mode");
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return mode;
}

const QString catalogueTables[] = {
    "CREATE TABLE Disks (DiskID INTEGER PRIMARY KEY AUTOINCREMENT, DiskName TEXT, Drive TEXT)",
    "CREATE TABLE Dirs (DirID INTEGER PRIMARY KEY AUTOINCREMENT, DiskID INTEGER, DirName TEXT)",
};

// What a refused file must still be: its bytes, its time stamp and its folder's entries.
struct FileState {
    QByteArray bytes;
    QDateTime modified;
    QStringList folder;
    bool operator==(const FileState&) const = default;
};

FileState stateOf(const QString& path) {
    FileState state;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        state.bytes = file.readAll();
    state.modified = QFileInfo(path).lastModified();
    state.folder = QFileInfo(path).absoluteDir().entryList(QDir::AllEntries | QDir::Hidden |
                                                           QDir::System | QDir::NoDotAndDotDot);
    return state;
}

QString newCatalogue(const QTemporaryDir& dir, const QString& name = "catalog.mdb") {
    const QString path = dir.filePath(name);
    const catalogdb::Preparation prepared = catalogdb::prepare(path);
    if (!prepared.ok)
        qWarning() << prepared.error;
    return prepared.ok ? path : QString();
}

const QStringList viewNames = {"Directories by Disk", "Full List", "Tracks by Disk",
                               "Tracks by Disk and Directory"};

} // namespace

class NewCatalogue : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    void tablesColumnsAndCounters() {
        const QString path = dir_.filePath("new.mdb");
        const catalogdb::Preparation prepared = catalogdb::prepare(path);
        QVERIFY2(prepared.ok, qPrintable(prepared.error));
        QVERIFY(prepared.created);

        CatalogConnection c(path, "test");
        const QSqlDatabase db = c.db();
        const auto columns = [&](const QString& table) {
            QStringList names;
            for (const QString& row : rows(db, "PRAGMA table_info(" + table + ")"))
                names << row.section('|', 1, 1) + (row.section('|', 5, 5) == "1" ? "*" : "");
            return names;
        };
        QCOMPARE(columns("Disks"), QStringList({"DiskID*", "DiskName", "Drive"}));
        QCOMPARE(columns("Dirs"), QStringList({"DirID*", "DiskID", "DirName"}));
        QCOMPARE(columns("Tracks"), QStringList({"TrackID*", "DirID", "DiskID", "Title",
                                                 "TrackName", "Duration", "Artist", "Album"}));
        QCOMPARE(column(db, "PRAGMA user_version"), QString::number(catalogdb::SchemaVersion));

        // Identifiers are never reused, even after the highest row was deleted.
        for (const QString table : {"Disks", "Dirs", "Tracks"}) {
            catalogdb::run(db, "INSERT INTO " + table + " DEFAULT VALUES");
            catalogdb::run(db, "INSERT INTO " + table + " DEFAULT VALUES");
            catalogdb::run(db, "DELETE FROM " + table + " WHERE rowid=2");
            catalogdb::run(db, "INSERT INTO " + table + " DEFAULT VALUES");
            QCOMPARE(rows(db, "SELECT rowid FROM " + table), QStringList({"1", "3"}));
        }
    }

    void viewsIndexesAndJournal() {
        const QString path = newCatalogue(dir_, "views.mdb");
        QVERIFY(!path.isEmpty());
        QCOMPARE(plainJournalMode(path), "wal");

        CatalogConnection c(path, "test");
        const QSqlDatabase db = c.db();
        QCOMPARE(rows(db, "SELECT name FROM sqlite_master WHERE type='view' ORDER BY name"),
                 viewNames);

        QStringList indexed;
        for (const QString table : {"Disks", "Dirs", "Tracks"})
            for (const QString& index : rows(db, "PRAGMA index_list(" + table + ")")) {
                const QStringList cols =
                    rows(db, "PRAGMA index_info(\"" + index.section('|', 1, 1) + "\")");
                if (cols.size() == 1)
                    indexed << table + "(" + cols.first().section('|', 2, 2) + ")";
            }
        for (const QString wanted :
             {"Tracks(TrackName)", "Tracks(DirID)", "Tracks(DiskID)", "Dirs(DiskID)"})
            QVERIFY2(indexed.contains(wanted), qPrintable(wanted));

        catalogdb::run(db, "INSERT INTO Disks VALUES (1, 'Disk One', '/media/one')");
        catalogdb::run(db, "INSERT INTO Dirs VALUES (1, 1, '/Rock')");
        catalogdb::run(db, "INSERT INTO Tracks VALUES (1, 1, 1, 'T', 't.mp3', '00:01:00', "
                           "'Ar', 'Al')");
        for (const QString& view : viewNames) {
            const QStringList found = rows(db, "SELECT * FROM \"" + view + "\"");
            QCOMPARE(found.size(), 1);
            QVERIFY2(found.first().contains("Disk One"), qPrintable(view));
        }
    }

    void emptyFileBecomesCatalogue() {
        const QString path = dir_.filePath("empty.mdb");
        QVERIFY(QFile(path).open(QIODevice::WriteOnly));
        QCOMPARE(QFileInfo(path).size(), 0);
        const catalogdb::Preparation prepared = catalogdb::prepare(path);
        QVERIFY2(prepared.ok, qPrintable(prepared.error));
        QVERIFY(prepared.created);
        QCOMPARE(catalogdb::countTracks(path, nullptr), 0);
    }

    void preparingAgainKeepsRows() {
        const QString path = newCatalogue(dir_, "again.mdb");
        runPlain(path, {"INSERT INTO Disks (DiskName, Drive) VALUES ('d', '/m')"});
        const catalogdb::Preparation again = catalogdb::prepare(path);
        QVERIFY2(again.ok, qPrintable(again.error));
        QVERIFY(!again.created);
        CatalogConnection c(path, "test");
        QCOMPARE(rows(c.db(), "SELECT * FROM Disks"), QStringList({"1|d|/m"}));
    }

    // Every start prepares the catalogue: one that is already current is only read.
    void preparingACurrentCatalogueWritesNothing() {
        const QString path = newCatalogue(dir_, "current.mdb");
        const FileState before = stateOf(path);
        QTest::qWait(20); // a write would move the time stamp
        const catalogdb::Preparation again = catalogdb::prepare(path);
        QVERIFY2(again.ok, qPrintable(again.error));
        QVERIFY(stateOf(path) == before);
    }

    // Made by another SQLite tool: the tables and rows are there, the views are not.
    void foreignCatalogueGetsViews() {
        const QString path = dir_.filePath("foreign.mdb");
        runPlain(path, {catalogueTables[0], catalogueTables[1],
                        "CREATE TABLE Tracks (TrackID INTEGER PRIMARY KEY, DirID INTEGER, "
                        "DiskID INTEGER, Title VARCHAR(30), TrackName VARCHAR(255), "
                        "Duration CHAR(8), Artist VARCHAR(30), Album VARCHAR(30))",
                        "INSERT INTO Tracks VALUES (7, 1, 1, 'T', 'a.mp3', '00:00:01', 'A', 'B')"});
        const catalogdb::Preparation prepared = catalogdb::prepare(path);
        QVERIFY2(prepared.ok, qPrintable(prepared.error));
        QVERIFY(!prepared.created);
        CatalogConnection c(path, "test");
        QCOMPARE(rows(c.db(), "SELECT name FROM sqlite_master WHERE type='view' ORDER BY name"),
                 viewNames);
        QCOMPARE(rows(c.db(), "SELECT TrackID, TrackName FROM Tracks"), QStringList{"7|a.mp3"});
        QCOMPARE(column(c.db(), "PRAGMA user_version"), QString::number(catalogdb::SchemaVersion));
    }

    // A catalogue of every older version, with rows in it, gains every table, view and index
    // of a new one in one upgrade, its rows kept.
    void everyOlderVersionIsUpgraded_data() {
        QTest::addColumn<int>("version");
        QTest::newRow("0: the three tables, made by another SQLite tool") << 0;
        QTest::newRow("1: with the report views and indexes") << 1;
        QTest::newRow("2: with the bytes of names") << 2;
        QTest::newRow("3: with the disks' volumes") << 3;
    }
    void everyOlderVersionIsUpgraded() {
        QFETCH(int, version);
        const QString path = dir_.filePath(QString("version %1.mdb").arg(version));
        QStringList rowsMade = {"INSERT INTO Disks VALUES (1, 'd', '/m'), (2, 'e', '/n')",
                                "INSERT INTO Dirs VALUES (5, 1, '/A'), (6, 2, '/B')",
                                "INSERT INTO Tracks VALUES (7, 5, 1, 'T', 'a.mp3', '00:00:01', "
                                "'Ar', 'Al'), (8, 6, 2, 'U', 'b.mp3', '00:00:02', 'Ar', 'Al')"};
        if (version == 0) {
            runPlain(path, QStringList{catalogueTables[0], catalogueTables[1],
                                       "CREATE TABLE Tracks (TrackID INTEGER PRIMARY KEY, DirID "
                                       "INTEGER, DiskID INTEGER, Title VARCHAR(30), TrackName "
                                       "VARCHAR(255), Duration CHAR(8), Artist VARCHAR(30), "
                                       "Album VARCHAR(30))"} +
                               rowsMade);
        } else {
            QVERIFY(!newCatalogue(dir_, QFileInfo(path).fileName()).isEmpty());
            QStringList dropped = {"DROP INDEX DisksByName", "DELETE FROM sqlite_stat1"};
            if (version < 3)
                dropped << "DROP TABLE DiskVolumes";
            if (version == 1) {
                dropped << "DROP TABLE DirNameBytes"
                        << "DROP TABLE TrackNameBytes";
            } else {
                rowsMade << "INSERT INTO DirNameBytes VALUES (5, x'41ff')"
                         << "INSERT INTO TrackNameBytes VALUES (8, x'62ff')";
            }
            runPlain(path, dropped + rowsMade +
                               QStringList{QString("PRAGMA user_version=%1").arg(version)});
        }
        const auto contents = [version](const QSqlDatabase& db) {
            QStringList all = rows(db, "SELECT * FROM Disks") + rows(db, "SELECT * FROM Dirs") +
                              rows(db, "SELECT * FROM Tracks");
            if (version >= 2)
                all += rows(db, "SELECT DirID, hex(Bytes) FROM DirNameBytes UNION ALL "
                                "SELECT TrackID, hex(Bytes) FROM TrackNameBytes");
            return all;
        };
        QStringList before;
        {
            CatalogConnection c(path, "before");
            before = contents(c.db());
            QCOMPARE(column(c.db(), "PRAGMA user_version"), QString::number(version));
        }

        const catalogdb::Preparation prepared = catalogdb::prepare(path);
        QVERIFY2(prepared.ok, qPrintable(prepared.error));
        QVERIFY(!prepared.created);

        const QString made = newCatalogue(dir_, QString("made new beside %1.mdb").arg(version));
        CatalogConnection upgraded(path, "upgraded"), fresh(made, "fresh");
        QCOMPARE(contents(upgraded.db()), before);
        QCOMPARE(before.size(), version >= 2 ? 8 : 6);
        if (version >= 2)
            QCOMPARE(before.mid(6), QStringList({"5|41FF", "8|62FF"}));
        // Every table, view and index of a new catalogue, the program's own tables with their
        // columns.
        const QString objects = "SELECT type, name FROM sqlite_master WHERE name NOT LIKE "
                                "'sqlite_%' ORDER BY type, name";
        QCOMPARE(rows(upgraded.db(), objects), rows(fresh.db(), objects));
        for (const QString table : {"DirNameBytes", "TrackNameBytes", "DiskVolumes"})
            QCOMPARE(rows(upgraded.db(), QString("PRAGMA table_info(%1)").arg(table)),
                     rows(fresh.db(), QString("PRAGMA table_info(%1)").arg(table)));
        QCOMPARE(column(upgraded.db(), "PRAGMA user_version"), QString("4"));
        QCOMPARE(catalogdb::SchemaVersion, 4);
        // The reports by disk name walk the disks in that order rather than sort every track.
        for (const QString view : {"Tracks by Disk", "Tracks by Disk and Directory"})
            QVERIFY2(rows(upgraded.db(), "EXPLAIN QUERY PLAN SELECT * FROM \"" + view + '"')
                         .join(' ')
                         .contains("SCAN Disks USING COVERING INDEX DisksByName"),
                     qPrintable(view));
        QCOMPARE(rows(upgraded.db(), "PRAGMA integrity_check"), QStringList{"ok"});
    }

    // A report view replaced elsewhere by a query that never ends is the program's own again.
    void changedReportViewIsRestored() {
        const QString path = newCatalogue(dir_, "changed view.mdb");
        QString own;
        {
            CatalogConnection c(path, "test");
            own = column(c.db(), "SELECT sql FROM sqlite_master WHERE name='Full List'");
        }
        runPlain(path, {"DROP VIEW \"Full List\"",
                        "CREATE VIEW \"Full List\" AS WITH RECURSIVE n(i) AS (SELECT 1 UNION "
                        "ALL SELECT i + 1 FROM n) SELECT i FROM n"});
        QVERIFY(catalogdb::prepare(path).ok);
        CatalogConnection c(path, "test");
        QCOMPARE(column(c.db(), "SELECT sql FROM sqlite_master WHERE name='Full List'"), own);
    }

    void refusesWhatIsNotCatalogue_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("text file") << "text";
        QTest::newRow("SQLite file with other tables") << "other";
        QTest::newRow("SQLite file with other tables, WAL") << "other-wal";
        QTest::newRow("Tracks columns in another order") << "order";
        QTest::newRow("Dirs missing") << "missing";
        QTest::newRow("made by a newer version") << "newer";
        QTest::newRow("a folder") << "folder";
    }
    void refusesWhatIsNotCatalogue() {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString path = dir.filePath("chosen.mdb");
        const QString tracks = "CREATE TABLE Tracks (TrackID INTEGER PRIMARY KEY, DirID, DiskID, "
                               "Title, TrackName, Duration, Artist, Album)";
        if (kind == "text") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("DiskID;DiskName;Drive\n1;Rock;E:\n");
        } else if (kind == "other" || kind == "other-wal") {
            QStringList statements = {"CREATE TABLE Songs (id INTEGER PRIMARY KEY, name TEXT)",
                                      "INSERT INTO Songs (name) VALUES ('kept')"};
            if (kind == "other-wal")
                statements.prepend("PRAGMA journal_mode=WAL");
            runPlain(path, statements);
        } else if (kind == "order") {
            runPlain(path, {catalogueTables[0], catalogueTables[1],
                            "CREATE TABLE Tracks (TrackID INTEGER PRIMARY KEY, DirID, DiskID, "
                            "Title, TrackName, Duration, Album, Artist)"});
        } else if (kind == "missing") {
            runPlain(path, {catalogueTables[0], tracks});
        } else if (kind == "newer") {
            runPlain(path,
                     {"PRAGMA journal_mode=WAL", catalogueTables[0], catalogueTables[1], tracks,
                      QString("PRAGMA user_version=%1").arg(catalogdb::SchemaVersion + 1)});
        } else {
            QVERIFY(QDir(dir.path()).mkdir("chosen.mdb"));
        }
        // An old time stamp, so that any write shows.
        if (kind != "folder") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)),
                                     QFileDevice::FileModificationTime));
        }
        const FileState before = stateOf(path);

        const catalogdb::Preparation prepared = catalogdb::prepare(path);
        QVERIFY(!prepared.ok);
        QVERIFY(!prepared.created);
        QVERIFY2(prepared.error.contains("chosen.mdb"), qPrintable(prepared.error));
        const FileState after = stateOf(path);
        QVERIFY(after.bytes == before.bytes);
        QCOMPARE(after.modified, before.modified);
        QCOMPARE(after.folder, before.folder);
    }
};

// The start-up probe.
class TrackCount : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    void countsRows() {
        const QString path = newCatalogue(dir_);
        QString error;
        QCOMPARE(catalogdb::countTracks(path, &error), 0);
        runPlain(path, {"INSERT INTO Tracks (TrackName) VALUES ('a.mp3')",
                        "INSERT INTO Tracks (TrackName) VALUES ('b.mp3')",
                        "INSERT INTO Tracks (TrackName) VALUES ('c.mp3')"});
        QCOMPARE(catalogdb::countTracks(path, &error), 3);
        QVERIFY(error.isEmpty());
    }

    void unreadableCatalogueGivesError() {
        const QString other = dir_.filePath("other.db");
        runPlain(other, {"CREATE TABLE Songs (id INTEGER)"});
        QString error;
        QCOMPARE(catalogdb::countTracks(other, &error), -1);
        QVERIFY(!error.isEmpty());

        // A catalogue that vanished after it was chosen is not made again, empty, by probing.
        const QString missing = dir_.filePath("gone.mdb");
        error.clear();
        QCOMPARE(catalogdb::countTracks(missing, &error), -1);
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFileInfo::exists(missing));
    }
};

class SharedLookups : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    std::unique_ptr<CatalogConnection> connection_;
    const QString oddDisk_ = "Rock \"Live\" 'n' Roll — Ünïcødé";
    const QString oddDrive_ = "/media/alice/MP3 \"07\"";
    const QString oddDir_ = "/It's \"here\"/Café ♫";
    const QString oddTrack_ = " Don't say \"never\" — ça.mp3 ";

private slots:
    void initTestCase() {
        const QString path = newCatalogue(dir_);
        QVERIFY(!path.isEmpty());
        connection_ = std::make_unique<CatalogConnection>(path, "lookups");
        const QSqlDatabase db = connection_->db();
        catalogdb::run(db, "INSERT INTO Disks VALUES (?, ?, ?)", {1, oddDisk_, oddDrive_});
        catalogdb::run(db, "INSERT INTO Disks VALUES (?, ?, ?)", {2, "Plain", "/media/plain"});
        catalogdb::run(db, "INSERT INTO Dirs VALUES (?, ?, ?)", {1, 1, "/"});
        catalogdb::run(db, "INSERT INTO Dirs VALUES (?, ?, ?)", {12, 1, oddDir_});
        catalogdb::run(db, "INSERT INTO Dirs VALUES (?, ?, ?)", {70000, 2, "/Beyond 16 bits"});
        const QString track = "INSERT INTO Tracks (DirID, DiskID, TrackName, Duration) "
                              "VALUES (?, ?, ?, ?)";
        catalogdb::run(db, track, {12, 1, oddTrack_, "00:03:07"});
        catalogdb::run(db, track, {1, 1, "same.mp3", "00:01:11"});
        catalogdb::run(db, track, {70000, 2, "same.mp3", "00:02:22"});
    }
    void cleanupTestCase() { connection_.reset(); }

    void directoryNames() {
        const Lookups lookups(connection_->db());
        QCOMPARE(lookups.GetDirName(1), QString(QDir::separator()));
        QCOMPARE(lookups.GetDirName(12), oddDir_);
        QCOMPARE(lookups.GetDirName(70000), "/Beyond 16 bits");
        QCOMPARE(lookups.GetDirName(2), QString());
    }

    void diskNamesAndDrives() {
        const Lookups lookups(connection_->db());
        QCOMPARE(lookups.GetDiskName(1), oddDisk_);
        QCOMPARE(lookups.GetDiskDrive(1, false, "/cdrom"), oddDrive_);
        QCOMPARE(lookups.GetDiskName(2), "Plain");
        QCOMPARE(lookups.GetDiskDrive(2, false, "/cdrom"), "/media/plain");
        QCOMPARE(lookups.GetDiskName(3), QString());
        QCOMPARE(lookups.GetDiskDrive(3, false, "/cdrom"), QString());
        QCOMPARE(lookups.GetDiskDrive(1, true, "/cdrom"), "/cdrom");
        QCOMPARE(lookups.GetDiskDrive(3, true, "/cdrom"), "/cdrom");
    }

    void cdDriveNeedsNoDatabase() {
        const Lookups detached{QSqlDatabase()};
        QCOMPARE(detached.GetDiskDrive(99, true, "/media/cdrom0"), "/media/cdrom0");
        QTest::ignoreMessage(QtWarningMsg, "QSqlQuery::exec: database not open");
        QTest::ignoreMessage(QtWarningMsg, "QSqlQuery::exec: database not open");
        QVERIFY_THROWS_EXCEPTION(CatalogError, detached.GetDiskDrive(99, false, "/cdrom"));
        QVERIFY_THROWS_EXCEPTION(CatalogError, detached.GetDirName(1));
    }

    void trackDurations() {
        const Lookups lookups(connection_->db());
        QCOMPARE(lookups.GetTrackDuration(oddTrack_), "00:03:07");
        QCOMPARE(lookups.GetTrackDuration(oddTrack_.trimmed()), QString());
        QCOMPARE(lookups.GetTrackDuration("same.mp3"), "00:01:11");
        QCOMPARE(lookups.GetTrackDuration("SAME.mp3"), QString());
        QCOMPARE(lookups.GetTrackDuration("\" OR \"\"=\""), QString());
    }
};

// Disks 1 and 2 with directories and tracks (track 4 of disk 1 lost its directory row);
// disk 3 has no directories.
class Deletions : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString path_;
    std::unique_ptr<CatalogConnection> connection_;

    // The three tables' identifiers as another holder of the file sees them, and the disks
    // whose volumes are stored.
    static QStringList identifiers(const QString& path) {
        CatalogConnection other(path, "observer");
        return {rows(other.db(), "SELECT DiskID FROM Disks ORDER BY 1").join(','),
                rows(other.db(), "SELECT DirID FROM Dirs ORDER BY 1").join(','),
                rows(other.db(), "SELECT TrackID FROM Tracks ORDER BY 1").join(','),
                rows(other.db(), "SELECT DiskID FROM DiskVolumes ORDER BY 1").join(',')};
    }

    void run(const QString& operation) {
        const QSqlDatabase db = connection_->db();
        if (operation == "disk 1")
            catalogedits::deleteDisk(db, 1);
        else if (operation == "disk 3")
            catalogedits::deleteDisk(db, 3);
        else if (operation == "directory 2")
            catalogedits::deleteDirectory(db, 2);
        else if (operation == "track 3")
            catalogedits::deleteTrack(db, 3);
        else if (operation == "everything")
            catalogedits::emptyCatalogue(db);
        else
            QFAIL("unknown operation");
    }

private slots:
    void init() {
        path_ = dir_.filePath(QString("catalog-%1.mdb").arg(QTest::currentTestFunction()) +
                              QTest::currentDataTag());
        QVERIFY(catalogdb::prepare(path_).ok);
        connection_ = std::make_unique<CatalogConnection>(path_, "edits");
        const QSqlDatabase db = connection_->db();
        catalogdb::run(db, "INSERT INTO Disks VALUES (1, 'One', '/m/1'), (2, 'Two', '/m/2'), "
                           "(3, 'No directories', '/m/3')");
        catalogdb::run(db, "INSERT INTO Dirs VALUES (1, 1, '/A'), (2, 1, '/A/B'), (3, 2, '/A')");
        catalogdb::run(db, "INSERT INTO Tracks (TrackID, DirID, DiskID, TrackName) VALUES "
                           "(1, 1, 1, 'a'), (2, 2, 1, 'b'), (3, 2, 1, 'c'), (4, 99, 1, 'd'), "
                           "(5, 3, 2, 'e'), (6, 3, 2, 'f')");
        // As though every name had been written on another system.
        catalogdb::run(db, "INSERT INTO DirNameBytes SELECT DirID, 'x' FROM Dirs");
        catalogdb::run(db, "INSERT INTO TrackNameBytes SELECT TrackID, 'x' FROM Tracks");
        catalogdb::run(db, "INSERT INTO DiskVolumes (DiskID, Label) SELECT DiskID, DiskName "
                           "FROM Disks");
    }
    void cleanup() { connection_.reset(); }

    void deletesExactlyItsRows_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QStringList>("remaining");
        QTest::newRow("disk with an orphaned track") << "disk 1" << QStringList{"2,3", "3", "5,6"};
        QTest::newRow("disk without directories")
            << "disk 3" << QStringList{"1,2", "1,2,3", "1,2,3,4,5,6"};
        QTest::newRow("directory") << "directory 2" << QStringList{"1,2,3", "1,3", "1,4,5,6"};
        QTest::newRow("track") << "track 3" << QStringList{"1,2,3", "1,2,3", "1,2,4,5,6"};
        QTest::newRow("empty catalogue") << "everything" << QStringList{"", "", ""};
    }
    void deletesExactlyItsRows() {
        QFETCH(QString, operation);
        QFETCH(QStringList, remaining);
        run(operation);
        // A disk's volume goes with the disk.
        QCOMPARE(identifiers(path_), remaining + QStringList{remaining[0]});
        // The bytes of the names go with their rows.
        const QSqlDatabase db = connection_->db();
        QCOMPARE(rows(db, "SELECT DirID FROM DirNameBytes ORDER BY 1").join(','), remaining[1]);
        QCOMPARE(rows(db, "SELECT TrackID FROM TrackNameBytes ORDER BY 1").join(','), remaining[2]);
    }

    void failureDeletesNothing_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("refusingTable");
        QTest::newRow("disk, its row refused") << "disk 1"
                                               << "Disks";
        QTest::newRow("disk, its directories refused") << "disk 1"
                                                       << "Dirs";
        QTest::newRow("disk, its volume refused") << "disk 1"
                                                  << "DiskVolumes";
        QTest::newRow("directory, its row refused") << "directory 2"
                                                    << "Dirs";
        QTest::newRow("empty catalogue, disks refused") << "everything"
                                                        << "Disks";
        QTest::newRow("empty catalogue, volumes refused") << "everything"
                                                          << "DiskVolumes";
    }
    void failureDeletesNothing() {
        QFETCH(QString, operation);
        QFETCH(QString, refusingTable);
        const QSqlDatabase db = connection_->db();
        catalogdb::run(db, "CREATE TRIGGER Refuse BEFORE DELETE ON " + refusingTable +
                               " BEGIN SELECT RAISE(ABORT, 'deletion refused'); END");
        const QStringList before = identifiers(path_);

        QString message;
        try {
            run(operation);
        } catch (const CatalogError& e) {
            message = e.message();
        }
        QVERIFY2(message.contains("deletion refused"), qPrintable(message));
        QVERIFY2(message.contains("DELETE FROM " + refusingTable, Qt::CaseInsensitive),
                 qPrintable(message));
        QCOMPARE(identifiers(path_), before);

        // The failed attempt left no transaction open: the same connection deletes next time.
        catalogdb::run(db, "DROP TRIGGER Refuse");
        run(operation);
        QVERIFY(identifiers(path_) != before);
    }
};

// The volume each disk was last scanned from.
class DiskVolumesTable : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString path_;
    std::unique_ptr<CatalogConnection> connection_;

    QSqlDatabase db() const { return connection_->db(); }

    static VolumeIdentity stick() {
        VolumeIdentity volume;
        volume.root = "/media/alice/MP3 \"07\"";
        volume.label = "MP3 \"07\" — Ünïcødé";
        volume.uuid = "1234-ABCD";
        volume.fileSystem = "vfat";
        volume.capacity = Q_INT64_C(64) * 1024 * 1024 * 1024; // beyond 32 bits
        return volume;
    }

private slots:
    void init() {
        path_ = dir_.filePath(QString("volumes-%1.mdb").arg(QTest::currentTestFunction()));
        QVERIFY(catalogdb::prepare(path_).ok);
        connection_ = std::make_unique<CatalogConnection>(path_, "volumes");
        catalogdb::run(db(), "INSERT INTO Disks VALUES (1, 'One', '/m/1'), (2, ?, '/m/2')",
                       {"Two \"quoted\" 'n' more"});
    }
    void cleanup() { connection_.reset(); }

    void savedAsGivenAndLoadedWithTheDisksName() {
        const QDateTime at(QDate(2026, 12, 7), QTime(21, 31, 20, 123), Qt::UTC);
        saveDiskVolume(db(), 2, stick(), at);
        // ISO 8601 in UTC, whatever zone the time was given in; the root is not stored.
        QCOMPARE(rows(db(), "SELECT * FROM DiskVolumes"),
                 QStringList{"2|MP3 \"07\" — Ünïcødé|1234-ABCD|vfat|68719476736|"
                             "2026-12-07T21:31:20.123Z"});
        const std::vector<DiskVolume> loaded = loadDiskVolumes(db());
        QCOMPARE(loaded.size(), size_t(1));
        QCOMPARE(loaded[0].diskId, 2);
        QCOMPARE(loaded[0].diskName, "Two \"quoted\" 'n' more");
        QCOMPARE(loaded[0].volume.label, stick().label);
        QCOMPARE(loaded[0].volume.uuid, stick().uuid);
        QCOMPARE(loaded[0].volume.fileSystem, stick().fileSystem);
        QCOMPARE(loaded[0].volume.capacity, stick().capacity);
        QCOMPARE(loaded[0].volume.root, QString());
        QCOMPARE(loaded[0].scannedAt, at);
        QVERIFY(sameVolume(loaded[0].volume, stick()));

        // Another zone's clock: the same moment.
        saveDiskVolume(db(), 1, {}, at.toOffsetFromUtc(2 * 3600));
        QCOMPARE(rows(db(), "SELECT Label, Uuid, FileSystem, Capacity, ScannedAt FROM "
                            "DiskVolumes WHERE DiskID = 1"),
                 QStringList{"|||0|2026-12-07T21:31:20.123Z"});
        QCOMPARE(loadDiskVolumes(db()).front().scannedAt, at);
    }

    void savingAgainReplacesTheDisksVolume() {
        const QDateTime first = QDateTime::currentDateTimeUtc();
        saveDiskVolume(db(), 1, stick(), first);
        VolumeIdentity other = stick();
        other.uuid = "5678-EF01";
        other.label = "OTHER";
        saveDiskVolume(db(), 1, other, first.addSecs(60));
        const std::vector<DiskVolume> loaded = loadDiskVolumes(db());
        QCOMPARE(loaded.size(), size_t(1));
        QCOMPARE(loaded[0].volume.uuid, "5678-EF01");
        QCOMPARE(loaded[0].volume.label, "OTHER");
        QCOMPARE(loaded[0].scannedAt, first.addSecs(60));
        forgetDiskVolume(db(), 1);
        QVERIFY(loadDiskVolumes(db()).empty());
    }

    // A volume whose disk another program deleted is nobody's.
    void volumeWithoutItsDiskIsNotListed() {
        saveDiskVolume(db(), 1, stick(), QDateTime::currentDateTimeUtc());
        saveDiskVolume(db(), 9, stick(), QDateTime::currentDateTimeUtc());
        const std::vector<DiskVolume> loaded = loadDiskVolumes(db());
        QCOMPARE(loaded.size(), size_t(1));
        QCOMPARE(loaded[0].diskId, 1);
    }

    // An older catalogue read as it is (on a read-only disk) has no table of volumes.
    void catalogueWithoutTheTableHasNoVolumes() {
        catalogdb::run(db(), "DROP TABLE DiskVolumes");
        QVERIFY(loadDiskVolumes(db()).empty());
        // Any other failure is one.
        catalogdb::run(db(), "CREATE TABLE DiskVolumes (DiskID INTEGER PRIMARY KEY)");
        QVERIFY_THROWS_EXCEPTION(CatalogError, loadDiskVolumes(db()));
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    NewCatalogue newCatalogue;
    TrackCount trackCount;
    SharedLookups lookups;
    Deletions deletions;
    DiskVolumesTable volumes;
    return runTestClasses(argc, argv, {&newCatalogue, &trackCount, &lookups, &deletions, &volumes});
}

#include "test_catalogdb.moc"
