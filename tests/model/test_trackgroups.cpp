// The tracks listed for a disk or a directory, from the groups built over the track list.

#include "trackgroups.h"

#include <QTest>

namespace {

TrackRecord track(qint32 id, qint32 dir, qint32 disk) {
    TrackRecord t;
    t.TrackID = id;
    t.DirID = dir;
    t.DiskID = disk;
    t.TrackName = QString("t%1.mp3").arg(id);
    return t;
}

using Indexes = std::vector<qint32>;

} // namespace

class TrackGroupsTest : public QObject {
    Q_OBJECT

private slots:
    // A disk lists its tracks across directories in list order, wherever in the list they lie;
    // the spare element and unknown keys list nothing.
    void groupsFollowListOrder() {
        TrackList tracks = {track(1, 10, 1), track(2, 10, 1), track(3, 11, 2),
                            track(4, 12, 1), track(5, 10, 1), TrackRecord{}};
        TrackGroups groups(tracks);
        QCOMPARE(groups.under({NodeKind::Disk, 1}), (Indexes{0, 1, 3, 4}));
        QCOMPARE(groups.under({NodeKind::Dir, 10}), (Indexes{0, 1, 4}));
        QCOMPARE(groups.under({NodeKind::Dir, 11}), (Indexes{2}));
        QCOMPARE(groups.under({NodeKind::Disk, 0}), Indexes{});
        QCOMPARE(groups.under({NodeKind::Dir, 99}), Indexes{});
    }

    // A list replaced or grown, or records overwritten in place and the groups rebuilt: the
    // groups follow.
    void groupsFollowAChangedList() {
        TrackList tracks = {track(1, 10, 1), track(2, 11, 1), TrackRecord{}};
        TrackGroups groups(tracks);
        QCOMPARE(groups.under({NodeKind::Dir, 10}), (Indexes{0}));
        tracks[0] = track(7, 20, 3);
        tracks[1] = track(8, 20, 3);
        groups.rebuild();
        QCOMPARE(groups.under({NodeKind::Dir, 20}), (Indexes{0, 1}));
        QCOMPARE(groups.under({NodeKind::Disk, 1}), Indexes{});
        tracks = {track(9, 30, 4), TrackRecord{}};
        QCOMPARE(groups.under({NodeKind::Disk, 4}), (Indexes{0}));
        tracks.insert(tracks.begin() + 1, track(10, 30, 4));
        QCOMPARE(groups.under({NodeKind::Dir, 30}), (Indexes{0, 1}));
    }
};

QTEST_GUILESS_MAIN(TrackGroupsTest)
#include "test_trackgroups.moc"
