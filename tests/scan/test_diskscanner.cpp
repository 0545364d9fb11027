// Directory listings and the disk walk that turns a directory tree into catalogue rows.

#include "catalogdb.h"
#include "dirlisting.h"
#include "diskscanner.h"
#include "diskvolumes.h"
#include "listloading.h"
#include "mp3fixture.h"
#include "runtestclasses.h"
#include "scanprogress.h"
#include "sqlrows.h"
#include "trackpaths.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>

#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <thread>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using fixture::Mp3Params;
using fixture::Tag;

namespace {

const QString sep = QDir::separator();

bool makeFiles(const QString& folder, const QStringList& names) {
    if (!QDir().mkpath(folder))
        return false;
    for (const QString& name : names)
        if (!fixture::writeMp3(QDir(folder).filePath(name), Mp3Params{}))
            return false;
    return true;
}

// Writes a file whose name need not be valid UTF-8.
bool writeAt(const QByteArray& localPath, const QByteArray& bytes) {
    std::FILE* file = std::fopen(localPath.constData(), "wb");
    if (!file)
        return false;
    const bool written =
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), file) == size_t(bytes.size());
    return std::fclose(file) == 0 && written;
}

bool symlink(const QString& target, const QString& link) {
    return QFile::link(target, link);
}

} // namespace

class DirListing : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    void pathBelowVolume_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("root");
        QTest::addColumn<QString>("below");
        QTest::newRow("deep") << "/media/alice/MP3_07/Music/Rock"
                              << "/media/alice/MP3_07"
                              << "/Music/Rock";
        QTest::newRow("volume root itself") << "/media/alice/MP3_07"
                                            << "/media/alice/MP3_07"
                                            << "/";
        QTest::newRow("root given with separator") << "/media/alice/MP3_07/Music"
                                                   << "/media/alice/MP3_07/"
                                                   << "/Music";
        QTest::newRow("path with trailing separator") << "/media/alice/MP3_07/Music/"
                                                      << "/media/alice/MP3_07"
                                                      << "/Music";
        QTest::newRow("file-system root") << "/home/alice/MP3"
                                          << "/"
                                          << "/home/alice/MP3";
        QTest::newRow("file-system root itself") << "/"
                                                 << "/"
                                                 << "/";
        // A name that merely starts like the root is on another volume: kept whole.
        QTest::newRow("sibling sharing a prefix") << "/media/alice/MP3_07/Rock"
                                                  << "/media/alice/MP3"
                                                  << "/media/alice/MP3_07/Rock";
    }
    void pathBelowVolume() {
        QFETCH(QString, path);
        QFETCH(QString, root);
        QFETCH(QString, below);
        QCOMPARE(dirlisting::pathBelowVolume(path, root), QDir::toNativeSeparators(below));
    }

    void subdirectoriesSortedWithoutLinks() {
        const QDir top(dir_.filePath("top"));
        for (const QString name : {"b", "c10", "a", "c2", ".hidden", "a/inner"})
            QVERIFY(top.mkpath(name));
        QVERIFY(makeFiles(top.path(), {"file.mp3"}));
        QVERIFY(symlink(top.filePath("a"), top.filePath("aa link")));
        QVERIFY(symlink(dir_.path(), top.filePath("up")));

        bool readable = false;
        QStringList expected;
        for (const QString name : {"a", "b", "c10", "c2"})
            expected << QDir::toNativeSeparators(top.filePath(name));
        QCOMPARE(dirlisting::subdirectories(top.path(), &readable), expected);
        QVERIFY(readable);

        QVERIFY(dirlisting::subdirectories(top.filePath("missing"), &readable).isEmpty());
        QVERIFY(!readable);
    }

    // A drive reached through a link: names lie below the drive as given, whichever of the
    // two paths the walk starts from; a start off the drive falls back to its volume.
    void scanStartBelowTheDriveAsGiven() {
        const QString real = dir_.filePath("cdrom"), link = dir_.filePath("cdrom0");
        QVERIFY(QDir().mkpath(real + "/Album"));
        QVERIFY(symlink(real, link));
        for (const QString& start : {real + "/Album", link + "/Album"}) {
            const dirlisting::ScanStart from = dirlisting::scanStart(start, link);
            QCOMPARE(from.root, QDir::toNativeSeparators(link));
            QCOMPARE(from.path, QDir::toNativeSeparators(link + "/Album"));
        }
        QCOMPARE(dirlisting::scanStart(link, link).path, QDir::toNativeSeparators(link));
        const QString off = dir_.filePath("elsewhere");
        QCOMPARE(dirlisting::scanStart(off, link).root, dirlisting::volumeRoot(off));
    }

    void filesMatchIgnoringCase() {
        const QString folder = dir_.filePath("files");
        QVERIFY(makeFiles(folder, {"b.mp3", "A.MP3", "c.Mp3", "d.txt", "e.mp3.bak", "mp3"}));
        QVERIFY(QDir(folder).mkdir("folder.mp3"));
        QCOMPARE(dirlisting::files(folder, "*.mp3"), QStringList({"A.MP3", "b.mp3", "c.Mp3"}));
        QVERIFY(dirlisting::files(dir_.filePath("missing"), "*.mp3").isEmpty());
    }

    // Only a link to a regular file is a track: one to a device would never end when read.
    void filesAreRegularFilesOnly() {
        const QString folder = dir_.filePath("links");
        QVERIFY(makeFiles(folder, {"a.mp3"}));
        QVERIFY(symlink(folder + "/a.mp3", folder + "/b.mp3"));
        QVERIFY(symlink("/dev/zero", folder + "/z.mp3"));
        QCOMPARE(::mkfifo(QFile::encodeName(folder + "/p.mp3").constData(), 0600), 0);
        QCOMPARE(dirlisting::files(folder, "*.mp3"), QStringList({"a.mp3", "b.mp3"}));
    }
};

