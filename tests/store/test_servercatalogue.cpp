// A catalogue on the tests' PostgreSQL server: the same schema and rows as a file, refusals in
// plain words, copies between the two, and several programs at once.

#include "catalogdb.h"
#include "catalogedits.h"
#include "catalogengine.h"
#include "cataloguecopy.h"
#include "diskscanner.h"
#include "listloading.h"
#include "mp3fixture.h"
#include "reportcursor.h"
#include "runtestclasses.h"
#include "sqlrows.h"
#include "statsreports.h"
#include "testserver.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <memory>
#include <vector>

namespace {

// Names and tags that COPY's text form must escape, and a name that is not UTF-8.
void writeOddTree(const QString& root) {
    QDir().mkpath(root + "/Back\\slash\tTab");
    QDir().mkpath(root + "/Plain");
    fixture::Mp3Params p;
    p.id3v2 = fixture::Tag{"Ti\\tle\twith tab", "Art\"ist's", "Al\nbum"};
    fixture::writeMp3(root + "/Back\\slash\tTab/quote's \"x\".mp3", p);
    p.id3v2 = fixture::Tag{"Café", "Ångström", ""};
    fixture::writeMp3(root + "/Plain/Café.mp3", p);
    fixture::writeMp3(root + "/Plain/second.mp3", p);
    const QByteArray plain = QFile::encodeName(root + "/Plain/");
    std::filesystem::copy_file((plain + "second.mp3").toStdString(),
                               (plain + "caf\xe9.mp3").toStdString());
}

void scanInto(const QString& location, const QString& root, const QString& diskName) {
    QVERIFY2(catalogdb::prepare(location).ok, qPrintable(catalogdb::prepare(location).error));
    CatalogConnection connection(location, "test");
    QVERIFY(connection.isOpen());
    QSqlQuery disk = catalogdb::run(
        connection.db(), "INSERT INTO Disks (DiskName, Drive) VALUES (?, ?) RETURNING DiskID",
        {diskName, root});
    QVERIFY(disk.next());
    DiskScanner scanner(connection.db(), disk.value(0).toLongLong(), root);
    disk.finish();
    scanner.NavigateTree(root);
    QCOMPARE(scanner.counts().files, 4);
}

CatalogLists load(const QString& location) {
    CatalogConnection connection(location, "test");
    CatalogLists lists;
    LoadCatalog(connection.db(), lists);
    return lists;
}

// Every field of every row, identifiers included, and the bytes of names.
QStringList describe(const CatalogLists& lists) {
    QStringList rows;
    for (const DiskRecord& d : lists.disks)
        rows << QStringLiteral("disk %1|%2|%3").arg(d.DiskID).arg(d.DiskName, d.Drive);
    for (const DirRecord& d : lists.dirs)
        rows << QStringLiteral("dir %1|%2|%3").arg(d.DirID).arg(d.DiskID).arg(QString(d.DirName));
    for (const TrackRecord& t : lists.tracks)
        rows << QStringLiteral("track %1|%2|%3|%4|%5|%6|%7|%8")
                    .arg(t.TrackID)
                    .arg(t.DirID)
                    .arg(t.DiskID)
                    .arg(QString(t.Title), QString(t.TrackName), QString(t.Duration),
                         QString(t.Artist), QString(t.Album));
    for (auto it = lists.trackNameBytes.cbegin(); it != lists.trackNameBytes.cend(); ++it)
        rows << QStringLiteral("bytes %1|%2").arg(it.key()).arg(QString(it.value().toHex()));
    return rows;
}

// A report's rows, a line each, read through the engine's cursor in small batches, and its
// columns with which of them hold numbers.
struct ReportRead {
    QStringList columns;
    std::vector<bool> numeric;
    QStringList rows;
};

ReportRead readReport(const QString& location, const QString& statement) {
    const auto cursor = catalogengine::forLocation(location).reportCursor(location, statement);
    ReportRead read;
    while (!cursor->atEnd())
        for (const QStringList& row : cursor->fetch(7))
            read.rows << row.join('|');
    read.columns = cursor->columns();
    read.numeric = cursor->numeric();
    return read;
}

QStringList serverTables(const QString& uri) {
    CatalogConnection connection(uri, "test");
    QStringList tables = connection.db().tables();
    tables.sort();
    return tables;
}

} // namespace

