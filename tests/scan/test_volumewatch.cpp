// Noticing volumes come and go.

#include "runtestclasses.h"
#include "volumewatch.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

namespace {

const VolumeIdentity rootVolume{"/", "", "0a1b", "ext4", 500'000'000'000};
const VolumeIdentity stick{"/media/me/KEY", "KEY", "A1B2-C3D4", "vfat", 16'000'000'000};

QStringList rootsOf(const QList<VolumeIdentity>& volumes) {
    QStringList roots;
    for (const VolumeIdentity& volume : volumes)
        roots << volume.root + (volume.uuid.isEmpty() ? "" : " " + volume.uuid);
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

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    VolumeWatchTest watch;
    return runTestClasses(argc, argv, {&watch});
}

#include "test_volumewatch.moc"