// Each test scans below a fresh volume root into a fresh catalogue, for disk 40000.
class Scanning : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> volume_, store_;
    std::unique_ptr<CatalogConnection> connection_;
    static constexpr qint64 disk = 40000;

    QString at(const QString& relative) const { return volume_->filePath(relative); }
    QSqlDatabase db() const { return connection_->db(); }
    QStringList dirs() const { return rows(db(), "SELECT DirName FROM Dirs ORDER BY DirID"); }
    QStringList tracks() const {
        return rows(db(), "SELECT DirName, TrackName FROM Tracks JOIN Dirs USING (DirID) "
                          "ORDER BY TrackID");
    }
    static QString native(const QString& below) { return QDir::toNativeSeparators(below); }

    DiskScanner scanner() const { return DiskScanner(db(), disk, volume_->path()); }
    DiskScanner scanner(DiskScanner::TagReader reader) const {
        return DiskScanner(db(), disk, volume_->path(), std::move(reader));
    }

private slots:
    void init() {
        volume_ = std::make_unique<QTemporaryDir>();
        store_ = std::make_unique<QTemporaryDir>();
        const QString path = store_->filePath("catalog.mdb");
        QVERIFY(catalogdb::prepare(path).ok);
        connection_ = std::make_unique<CatalogConnection>(path, "scan");
        catalogdb::run(db(), "INSERT INTO Disks VALUES (?, 'Disk', '/media/disk')", {disk});
    }
    void cleanup() {
        connection_.reset();
        // Let the temporary folder be removed.
        if (QFileInfo::exists(at("Locked")))
            QFile::setPermissions(at("Locked"),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // Post-order, names ascending: a directory's rows come after all of its subdirectories'.
    void postOrder() {
        QVERIFY(makeFiles(at("A"), {"a2.mp3", "a1.mp3"}));
        QVERIFY(makeFiles(at("A/C"), {"c.mp3"}));
        QVERIFY(makeFiles(at("A/B"), {"b.mp3"}));
        QVERIFY(makeFiles(at("Other"), {"o.mp3"}));
        DiskScanner s = scanner();
        s.NavigateTree(at("A"));

        QCOMPARE(dirs(), QStringList({native("/A/B"), native("/A/C"), native("/A")}));
        QCOMPARE(tracks(), QStringList({native("/A/B|b.mp3"), native("/A/C|c.mp3"),
                                        native("/A|a1.mp3"), native("/A|a2.mp3")}));
        QCOMPARE(rows(db(), "SELECT DISTINCT Tracks.DiskID, Dirs.DiskID FROM Tracks JOIN Dirs "
                            "USING (DirID)"),
                 QStringList{"40000|40000"});
        QCOMPARE(s.counts().directories, 3);
        QCOMPARE(s.counts().files, 4);
        QVERIFY(!s.cancelled());
    }

    void rootAndFolderWithoutMp3() {
        QVERIFY(makeFiles(volume_->path(), {"top.mp3"}));
        QVERIFY(makeFiles(at("Empty/Deep"), {"deep.mp3"}));
        QVERIFY(QFile(at("Empty/notes.txt")).open(QIODevice::WriteOnly));
        DiskScanner s = scanner();
        s.NavigateTree(volume_->path());
        QCOMPARE(dirs(), QStringList({native("/Empty/Deep"), sep}));

        // Scanning again stores everything again.
        scanner().NavigateTree(volume_->path());
        QCOMPARE(dirs(), QStringList({native("/Empty/Deep"), sep, native("/Empty/Deep"), sep}));
        QCOMPARE(rows(db(), "SELECT COUNT(DISTINCT DirID), COUNT(*) FROM Tracks"),
                 QStringList{"4|4"});
    }

    void extensionInCapitals() {
        QVERIFY(makeFiles(at("Loud"), {"SHOUT.MP3", "Mixed.Mp3", "quiet.mp3", "not.mp3.txt"}));
        scanner().NavigateTree(at("Loud"));
        QCOMPARE(rows(db(), "SELECT TrackName FROM Tracks ORDER BY TrackID"),
                 QStringList({"Mixed.Mp3", "quiet.mp3", "SHOUT.MP3"}));
    }

    void tagsAndPlayingTimes() {
        Mp3Params cbr; // 1700 frames of 36 ms: 61.2 s
        cbr.bitrateKbps = 32;
        cbr.sampleRate = 32000;
        cbr.mono = true;
        cbr.frames = 1700;
        cbr.id3v1 = Tag{"Cbr Title", "Cbr Artist", "Cbr Album"};
        Mp3Params xing; // 500 frames of 26.1 ms: 13.06 s
        xing.kind = Mp3Params::Kind::VbrXing;
        xing.frames = 500;
        xing.id3v2 = Tag{"Título ♫", "Künstler \"K\"", "Album's"};
        Mp3Params plainVbr = xing; // 3000 frames of 24 ms: 72 s
        plainVbr.kind = Mp3Params::Kind::VbrNoHeader;
        plainVbr.sampleRate = 48000;
        plainVbr.frames = 3000;
        plainVbr.id3v1 = Tag{"Vbr Title", "Vbr Artist", "Vbr Album"};
        QVERIFY(QDir().mkpath(at("Tagged")));
        QVERIFY(fixture::writeMp3(at("Tagged/1 cbr.mp3"), cbr));
        QVERIFY(fixture::writeMp3(at("Tagged/2 xing.mp3"), xing));
        QVERIFY(fixture::writeMp3(at("Tagged/3 plain vbr.mp3"), plainVbr));

        DiskScanner s = scanner();
        s.NavigateTree(at("Tagged"));
        QCOMPARE(s.counts().unreadableFiles, 0);
        const QString dirId = rows(db(), "SELECT DirID FROM Dirs").value(0);
        // By ordinal: TrackID, DirID, DiskID, Title, TrackName, Duration, Artist, Album.
        QStringList stored;
        for (const QString& row : rows(db(), "SELECT * FROM Tracks ORDER BY TrackID"))
            stored << row.section('|', 1);
        const QString prefix = dirId + "|40000|";
        QCOMPARE(stored, QStringList({
                             prefix + "Cbr Title|1 cbr.mp3|00:01:01|Cbr Artist|Cbr Album",
                             prefix + "Título ♫|2 xing.mp3|00:00:13|Künstler \"K\"|Album's",
                             prefix + "Vbr Title|3 plain vbr.mp3|00:01:12|Vbr Artist|Vbr Album",
                         }));
    }

    void badFilesAreStoredAndCounted() {
        const QString folder = at("Bad");
        QVERIFY(QDir().mkpath(folder));
        Mp3Params good;
        good.id3v1 = Tag{"Good", "Artist", "Album"};
        good.id3v2 = Tag{"Cut", "Short", "Off"};
        QVERIFY(fixture::writeZeroBytes(folder + "/a zero.mp3"));
        QVERIFY(fixture::writeRandomBytes(folder + "/b random.mp3", 4096 * 7, 7));
        QVERIFY(fixture::writeBytes(folder + "/c cut in tag.mp3", fixture::mp3Bytes(good).left(8)));
        good.frames = 400; // 10.4 s, cut after 100 frames: 2.6 s of sound remain
        QVERIFY(fixture::writeTruncated(folder + "/d cut in sound.mp3", good, 100));
        good.frames = 120;
        QVERIFY(fixture::writeMp3(folder + "/e good.mp3", good));

        DiskScanner s = scanner();
        s.NavigateTree(folder);
        QCOMPARE(rows(db(), "SELECT TrackName, Title, Artist, Album, Duration FROM Tracks "
                            "ORDER BY TrackID"),
                 QStringList({"a zero.mp3||||00:00:00", "b random.mp3||||00:00:00",
                              "c cut in tag.mp3||||00:00:00",
                              "d cut in sound.mp3|Cut|Short|Off|00:00:03",
                              "e good.mp3|Good|Artist|Album|00:00:03"}));
        QCOMPARE(s.counts().unreadableFiles, 3);
        QCOMPARE(s.counts().files, 5);
    }

    void linksToDirectoriesAreNotFollowed() {
        QVERIFY(makeFiles(volume_->path(), {"top.mp3"}));
        QVERIFY(makeFiles(at("A"), {"a.mp3"}));
        QVERIFY(symlink(volume_->path(), at("A/loop")));
        QVERIFY(makeFiles(store_->filePath("elsewhere"), {"e.mp3"}));
        QVERIFY(symlink(store_->filePath("elsewhere"), at("B link")));
        DiskScanner s = scanner();
        s.NavigateTree(volume_->path());
        QCOMPARE(dirs(), QStringList({native("/A"), sep}));
        QCOMPARE(s.counts().unreadableDirectories, 0);
    }

    void unreadableDirectoryIsSkipped() {
        DiskScanner missing = scanner();
        missing.NavigateTree(at("not there"));
        QCOMPARE(missing.counts().unreadableDirectories, 1);
        QVERIFY(dirs().isEmpty());
#ifdef Q_OS_UNIX
        if (geteuid() == 0)
            QSKIP("root reads every directory");
        QVERIFY(makeFiles(at("Locked"), {"l.mp3"}));
        QVERIFY(makeFiles(at("Open"), {"o.mp3"}));
        QVERIFY(QFile::setPermissions(at("Locked"), QFileDevice::Permissions()));
        DiskScanner s = scanner();
        s.NavigateTree(volume_->path());
        QCOMPARE(dirs(), QStringList{native("/Open")});
        QCOMPARE(s.counts().unreadableDirectories, 1);
#endif
    }

    void nameWithQuotesAndNonAscii() {
        const QString folder = "Rock \"n\" Roll's — Ünïcødé ★";
        const QString file = "Café \"Live\" 'take 2' ♫ 日本.mp3";
        QVERIFY(makeFiles(at(folder), {file}));
        scanner().NavigateTree(volume_->path());
        QCOMPARE(tracks(), QStringList{sep + folder + "|" + file});
    }

    // Names written on another system, in bytes that are not UTF-8: walked, read and stored
    // with each undecodable byte shown as U+FFFD.
    void namesThatAreNotUtf8() {
        const QByteArray folder = QFile::encodeName(at("Caf")) + "\xe9";
        QCOMPARE(::mkdir(folder.constData(), 0700), 0);
        Mp3Params file;
        file.id3v1 = Tag{"Tagged", "Artist", "Album"};
        QVERIFY(writeAt(folder + "/S\xf6ng \xff.mp3", fixture::mp3Bytes(file)));
        QVERIFY(writeAt(folder + "/plain.mp3", fixture::mp3Bytes(file)));

        DiskScanner s = scanner();
        s.NavigateTree(volume_->path());
        const QString replaced = QString(QChar::ReplacementCharacter);
        QCOMPARE(rows(db(), "SELECT DirName, TrackName, Title, Duration FROM Tracks "
                            "JOIN Dirs USING (DirID) ORDER BY TrackID"),
                 QStringList({native("/Caf") + replaced + "|plain.mp3|Tagged|00:00:03",
                              native("/Caf") + replaced + "|S" + replaced + "ng " + replaced +
                                  ".mp3|Tagged|00:00:03"}));
        QCOMPARE(s.counts().unreadableFiles, 0);

        // Their bytes are kept, and reach the files again.
        catalogdb::run(db(), "UPDATE Disks SET Drive = ?", {volume_->path()});
        CatalogLists lists;
        LoadCatalog(db(), lists);
        QCOMPARE(lists.dirNameBytes.size(), 1);
        QCOMPARE(lists.trackNameBytes.size(), 1);
        const TrackPaths paths(lists, {});
        for (const qint32 i : {0, 1})
            QVERIFY2(::access(paths.localPath(lists.tracks[i]).constData(), R_OK) == 0,
                     paths.localPath(lists.tracks[i]).constData());
    }

    // The walk lists directories in the order the browser shows them.
    void walkListsLikeTheBrowser() {
        const QStringList names{"b", "A", "_x", "a b", "Äpfel", "z", "10", "2", "ab", "a-b"};
        for (const QString& name : names)
            QVERIFY(makeFiles(at(name), {"f.mp3"}));
        scanner().NavigateTree(volume_->path());
        QStringList browser;
        for (const QString& path : dirlisting::subdirectories(volume_->path()))
            browser << sep + QFileInfo(path).fileName();
        QCOMPARE(dirs(), browser);
    }

    // The reader is called once per file with its full path, on worker threads in any order;
    // what it reports is stored with that file's row.
    void injectedTagReader() {
        QVERIFY(makeFiles(at("R"), {"x.mp3", "y.mp3"}));
        QVERIFY(makeFiles(volume_->path(), {"z.mp3"}));
        std::mutex mutex;
        QStringList read;
        DiskScanner s = scanner([&](const QByteArray& localPath, const std::atomic<bool>&) {
            const QString path = QFile::decodeName(localPath);
            const std::lock_guard lock(mutex);
            read << path;
            Mp3Info info;
            info.title = "T " + QFileInfo(path).fileName();
            info.duration = "01:02:03";
            info.readable = true;
            return info;
        });
        s.NavigateTree(volume_->path());
        read.sort();
        QCOMPARE(read, QStringList({at("R/x.mp3"), at("R/y.mp3"), at("z.mp3")}));
        QCOMPARE(rows(db(), "SELECT Title, Duration FROM Tracks ORDER BY TrackID"),
                 QStringList({"T x.mp3|01:02:03", "T y.mp3|01:02:03", "T z.mp3|01:02:03"}));
    }

    // Many readers at once, as on a machine with many cores: every row gets its own file's tag
    // and playing time (counted, without a header).
    void manyReadersStoreEveryRow() {
        constexpr int files = 400;
        for (int i = 0; i < files; ++i) {
            Mp3Params file;
            file.kind = Mp3Params::Kind::VbrNoHeader;
            file.frames = 40;
            file.id3v1 = Tag{QString("Song %1").arg(i, 3, 10, QChar('0')), "Artist", "Album"};
            const QString folder = at(QString("Many/%1").arg(i / 50));
            QVERIFY(QDir().mkpath(folder));
            QVERIFY(fixture::writeMp3(folder + QString("/%1.mp3").arg(i, 3, 10, QChar('0')), file));
        }
        for (int scan = 0; scan < 3; ++scan) {
            catalogdb::run(db(), "DELETE FROM Tracks");
            DiskScanner s = scanner();
            s.readerThreads = 16;
            s.NavigateTree(at("Many"));
            QCOMPARE(s.counts().unreadableFiles, 0);
            QCOMPARE(rows(db(), "SELECT COUNT(*) FROM Tracks WHERE Duration = '00:00:01' AND "
                                "'Song ' || TrackName = Title || '.mp3'"),
                     QStringList{QString::number(files)});
        }
    }

    void refusedRowStopsScanKeepingEarlierRows() {
        QVERIFY(makeFiles(at("A"), {"a.mp3"}));
        QVERIFY(makeFiles(at("B"), {"b1.mp3", "b2.mp3", "b3.mp3"}));
        catalogdb::run(db(),
                       "CREATE TRIGGER Refuse BEFORE INSERT ON Tracks "
                       "WHEN NEW.TrackName = 'b2.mp3' BEGIN SELECT RAISE(ABORT, 'full'); END");
        DiskScanner s = scanner();
        QVERIFY_THROWS_EXCEPTION(CatalogError, s.NavigateTree(volume_->path()));
        QCOMPARE(tracks(), QStringList({native("/A|a.mp3"), native("/B|b1.mp3")}));
        CatalogConnection other(store_->filePath("catalog.mdb"), "other");
        QCOMPARE(rows(other.db(), "SELECT TrackName FROM Tracks"),
                 QStringList({"a.mp3", "b1.mp3"}));
    }

    // A commit the engine refuses (as on a full disk) loses its rows: the counts say what
    // is stored.
    void countsAreOfCommittedRows() {
        QVERIFY(makeFiles(at("A"), {"a.mp3"}));
        QVERIFY(makeFiles(at("B"), {"b1.mp3", "b2.mp3"}));
        catalogdb::run(db(), "CREATE TABLE Parent (ID INTEGER PRIMARY KEY)");
        catalogdb::run(db(), "CREATE TABLE Child (P REFERENCES Parent(ID) DEFERRABLE "
                             "INITIALLY DEFERRED)");
        catalogdb::run(db(), "CREATE TRIGGER FailsAtCommit AFTER INSERT ON Tracks WHEN "
                             "NEW.TrackName = 'b2.mp3' BEGIN INSERT INTO Child VALUES (9); END");
        catalogdb::run(db(), "PRAGMA foreign_keys=ON");
        DiskScanner s = scanner();
        QVERIFY_THROWS_EXCEPTION(CatalogError, s.NavigateTree(volume_->path()));
        QCOMPARE(tracks(), QStringList{native("/A|a.mp3")});
        QCOMPARE(s.counts().files, 1);
        QCOMPARE(s.counts().directories, 1);
    }

    void cancelBetweenDirectories() {
        for (const QString name : {"A", "B", "C"})
            QVERIFY(makeFiles(at(name), {"1.mp3", "2.mp3"}));
        DiskScanner s = scanner();
        int callsAfterCancel = 0;
        bool cancelled = false;
        s.onStep = [&](const QString&) {
            if (cancelled)
                ++callsAfterCancel;
            cancelled = s.counts().directories == 1;
            return !cancelled;
        };
        s.NavigateTree(volume_->path());
        QVERIFY(s.cancelled());
        QCOMPARE(callsAfterCancel, 0);
        QCOMPARE(tracks(), QStringList({native("/A|1.mp3"), native("/A|2.mp3")}));
    }

    // Rows are committed as the walk goes: another connection (the window's grids) sees every
    // finished directory's rows, and a cancelled walk leaves its stored rows committed.
    void rowsAreCommittedAsTheWalkGoes() {
        for (const QString name : {"A", "B", "C"})
            QVERIFY(makeFiles(at(name), {"1.mp3", "2.mp3"}));
        CatalogConnection grids(store_->filePath("catalog.mdb"), "grids");
        const auto seen = [&grids] { return rows(grids.db(), "SELECT COUNT(*) FROM Tracks"); };
        DiskScanner s = scanner();
        QStringList seenAtSteps, storedAtSteps;
        s.onStep = [&](const QString&) {
            seenAtSteps << seen();
            storedAtSteps << QString::number(s.counts().files);
            return s.counts().directories < 2;
        };
        s.NavigateTree(volume_->path());
        QVERIFY(s.cancelled());
        QCOMPARE(seenAtSteps, storedAtSteps);
        QVERIFY(storedAtSteps.contains("2"));
        QCOMPARE(seen(), QStringList{"4"});
    }

    // A file that takes long to read (gigabytes, a slow disk) neither freezes the window nor
    // keeps a cancelled scan waiting for it.
    void cancelWhileAFileTakesLong() {
        QVERIFY(makeFiles(at("Slow"), {"a.mp3", "b slow.mp3", "c.mp3"}));
        std::atomic<bool> slowStarted = false, slowStopped = false;
        DiskScanner s = scanner([&](const QByteArray& localPath, const std::atomic<bool>& stop) {
            if (localPath.endsWith("slow.mp3")) {
                slowStarted = true;
                QElapsedTimer waited;
                waited.start();
                while (!stop && waited.elapsed() < 10000)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                slowStopped = stop.load();
            }
            return Mp3Info{};
        });
        QElapsedTimer sinceCancel;
        s.onStep = [&](const QString&) {
            if (slowStarted && !sinceCancel.isValid())
                sinceCancel.start();
            return !slowStarted;
        };
        s.NavigateTree(volume_->path());
        QVERIFY(s.cancelled());
        QVERIFY(slowStopped);
        QVERIFY2(sinceCancel.elapsed() < 1000, qPrintable(QString::number(sinceCancel.elapsed())));
        QVERIFY(!tracks().contains(native("/Slow|b slow.mp3")));
    }

    // A directory of thousands of files can be cancelled part-way; what was stored stays.
    void cancelInsideLargeDirectory() {
        QVERIFY(QDir().mkpath(at("Many")));
        for (int i = 0; i < 300; ++i)
            QVERIFY(fixture::writeZeroBytes(at(QString("Many/%1.mp3").arg(i, 3, 10, QChar('0')))));
        std::atomic<int> read = 0; // the reader runs on the scanner's worker thread
        DiskScanner s = scanner([&read](const QByteArray&, const std::atomic<bool>&) {
            ++read;
            return Mp3Info{};
        });
        s.onStep = [&s](const QString&) { return s.counts().files == 0; };
        s.NavigateTree(volume_->path());
        QVERIFY(s.cancelled());
        const int stored = s.counts().files;
        // Reading runs a bounded distance ahead of storing, and stops with it.
        QVERIFY2(stored > 0 && stored <= read && read < 300, qPrintable(QString::number(read)));
        QCOMPARE(rows(db(), "SELECT COUNT(*) FROM Tracks"), QStringList{QString::number(stored)});
        QCOMPARE(rows(db(), "SELECT MAX(TrackName) FROM Tracks"),
                 QStringList{QString("%1.mp3").arg(stored - 1, 3, 10, QChar('0'))});
    }
};

// A disk scanned again: in Replace mode the new rows take the place of the disk's earlier
// ones all at once, or not at all. Disk 40000 holds a scan of the volume's first tree (some of
// its names not UTF-8), with a volume stored; disk 50000 holds rows of its own, which no scan
// of disk 40000 touches.
class Replacing : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> volume_, store_;
    std::unique_ptr<CatalogConnection> connection_;
    static constexpr qint64 disk = 40000;
    QStringList before_; // every row, after the first scan

    QString at(const QString& relative) const { return volume_->filePath(relative); }
    QString catalogue() const { return store_->filePath("catalog.mdb"); }
    QSqlDatabase db() const { return connection_->db(); }
    static QString native(const QString& below) { return QDir::toNativeSeparators(below); }

    // Every row of every table, each prefixed with its table.
    static QStringList everyRow(const QSqlDatabase& db) {
        QStringList all;
        for (const QString table : {"Disks", "Dirs", "Tracks", "DiskVolumes"})
            for (const QString& row : rows(db, "SELECT * FROM " + table + " ORDER BY 1"))
                all << table + ": " + row;
        for (const QString table : {"DirNameBytes", "TrackNameBytes"})
            for (const QString& row : rows(db, "SELECT *, hex(Bytes) FROM " + table))
                all << table + ": " + row;
        return all;
    }
    // As another program sees them.
    QStringList everyRowSeenElsewhere() const {
        CatalogConnection other(catalogue(), "elsewhere");
        return everyRow(other.db());
    }
    QStringList tracksOfDisk() const {
        return rows(db(),
                    "SELECT DirName, TrackName FROM Tracks JOIN Dirs USING (DirID) "
                    "WHERE Tracks.DiskID = ? ORDER BY TrackID",
                    {disk});
    }

    // Quick to read: the tags come from the names.
    static Mp3Info readName(const QByteArray& localPath, const std::atomic<bool>&) {
        Mp3Info info;
        info.title = "T " + QFile::decodeName(localPath.mid(localPath.lastIndexOf('/') + 1));
        info.duration = "00:01:00";
        info.readable = true;
        return info;
    }
    DiskScanner scanner(DiskScanner::Mode mode) const {
        DiskScanner s(db(), disk, volume_->path(), readName);
        s.mode = mode;
        return s;
    }

    static VolumeIdentity volumeNamed(const QString& label) {
        VolumeIdentity volume;
        volume.root = "/media/" + label;
        volume.label = label;
        volume.uuid = label + "-UUID";
        volume.fileSystem = "vfat";
        volume.capacity = Q_INT64_C(8) * 1000 * 1000 * 1000;
        return volume;
    }

private slots:
    void init() {
        volume_ = std::make_unique<QTemporaryDir>();
        store_ = std::make_unique<QTemporaryDir>();
        QVERIFY(catalogdb::prepare(catalogue()).ok);
        connection_ = std::make_unique<CatalogConnection>(catalogue(), "scan");
        catalogdb::run(db(),
                       "INSERT INTO Disks VALUES (?, 'Disk', '/media/disk'), "
                       "(50000, 'Other', '/media/other')",
                       {disk});
        catalogdb::run(db(), "INSERT INTO Dirs VALUES (7, 50000, '/Other')");
        catalogdb::run(db(), "INSERT INTO Tracks (DirID, DiskID, TrackName) VALUES (7, 50000, "
                             "'other.mp3')");
        catalogdb::run(db(), "INSERT INTO TrackNameBytes SELECT TrackID, x'6fff' FROM Tracks");
        saveDiskVolume(db(), 50000, volumeNamed("OTHER"), QDateTime::currentDateTimeUtc());

        // The first scan: two directories, one of them and one file named in Latin-1.
        QVERIFY(makeFiles(at("Old A"), {"1.mp3", "2.mp3"}));
        const QByteArray odd = QFile::encodeName(at("Old B")) + "\xe9";
        QCOMPARE(::mkdir(odd.constData(), 0700), 0);
        QVERIFY(writeAt(odd + "/caf\xe9.mp3", fixture::mp3Bytes({})));
        DiskScanner first = scanner(DiskScanner::Mode::Add);
        first.volume = volumeNamed("FIRST");
        first.NavigateTree(volume_->path());
        QCOMPARE(first.counts().files, 3);
        QCOMPARE(rows(db(), "SELECT COUNT(*) FROM DirNameBytes"), QStringList{"1"});
        QCOMPARE(rows(db(), "SELECT COUNT(*) FROM TrackNameBytes"), QStringList{"2"});
        before_ = everyRow(db());

        // What the disk holds now: the first tree's files gone, others in their place.
        QVERIFY(QDir(at("Old A")).removeRecursively());
        QCOMPARE(::unlink((odd + "/caf\xe9.mp3").constData()), 0);
        QCOMPARE(::rmdir(odd.constData()), 0);
        QVERIFY(makeFiles(at("New"), {"x.mp3", "y.mp3"}));
    }
    void cleanup() { connection_.reset(); }

    // A scan with a volume stores exactly that volume, for its own disk; scanning again, in
    // either mode, stores the volume of then.
    void scanStoresItsVolume_data() {
        QTest::addColumn<DiskScanner::Mode>("mode");
        QTest::newRow("add") << DiskScanner::Mode::Add;
        QTest::newRow("replace") << DiskScanner::Mode::Replace;
    }
    void scanStoresItsVolume() {
        QFETCH(DiskScanner::Mode, mode);
        const std::vector<DiskVolume> first = loadDiskVolumes(db());
        QCOMPARE(first.size(), size_t(2));
        QCOMPARE(first[0].diskId, disk);
        QCOMPARE(first[0].diskName, "Disk");
        QVERIFY(sameVolume(first[0].volume, volumeNamed("FIRST")));
        QCOMPARE(first[0].volume.label, "FIRST");
        QCOMPARE(first[0].volume.capacity, volumeNamed("FIRST").capacity);

        const QDateTime start = QDateTime::currentDateTimeUtc();
        DiskScanner again = scanner(mode);
        again.volume = volumeNamed("SECOND");
        again.volume->capacity = Q_INT64_C(5) * 1000 * 1000 * 1000 * 1000; // 5 TB
        again.NavigateTree(volume_->path());
        const QDateTime end = QDateTime::currentDateTimeUtc();
        QCOMPARE(rows(db(), "SELECT DiskID, Label, Uuid, FileSystem, Capacity FROM DiskVolumes "
                            "ORDER BY DiskID"),
                 QStringList({"40000|SECOND|SECOND-UUID|vfat|5000000000000",
                              "50000|OTHER|OTHER-UUID|vfat|8000000000"}));
        const QDateTime scannedAt = loadDiskVolumes(db())[0].scannedAt;
        QVERIFY2(scannedAt >= start.addMSecs(-1) && scannedAt <= end.addMSecs(1),
                 qPrintable(scannedAt.toString(Qt::ISODateWithMs)));
        QCOMPARE(scannedAt.timeSpec(), Qt::UTC);

        // Without a volume, an added scan leaves the stored one; a replace forgets it, since
        // it was another scan's.
        DiskScanner without = scanner(mode);
        without.NavigateTree(volume_->path());
        QCOMPARE(rows(db(), "SELECT Label FROM DiskVolumes WHERE DiskID = ?", {disk}),
                 mode == DiskScanner::Mode::Add ? QStringList{"SECOND"} : QStringList());
    }

    void completedReplaceTakesThePlaceOfTheEarlierRows() {
        const QStringList otherDisk = rows(db(), "SELECT * FROM Tracks WHERE DiskID = 50000");
        const QString oldDirs =
            rows(db(), "SELECT DirID FROM Dirs WHERE DiskID = ?", {disk}).join(',');
        DiskScanner s = scanner(DiskScanner::Mode::Replace);
        s.volume = volumeNamed("SECOND");
        s.NavigateTree(volume_->path());

        QVERIFY(!s.cancelled());
        QVERIFY(!s.keptEarlierRows());
        QCOMPARE(tracksOfDisk(), QStringList({native("/New|x.mp3"), native("/New|y.mp3")}));
        QCOMPARE(rows(db(), "SELECT DirName FROM Dirs WHERE DiskID = ?", {disk}),
                 QStringList{native("/New")});
        // The same disk row; none of the earlier directories, nor the bytes of their names.
        QCOMPARE(rows(db(), "SELECT * FROM Disks ORDER BY DiskID"),
                 QStringList({"40000|Disk|/media/disk", "50000|Other|/media/other"}));
        QCOMPARE(rows(db(), "SELECT COUNT(*) FROM Dirs WHERE DirID IN (" + oldDirs + ")"),
                 QStringList{"0"});
        QCOMPARE(rows(db(), "SELECT COUNT(*) FROM DirNameBytes"), QStringList{"0"});
        QCOMPARE(rows(db(), "SELECT TrackID FROM TrackNameBytes"),
                 rows(db(), "SELECT TrackID FROM Tracks WHERE DiskID = 50000"));
        // The other disk is untouched.
        QCOMPARE(rows(db(), "SELECT * FROM Tracks WHERE DiskID = 50000"), otherDisk);
        QCOMPARE(everyRowSeenElsewhere(), everyRow(db()));

        QCOMPARE(s.counts().files, 2);
        QCOMPARE(s.counts().directories, 1);
        QCOMPARE(s.replacedRows().tracks, 3);
        QCOMPARE(s.replacedRows().directories, 2);
        QCOMPARE(scanSummary(s), "Catalogued 2 files in 1 directory, in place of the earlier 3 "
                                 "files in 2 directories.");
    }

    // Cancelled after some of its rows were stored: the earlier rows are all there, as they
    // were, and were there for everyone else all along.
    void cancelledReplaceKeepsTheEarlierRows() {
        QVERIFY(QDir().mkpath(at("Many")));
        for (int i = 0; i < 300; ++i)
            QVERIFY(fixture::writeZeroBytes(at(QString("Many/%1.mp3").arg(i, 3, 10, QChar('0')))));
        DiskScanner s = scanner(DiskScanner::Mode::Replace);
        s.volume = volumeNamed("SECOND");
        QStringList seenElsewhere;
        int storedWhenCancelled = 0;
        s.onStep = [&](const QString&) {
            if (s.counts().files < 100)
                return true;
            storedWhenCancelled = s.counts().files;
            seenElsewhere = everyRowSeenElsewhere();
            return false;
        };
        s.NavigateTree(volume_->path());

        QVERIFY(s.cancelled());
        QVERIFY(s.keptEarlierRows());
        // The progress advanced while nothing was committed.
        QVERIFY2(storedWhenCancelled >= 100, qPrintable(QString::number(storedWhenCancelled)));
        QCOMPARE(s.filesListed(), 302);
        QCOMPARE(seenElsewhere, before_);
        QCOMPARE(everyRow(db()), before_);
        QCOMPARE(everyRowSeenElsewhere(), before_);
        // Nothing changed, and the counts say so.
        QCOMPARE(s.counts().files, 0);
        QCOMPARE(s.counts().directories, 0);
        QCOMPARE(scanSummary(s),
                 "Scan cancelled: nothing was replaced, the disk keeps its earlier rows.");
        // The connection is free for the next scan.
        DiskScanner next = scanner(DiskScanner::Mode::Replace);
        next.NavigateTree(at("New"));
        QCOMPARE(tracksOfDisk(), QStringList({native("/New|x.mp3"), native("/New|y.mp3")}));
    }

    void replaceCancelledWhileListingChangesNothing() {
        DiskScanner s = scanner(DiskScanner::Mode::Replace);
        s.volume = volumeNamed("SECOND");
        s.onStep = [](const QString&) { return false; };
        s.NavigateTree(volume_->path());
        QVERIFY(s.cancelled());
        QVERIFY(s.keptEarlierRows());
        QCOMPARE(everyRow(db()), before_);
    }

    // A start that cannot be listed (the disk taken out) is no reason to empty the disk.
    void replaceOfAnUnreadableStartChangesNothing() {
        DiskScanner s = scanner(DiskScanner::Mode::Replace);
        s.volume = volumeNamed("SECOND");
        s.NavigateTree(at("not there"));
        QVERIFY(!s.cancelled());
        QVERIFY(s.keptEarlierRows());
        QCOMPARE(s.counts().unreadableDirectories, 1);
        QCOMPARE(everyRow(db()), before_);
        QVERIFY(scanSummary(s).startsWith("Scan stopped: nothing was replaced"));

        DiskScanner one = scanner(DiskScanner::Mode::Replace);
        one.addFiles(at("not there"));
        QVERIFY(one.keptEarlierRows());
        QCOMPARE(everyRow(db()), before_);
    }

    // A row the engine refuses stops the replace: the earlier rows stay, none of the new.
    void failedReplaceKeepsTheEarlierRows() {
        QVERIFY(makeFiles(at("New"), {"z.mp3"}));
        catalogdb::run(db(), "CREATE TRIGGER Refuse BEFORE INSERT ON Tracks "
                             "WHEN NEW.TrackName = 'y.mp3' BEGIN SELECT RAISE(ABORT, 'full'); END");
        const QStringList before = everyRow(db());
        DiskScanner s = scanner(DiskScanner::Mode::Replace);
        s.volume = volumeNamed("SECOND");
        QVERIFY_THROWS_EXCEPTION(CatalogError, s.NavigateTree(volume_->path()));
        QVERIFY(s.keptEarlierRows());
        QCOMPARE(s.counts().files, 0);
        QCOMPARE(everyRow(db()), before);
        QCOMPARE(everyRowSeenElsewhere(), before);
    }

    // Adding: a second set of rows beside the first.
    void addedScanKeepsTheEarlierRows() {
        DiskScanner s = scanner(DiskScanner::Mode::Add);
        s.NavigateTree(volume_->path());
        QVERIFY(!s.keptEarlierRows());
        QCOMPARE(rows(db(), "SELECT COUNT(*) FROM Tracks WHERE DiskID = ?", {disk}),
                 QStringList{"5"});
        QCOMPARE(scanSummary(s), "Catalogued 2 files in 1 directory.");
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    DirListing listing;
    Scanning scanning;
    Replacing replacing;
    return runTestClasses(argc, argv, {&listing, &scanning, &replacing});
}

#include "test_diskscanner.moc"