class ServerCatalogue : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<ServerDatabase> server_;

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        server_ = std::make_unique<ServerDatabase>();
    }
    void cleanup() { server_.reset(); }

    // The reports answer with the same columns, spelled alike, as a file's; opening again
    // changes nothing.
    void newDatabaseGetsTheFilesSchema() {
        const QString file = dir_->filePath("c.mdb");
        const catalogdb::Preparation made = catalogdb::prepare(server_->uri());
        QVERIFY2(made.ok && made.created, qPrintable(made.error));
        QVERIFY(catalogdb::prepare(file).ok);
        CatalogConnection onServer(server_->uri(), "test"), inFile(file, "test");
        for (const char* table :
             {"Disks", "Dirs", "Tracks", "\"Directories by Disk\"", "\"Tracks by Disk\"",
              "\"Tracks by Disk and Directory\"", "\"Full List\""}) {
            const QString statement = QStringLiteral("SELECT * FROM %1").arg(table);
            const QSqlRecord server = catalogdb::run(onServer.db(), statement).record();
            const QSqlRecord local = catalogdb::run(inFile.db(), statement).record();
            QCOMPARE(server.count(), local.count());
            // What a report shows as its headings is spelled exactly alike.
            const bool report = statement.contains('"');
            for (int c = 0; c < local.count(); ++c)
                QCOMPARE(report ? server.fieldName(c) : server.fieldName(c).toLower(),
                         report ? local.fieldName(c) : local.fieldName(c).toLower());
        }
        QCOMPARE(rows(onServer.db(), "SELECT COUNT(*) FROM pg_indexes WHERE indexname IN "
                                     "('tracksbyname', 'tracksbydir', 'tracksbydisk', "
                                     "'dirsbydisk', 'disksbyname')"),
                 QStringList{"5"});
        const catalogdb::Preparation again = catalogdb::prepare(server_->uri());
        QVERIFY(again.ok && !again.created);
        // A catalogue of the version before gains the index of disks by name.
        catalogdb::run(onServer.db(), "DROP INDEX DisksByName");
        catalogdb::run(onServer.db(), "UPDATE CatalogVersion SET Version = 3");
        QVERIFY(catalogdb::prepare(server_->uri()).ok);
        QCOMPARE(rows(onServer.db(), "SELECT COUNT(*) FROM pg_indexes WHERE indexname = "
                                     "'disksbyname'"),
                 QStringList{"1"});
    }

    void foreignDatabaseIsRefusedUntouched() {
        {
            CatalogConnection connection(server_->uri(), "test");
            catalogdb::run(connection.db(), "CREATE TABLE invoices (id INTEGER)");
        }
        const catalogdb::Preparation refused = catalogdb::prepare(server_->uri());
        QVERIFY(!refused.ok);
        QVERIFY2(refused.error.contains("is not a catalogue"), qPrintable(refused.error));
        QCOMPARE(serverTables(server_->uri()), QStringList{"invoices"});
    }

    // The message names the server and what failed, never the password; the settings keep
    // the address without it.
    void unreachableServerIsNamedWithoutItsPassword() {
        const QString uri = "postgresql://alice:s3cret@/music?host=/no/such/folder&port=5433"
                            "&password=s3cret&connect_timeout=3";
        const catalogdb::Preparation refused = catalogdb::prepare(uri);
        QVERIFY(!refused.ok);
        QVERIFY2(refused.error.startsWith("Cannot reach the catalogue server /no/such/folder:5433"
                                          " for \"postgresql://alice@/music?host="),
                 qPrintable(refused.error));
        QVERIFY(!refused.error.contains("s3cret"));
        QVERIFY2(refused.error.endsWith("(is the server running?)."), qPrintable(refused.error));
        QCOMPARE(catalogengine::storable(uri),
                 "postgresql://alice@/music?host=/no/such/folder&port=5433&connect_timeout=3");
        QVERIFY(!catalogdb::prepare("postgresql://[::1").ok);
        // A server that answers but has no such database says so in its own words.
        const QString missing = server_->uri().replace(server_->name(), "no_such_catalogue");
        const catalogdb::Preparation absent = catalogdb::prepare(missing);
        QVERIFY2(absent.error.endsWith("refused the connection to \"" + missing +
                                       "\": database \"no_such_catalogue\" does not exist."),
                 qPrintable(absent.error));
    }

    // Rows written through COPY and read back through COPY are those a file keeps.
    void scannedRowsMatchAFilesRows() {
        const QString root = dir_->filePath("disk");
        writeOddTree(root);
        scanInto(server_->uri(), root, "Odd \\ disk");
        scanInto(dir_->filePath("c.mdb"), root, "Odd \\ disk");
        const QStringList server = describe(load(server_->uri()));
        QCOMPARE(server, describe(load(dir_->filePath("c.mdb"))));
        QVERIFY(server.join('\n').contains("Ti\\tle\twith tab|quote's \"x\".mp3"));
        QVERIFY(server.join('\n').contains("bytes "));
    }

    // The statistics window's reports: sorted by each column either way (texts with case
    // ignored, numbers as numbers), counted and measured as in a file; a sort given up stops.
    void reportsSortAndMeasureAsAFilesDo() {
        const QString root = dir_->filePath("disk");
        writeOddTree(root);
        const QString file = dir_->filePath("c.mdb");
        for (const QString& location : {file, server_->uri()}) {
            scanInto(location, root, "alpha");
            scanInto(location, root, "Beta");
            CatalogConnection connection(location, "test");
            catalogdb::run(connection.db(),
                           "INSERT INTO Tracks (DirID, DiskID, TrackName, Duration) VALUES "
                           "(1, 1, 'long.mp3', '100:00:01'), (1, 1, 'odd.mp3', '1:02:0x3')");
        }
        const statsreports::Measurement tracks =
            statsreports::measure(file, statsreports::statement(1));
        QCOMPARE(tracks.rows, 10);
        QVERIFY(tracks.totalSeconds > 360001 && tracks.totalSeconds < 361000);
        for (int report = 0; report < 4; ++report) {
            const QString statement = statsreports::statement(report);
            const statsreports::Measurement inFile = statsreports::measure(file, statement);
            // The window measures and sorts the view's rows without the view's order.
            const QString unordered = statsreports::unorderedStatement(report);
            for (const QString& measured : {statement, unordered}) {
                const statsreports::Measurement onServer =
                    statsreports::measure(server_->uri(), measured);
                QVERIFY2(onServer.error.isEmpty(), qPrintable(onServer.error));
                QCOMPARE(onServer.rows, inFile.rows);
                QCOMPARE(onServer.longest, inFile.longest);
                QCOMPARE(onServer.totalSeconds, inFile.totalSeconds);
            }
            const ReportRead read = readReport(file, statement);
            QCOMPARE(readReport(server_->uri(), statement).numeric, read.numeric);
            for (int column = 0; column < read.columns.size(); ++column)
                for (const bool descending : {false, true}) {
                    const auto sorted = [&](const QString& location, const QString& from) {
                        return readReport(location,
                                          statsreports::sortedStatement(
                                              from, read.columns, read.numeric, column, descending,
                                              catalogengine::forLocation(location)))
                            .rows;
                    };
                    const QStringList rows = sorted(file, statement);
                    QCOMPARE(sorted(server_->uri(), statement), rows);
                    QCOMPARE(sorted(server_->uri(), unordered), rows);
                    if (read.columns[column] == "DiskName")
                        QVERIFY(rows.first().contains(descending ? "Beta" : "alpha"));
                    if (read.columns[column].endsWith("ID") && rows.size() > 9)
                        QVERIFY(rows.first().contains(descending ? "10" : "1"));
                }
        }
        const auto cursor = catalogengine::forLocation(server_->uri())
                                .reportCursor(server_->uri(), statsreports::statement(3));
        cursor->cancel();
        QVERIFY_THROWS_EXCEPTION(CatalogError, cursor->fetch(3));
    }

    // File to server and back, identifiers kept; a target holding disks needs Replace, and
    // new rows on the server are numbered after the copied ones.
    void copyKeepsIdentifiersBothWays() {
        const QString root = dir_->filePath("disk");
        writeOddTree(root);
        const QString file = dir_->filePath("c.mdb"), back = dir_->filePath("back.mdb");
        scanInto(file, root, "One");
        scanInto(file, root, "Two");
        {
            CatalogConnection connection(file, "test");
            catalogedits::deleteDisk(connection.db(), 1);
        }
        const auto copied =
            cataloguecopy::copy(file, server_->uri(), cataloguecopy::Target::MustBeEmpty);
        QCOMPARE(copied.tracks, 4);
        QCOMPARE(describe(load(server_->uri())), describe(load(file)));
        {
            // The server's planner knows the copy's size at once, not after its own analysis.
            CatalogConnection server(server_->uri(), "sizes");
            QCOMPARE(rows(server.db(), "SELECT reltuples FROM pg_class WHERE relname = 'tracks'"),
                     QStringList{"4"});
        }
        try {
            cataloguecopy::copy(file, server_->uri(), cataloguecopy::Target::MustBeEmpty);
            QFAIL("a catalogue holding disks was replaced without being told to");
        } catch (const CatalogError& e) {
            QVERIFY2(e.message().contains("holds 1 disk already"), qPrintable(e.message()));
        }
        cataloguecopy::copy(file, server_->uri(), cataloguecopy::Target::Replace);
        scanInto(server_->uri(), root, "Three");
        cataloguecopy::copy(server_->uri(), back, cataloguecopy::Target::MustBeEmpty);
        const CatalogLists lists = load(back);
        QCOMPARE(lists.disks[1].DiskID, 3);
        QCOMPARE(lists.tracks[4].TrackID, 9);
        QCOMPARE(describe(lists), describe(load(server_->uri())));
        CatalogConnection connection(server_->uri(), "test");
        catalogedits::deleteDisk(connection.db(), 2);
        QCOMPARE(rows(connection.db(), "SELECT COUNT(*) FROM Tracks WHERE DiskID = 2"),
                 QStringList{"0"});
        QCOMPARE(rows(connection.db(), "SELECT COUNT(*) FROM Dirs"), QStringList{"2"});
    }
};

