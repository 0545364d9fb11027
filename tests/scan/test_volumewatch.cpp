// Noticing volumes come and go, and telling whether a catalogued disk is in its drive.

#include "diskarrival.h"
#include "mp3fixture.h"
#include "runtestclasses.h"
#include "volumewatch.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const VolumeIdentity rootVolume{"/", "", "0a1b", "ext4", 500'000'000'000};
const VolumeIdentity stick{"/media/me/KEY", "KEY", "A1B2-C3D4", "vfat", 16'000'000'000};

QStringList rootsOf(const QList<VolumeIdentity>& volumes) {
    QStringList roots;
    for (const VolumeIdentity& volume : volumes)
        roots << volume.root + " " + volume.uuid;
    return roots;
}

} // namespace

class VolumeWatchTest : public QObject {
    Q_OBJECT
    QList<VolumeIdentity> mounted;
    std::unique_ptr<VolumeWatch> watch;
    std::unique_ptr<QSignalSpy> changes;

    // The volumes that appeared and went at change `n`.
    QStringList appeared(int n) const {
        return rootsOf(changes->at(n).at(0).value<QList<VolumeIdentity>>());
    }
    QStringList gone(int n) const {
        return rootsOf(changes->at(n).at(1).value<QList<VolumeIdentity>>());
    }
    // A few looks pass without a signal.
    bool staysQuiet() {
        const qsizetype before = changes->size();
        QTest::qWait(60);
        return changes->size() == before;
    }

private Q_SLOTS:
    void init() {
        mounted = {rootVolume};
        watch = std::make_unique<VolumeWatch>([this] { return mounted; });
        watch->setInterval(5);
        changes = std::make_unique<QSignalSpy>(watch.get(), &VolumeWatch::changed);
    }

    // The volumes there at the start are known, not news.
    void startsFromWhatIsMounted() {
        mounted << stick;
        watch->start();
        QCOMPARE(watch->volumes().size(), 2);
        QVERIFY(staysQuiet());
    }

    void tellsWhatAppearedAndWhatWent() {
        watch->start();
        mounted << stick;
        QVERIFY(changes->wait(1000));
        QCOMPARE(appeared(0), QStringList({"/media/me/KEY A1B2-C3D4"}));
        QCOMPARE(gone(0), QStringList());
        QCOMPARE(watch->volumes().size(), 2);
        QVERIFY(staysQuiet());

        mounted.removeFirst();
        QVERIFY(changes->wait(1000));
        QCOMPARE(appeared(1), QStringList());
        QCOMPARE(gone(1), QStringList({"/ 0a1b"}));
    }

    // A disk swapped for another under the same folder between two looks.
    void aSwapIsOneGoneAndOneAppeared() {
        mounted << stick;
        watch->start();
        VolumeIdentity other = stick;
        other.uuid = "FFFF-0000";
        mounted = {rootVolume, other};
        QVERIFY(changes->wait(1000));
        QCOMPARE(appeared(0), QStringList({"/media/me/KEY FFFF-0000"}));
        QCOMPARE(gone(0), QStringList({"/media/me/KEY A1B2-C3D4"}));
    }

    void sameVolumesInAnotherOrderAreNoChange() {
        mounted << stick;
        watch->start();
        mounted = {stick, rootVolume};
        QVERIFY(staysQuiet());
    }

    void stopsLooking() {
        watch->start();
        watch->stop();
        mounted << stick;
        QVERIFY(staysQuiet());
    }
};

// A disk's files, and its volume where it is known, tell whether it is in.
class DiskIsInTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString drive;    // a volume's root, with characters a label may hold
    QByteArray track; // a file on it

    VolumeIdentity volumeAt(const QString& root, const QString& uuid) const {
        return {root, "Jazz é 01", uuid, "iso9660", 700'000'000};
    }

private Q_SLOTS:
    void initTestCase() {
        drive = dir.filePath("Jazz é 01");
        QVERIFY(QDir().mkpath(drive + "/Miles"));
        track = QFile::encodeName(drive + "/Miles/So \"What\".mp3");
        QVERIFY(fixture::writeBytes(QFile::decodeName(track), "mp3"));
    }

    void byItsFileWhenItsVolumeIsUnknown() {
        const DiskVolume otherDisk{8, "Rock", volumeAt("/media/rock", "1111"), {}};
        QVERIFY(diskIsIn(7, track, {}, {}));
        QVERIFY(diskIsIn(7, track, {otherDisk}, {}));
        QVERIFY(!diskIsIn(7, QFile::encodeName(drive + "/Miles/gone.mp3"), {}, {}));
        QVERIFY(!diskIsIn(7, {}, {}, {}));
    }

    // Another disk with the same folders in the drive is not the one asked for.
    void byItsVolumeWhenItIsKnown() {
        const DiskVolume jazz{7, "Jazz", volumeAt("/media/old-place", "2222"), {}};
        QVERIFY(!diskIsIn(7, track, {jazz}, {}));
        QVERIFY(!diskIsIn(7, track, {jazz}, {volumeAt(drive, "3333")}));
        QVERIFY(diskIsIn(7, track, {jazz}, {rootVolume, volumeAt(drive, "2222")}));
        // Its volume mounted elsewhere leaves the file read from another one.
        QVERIFY(!diskIsIn(7, track, {jazz}, {volumeAt(drive + " 2", "2222")}));
        QVERIFY(!diskIsIn(7, track, {jazz}, {volumeAt(dir.filePath("Jazz é"), "2222")}));
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    VolumeWatchTest watch;
    DiskIsInTest diskIsIn;
    return runTestClasses(argc, argv, {&watch, &diskIsIn});
}

#include "test_volumewatch.moc"
