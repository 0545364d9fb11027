// The window-less engines behind the play list's commands: random picks, the copy plan and
// the local folder walk.

#include "copyplan.h"
#include "localfolder.h"
#include "mp3fixture.h"
#include "randompicks.h"
#include "runtestclasses.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>

namespace {

TrackRecord track(qint32 id, qint32 dir, qint32 disk, const QString& name) {
    TrackRecord t;
    t.TrackID = id;
    t.DirID = dir;
    t.DiskID = disk;
    t.TrackName = name;
    return t;
}

// A loaded list: real tracks named "t1.mp3" … followed by the spare element.
TrackList loadedTracks(int count) {
    TrackList tracks;
    for (int i = 1; i <= count; ++i)
        tracks.push_back(track(i, 1, 1, QStringLiteral("t%1.mp3").arg(i)));
    tracks.emplace_back();
    return tracks;
}

} // namespace

class RandomPicksTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Picks never repeat a name, skip names already in the play list and the empty slots of
    // either mode, and stop when the tracks run out.
    void picksAreDistinctRealTracks() {
        TrackList tracks{TrackRecord{}, TrackRecord{}}; // local mode's empty slots 0 and 1
        for (int i = 2; i < 8; ++i)
            tracks.push_back(track(i, 2, 1, QStringLiteral("s%1.mp3").arg(i)));
        tracks.push_back(track(8, 2, 1, "s2.mp3")); // a second track of one name
        QRandomGenerator generator(7);
        const std::vector<qint32> picks =
            randompicks::pick(tracks, 50, QSet<QString>{"s3.mp3"}, generator);
        QSet<QString> names;
        for (const qint32 i : picks) {
            QVERIFY(tracks[i].TrackID != 0);
            names.insert(tracks[i].TrackName);
        }
        QCOMPARE(int(picks.size()), 5); // s2, s4, s5, s6, s7
        QCOMPARE(names.size(), 5);
        QVERIFY(!names.contains("s3.mp3"));
        QVERIFY(randompicks::pick(TrackList{}, 15, {}, generator).empty());
    }

    // Every real track, the first and the last included, is drawn equally often: a chi-square
    // test over 40000 single picks from ten tracks (critical value 27.9 at 9 degrees of
    // freedom, p = 0.001).
    void picksAreUniform() {
        const TrackList tracks = loadedTracks(10);
        QRandomGenerator generator(20261207);
        std::vector<int> seen(tracks.size(), 0);
        const int draws = 40000;
        for (int n = 0; n < draws; ++n)
            ++seen[randompicks::pick(tracks, 1, {}, generator).at(0)];
        QCOMPARE(seen.back(), 0); // the spare element
        double chiSquare = 0;
        const double expected = draws / 10.0;
        for (int i = 0; i < 10; ++i)
            chiSquare += (seen[i] - expected) * (seen[i] - expected) / expected;
        QVERIFY2(chiSquare < 27.9, qPrintable(QString::number(chiSquare)));
    }
};

class CopyPlanTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Disks 2, 10 and 2: disk 10 sorts first as text, disk 2's rows follow in list order.
    // Rows resolve by identity; a row without one by its name; an unknown row is left out.
    void ordersByDiskKeyAsText() {
        CatalogLists lists;
        lists.disks = {{2, "Two", "/media/two"}, {10, "Ten", "/media/ten"}, {}};
        lists.dirs = {{5, 2, "/Rock"}, {6, 10, "/"}, {}};
        lists.tracks = {track(1, 5, 2, "a.mp3"),
                        track(2, 6, 10, "b.mp3"),
                        track(3, 5, 2, "c.mp3"),
                        track(4, 6, 10, "a.mp3"),
                        {}};
        const std::vector<copyplan::Entry> entries{
            {0, 1, "a.mp3"}, {1, 2, "b.mp3"}, {2, 0, "c.mp3"}, {3, 0, "gone.mp3"}, {4, 4, "a.mp3"}};
        const std::vector<copyplan::Item> items = copyplan::plan(entries, lists, {});
        QStringList order;
        for (const copyplan::Item& item : items)
            order << QStringLiteral("%1:%2:%3").arg(item.row).arg(item.diskName, item.source);
        QCOMPARE(order,
                 QStringList({"1:Ten:/media/ten/b.mp3", "4:Ten:/media/ten/a.mp3",
                              "0:Two:/media/two/Rock/a.mp3", "2:Two:/media/two/Rock/c.mp3"}));

        // The "&Drive" option reads every disk from the one drive.
        const copyplan::Source cd{false, {}, true, "/media/cdrom"};
        QCOMPARE(copyplan::plan({{0, 3, "c.mp3"}}, lists, cd).at(0).source,
                 QString("/media/cdrom/Rock/c.mp3"));
    }
};

class LocalFolderTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;

    QString make(const QString& relative) {
        const QString path = m_dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        if (!fixture::writeBytes(path, "ID3"))
            qWarning("cannot write %s", qPrintable(path));
        return path;
    }

    QStringList recorded(const CatalogLists& lists) {
        QStringList out;
        for (size_t i = 2; i < lists.dirs.size(); ++i)
            out << QStringLiteral("%1:%2").arg(lists.dirs[i].DirID).arg(lists.dirs[i].DirName);
        return out;
    }

private Q_SLOTS:
    // Subfolders before their folder, names in order, identifiers equal to indexes from 2, the
    // local folder itself with an empty name; a folder without MP3 files is not recorded.
    void walksPostOrder() {
        const QString root = m_dir.filePath("MP3");
        make("MP3/Pop/Live/one.mp3");
        make("MP3/Pop/Live/two.MP3");
        make("MP3/Rock/three.mp3");
        make("MP3/Rock/notes.txt");
        make("MP3/top.mp3");
        CatalogLists lists = localfolder::emptyLists();
        localfolder::walk(lists, root, root);
        const QString live = QDir::toNativeSeparators("Pop/Live");
        QCOMPARE(recorded(lists), QStringList({"2:" + live, "3:Rock", "4:"}));
        QCOMPARE(lists.disks[0].DiskName, QString("Local"));
        QCOMPARE(lists.tracks.size(), size_t(6));
        QCOMPARE(lists.tracks[2].TrackID, 2);
        QCOMPARE(lists.tracks[2].TrackName, QString("one.mp3"));
        QCOMPARE(lists.tracks[3].TrackName, QString("two.MP3"));
        QCOMPARE(lists.tracks[5].DirID, 4);
        QCOMPARE(localfolder::trackPath(lists, root, lists.tracks[5]),
                 QDir::toNativeSeparators(root + "/top.mp3"));
        QCOMPARE(localfolder::trackPath(lists, root, lists.tracks[2]),
                 QDir::toNativeSeparators(root + "/Pop/Live/one.mp3"));
    }

    // A link back up the tree is not followed and an unreadable folder is left out; the walk
    // ends and records the rest.
    void survivesLinksAndUnreadableFolders() {
        const QString root = m_dir.filePath("Walk");
        make("Walk/A/a.mp3");
        make("Walk/Locked/b.mp3");
        QVERIFY(QFile::link(root, root + "/A/loop"));
        QFile locked(root + "/Locked");
        QVERIFY(locked.setPermissions(QFileDevice::Permissions{}));
        CatalogLists lists = localfolder::emptyLists();
        localfolder::walk(lists, root, root);
        locked.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                              QFileDevice::ExeOwner);
        // Root reads every folder.
        QCOMPARE(recorded(lists),
                 geteuid() == 0 ? QStringList({"2:A", "3:Locked"}) : QStringList({"2:A"}));
        QVERIFY(!localfolder::isReadableFolder(m_dir.filePath("Missing")));
    }
};

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    RandomPicksTest random;
    CopyPlanTest plan;
    LocalFolderTest local;
    return runTestClasses(argc, argv, {&random, &plan, &local});
}

#include "test_playlistengines.moc"