// Real programs on one server catalogue.
class ServerPrograms : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<ServerDatabase> server_;

    std::unique_ptr<QProcess> start(const QString& program, const QStringList& arguments) {
        auto process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::MergedChannels);
        process->start(program, arguments);
        return process;
    }
    QString finished(QProcess& process) {
        if (!process.waitForFinished(120000))
            return "did not finish";
        const QString output = QString::fromUtf8(process.readAll());
        return process.exitCode() == 0 ? QString() : output + " (failed)";
    }
    QString writeTree(int files) {
        const QString root = dir_->filePath("disk");
        for (int i = 0; i < files; ++i) {
            const QString folder = QStringLiteral("%1/Album %2").arg(root).arg(i / 20);
            QDir().mkpath(folder);
            fixture::Mp3Params p;
            p.id3v1 = fixture::Tag{QStringLiteral("Song %1").arg(i), "Artist", "Album"};
            fixture::writeMp3(QStringLiteral("%1/%2.mp3").arg(folder).arg(i), p);
        }
        return root;
    }
    QStringList scan(const QString& root, const QString& disk) {
        return {"scan", "--catalogue", server_->uri(), "--disk", disk, root};
    }

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        server_ = std::make_unique<ServerDatabase>();
    }
    void cleanup() { server_.reset(); }

    // One program scans a new disk and another replaces a disk's rows, again and again,
    // while a third loads the lists: every row arrives, and each load is one state of the
    // catalogue (never the tracks before a replace with the directories after it).
    void programsAtOnceKeepEveryRow() {
        const QString root = writeTree(600);
        const QString done = dir_->filePath("done");
        auto first = start(CATALOG_PROGRAM, scan(root, "A"));
        QCOMPARE(finished(*first), QString());
        auto loader = start(CATALOG_TOOL, {"load", server_->uri(), done});
        auto second = start(CATALOG_PROGRAM, scan(root, "B"));
        for (int round = 0; round < 6; ++round) {
            auto replacing = start(CATALOG_PROGRAM, scan(root, "A") << "--replace");
            QCOMPARE(finished(*replacing), QString());
        }
        QCOMPARE(finished(*second), QString());
        QFile(done).open(QIODevice::WriteOnly);
        QCOMPARE(finished(*loader), QString());
        CatalogConnection connection(server_->uri(), "test");
        QCOMPARE(rows(connection.db(), "SELECT DiskName, COUNT(*) FROM Tracks JOIN Disks ON "
                                       "Disks.DiskID = Tracks.DiskID GROUP BY DiskName "
                                       "ORDER BY DiskName"),
                 (QStringList{"A|600", "B|600"}));
    }

    // A scan killed mid-way leaves no track without its directory; the command line's
    // families work on what is there.
    void killedScanAndTheCommands() {
        const QString root = writeTree(400);
        auto killed = start(CATALOG_PROGRAM, scan(root, "Killed"));
        QTest::qWait(700);
        killed->kill();
        killed->waitForFinished();
        CatalogConnection connection(server_->uri(), "test");
        QCOMPARE(rows(connection.db(), "SELECT COUNT(*) FROM Tracks WHERE DirID NOT IN "
                                       "(SELECT DirID FROM Dirs)"),
                 QStringList{"0"});
        auto again = start(CATALOG_PROGRAM, scan(root, "Killed"));
        QVERIFY(finished(*again).contains("already")); // it holds rows: --replace or --add
        auto replaced = start(CATALOG_PROGRAM, scan(root, "Killed") << "--replace");
        QCOMPARE(finished(*replaced), QString());
        auto search = start(CATALOG_PROGRAM, {"search", "--catalogue", server_->uri(), "399"});
        QVERIFY(search->waitForFinished());
        QVERIFY(search->readAll().contains("Album 19/399.mp3"));
        auto report =
            start(CATALOG_PROGRAM, {"report", "--catalogue", server_->uri(), "Full List"});
        QVERIFY(report->waitForFinished());
        const QList<QByteArray> lines = report->readAll().split('\n');
        QCOMPARE(lines.first().trimmed(),
                 "TrackID,DiskName,Drive,DirName,TrackName,Title,Artist,Album,"
                 "Duration");
        QCOMPARE(lines.size(), 402); // heading, 400 tracks, the last line's end
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ServerCatalogue catalogue;
    ServerPrograms programs;
    return runTestClasses(argc, argv, {&catalogue, &programs});
}

#include "test_servercatalogue.moc"
