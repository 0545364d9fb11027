// Telling volumes apart: the rule that recognises a catalogued disk, and a real labelled file
// system mounted from an image, scanned, and recognised again under another folder.

#include "catalogdb.h"
#include "diskscanner.h"
#include "diskvolumes.h"
#include "mountedvolumes.h"
#include "mp3fixture.h"
#include "runtestclasses.h"
#include "volumeidentity.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

VolumeIdentity volume(const QString& label, const QString& uuid, qint64 capacity,
                      const QString& fileSystem = "vfat") {
    return {"/media/x", label, uuid, fileSystem, capacity};
}

DiskVolume known(qint64 diskId, const VolumeIdentity& identity, int day) {
    return {diskId, QStringLiteral("Disk %1").arg(diskId), identity,
            QDateTime(QDate(2026, 12, day), QTime(12, 0), Qt::UTC)};
}

} // namespace

Q_DECLARE_METATYPE(VolumeIdentity)

class Recognition : public QObject {
    Q_OBJECT

private slots:
    void sameVolume_data() {
        QTest::addColumn<VolumeIdentity>("a");
        QTest::addColumn<VolumeIdentity>("b");
        QTest::addColumn<bool>("same");
        // A stick relabelled keeps its file system's UUID.
        QTest::newRow("UUID decides over label")
            << volume("OLD", "1A2B-3C4D", 100) << volume("NEW", "1a2b-3c4d", 100) << true;
        QTest::newRow("another UUID, same label")
            << volume("MP3", "1A2B-3C4D", 100) << volume("MP3", "5E6F-7A8B", 100) << false;
        // Optical discs: no UUID; the label and the size tell them apart.
        QTest::newRow("no UUID, label and size")
            << volume("Ä 07", "", 700) << volume("Ä 07", "", 700) << true;
        QTest::newRow("no UUID, same label, other size")
            << volume("MP3", "", 700) << volume("MP3", "", 650) << false;
        QTest::newRow("no UUID, other file system")
            << volume("MP3", "", 700, "iso9660") << volume("MP3", "", 700, "udf") << false;
        QTest::newRow("nothing known is nobody") << volume("", "", 0) << volume("", "", 0) << false;
    }
    void sameVolume() {
        QFETCH(VolumeIdentity, a);
        QFETCH(VolumeIdentity, b);
        QFETCH(bool, same);
        QCOMPARE(::sameVolume(a, b), same);
        QCOMPARE(::sameVolume(b, a), same);
    }

    // Several disks scanned from one volume are folders of it: none of them is the volume.
    void onlyADiskOfItsOwnIsRecognised() {
        const VolumeIdentity stick = volume("MP3", "1A2B-3C4D", 100);
        std::vector<DiskVolume> disks = {known(1, volume("X", "9", 1), 3), known(2, stick, 5)};
        const DiskVolume* found = recogniseDisk(disks, stick);
        QVERIFY(found);
        QCOMPARE(found->diskId, 2);
        QVERIFY(!recogniseDisk(disks, volume("MP3", "FFFF-0000", 100)));
        disks.push_back(known(4, stick, 4));
        QVERIFY(!recogniseDisk(disks, stick));
    }
};

// A small ext4 image with a label and a fixed UUID, mounted through a loop device in a mount
// namespace of this process's own, so that nothing is left mounted if the test dies.
class MountedImage : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    const QString label_ = "Disk Ü 07";
    const QString uuid_ = "3f1c9a52-6d0e-4b7a-9c1d-2e8f5a6b7c0d";

    bool mountAt(const QString& folder, const QString& image = "disk.img",
                 const QString& loop = "loop") {
        QDir().mkpath(folder);
        return QProcess::execute("mount", {"-o", loop + ",ro", dir_.filePath(image), folder}) == 0;
    }

private slots:
    void initTestCase() {
        const QString content = dir_.filePath("content/Album");
        QVERIFY(QDir().mkpath(content));
        QVERIFY(fixture::writeMp3(content + "/01 Track.mp3", {}));
        QFile image(dir_.filePath("disk.img"));
        QVERIFY(image.open(QIODevice::WriteOnly) && image.resize(4 << 20));
        image.close();
        QProcess mkfs;
        mkfs.start("mkfs.ext4", {"-q", "-F", "-L", label_, "-U", uuid_, "-d",
                                 dir_.filePath("content"), image.fileName()});
        QVERIFY2(mkfs.waitForFinished() && mkfs.exitCode() == 0,
                 mkfs.readAllStandardError().constData());
        if (unshare(CLONE_NEWNS) != 0 ||
            mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            !mountAt(dir_.filePath("first")))
            QSKIP("this system lets no process mount a disk image (root and loop devices are "
                  "needed)");
    }

    void identityIsReadScannedAndRecognisedElsewhere() {
        const QString first = dir_.filePath("first");
        const VolumeIdentity mounted = mountedvolumes::volumeAt(first);
        QCOMPARE(mounted.root, QDir::toNativeSeparators(first));
        QCOMPARE(mounted.label, label_);
        QCOMPARE(mounted.uuid, uuid_);
        QCOMPARE(mounted.fileSystem, "ext4");
        QVERIFY(mounted.capacity > 0 && mounted.capacity <= 4 << 20);
        bool listed = false;
        for (const VolumeIdentity& each : mountedvolumes::list())
            listed = listed || each.root == mounted.root;
        QVERIFY(listed);

        const QString path = dir_.filePath("catalog.mdb");
        QVERIFY(catalogdb::prepare(path).ok);
        CatalogConnection connection(path, "test");
        catalogdb::run(connection.db(), "INSERT INTO Disks (DiskName, Drive) VALUES ('Seven', ?)",
                       {first});
        DiskScanner scanner(connection.db(), 1, first);
        scanner.volume = mounted;
        scanner.NavigateTree(first);
        QCOMPARE(scanner.counts().files, 1);

        // Back from the shelf, mounted under another folder.
        QCOMPARE(umount(QFile::encodeName(first).constData()), 0);
        const QString second = dir_.filePath("second");
        QVERIFY(mountAt(second));
        const std::vector<DiskVolume> disks = loadDiskVolumes(connection.db());
        const DiskVolume* found = recogniseDisk(disks, mountedvolumes::volumeAt(second));
        QVERIFY(found);
        QCOMPARE(found->diskName, "Seven");
        QCOMPARE(found->volume.label, label_);
        umount(QFile::encodeName(second).constData());
    }

    // Another disk, written on another day, in the drive: the same loop device, folder and
    // size. Its label is read anew, not taken from the disk before it.
    void aDiskSwappedInTheDriveIsReadAgain() {
        QVERIFY(QFile::copy(dir_.filePath("disk.img"), dir_.filePath("other.img")));
        QProcess mkfs, free;
        mkfs.setEnvironment({"E2FSPROGS_FAKE_TIME=1700000000"});
        mkfs.start("mkfs.ext4", {"-q", "-F", "-L", "Other", dir_.filePath("other.img")});
        free.start("losetup", {"-f"});
        QVERIFY(mkfs.waitForFinished() && mkfs.exitCode() == 0 && free.waitForFinished());
        const QString loop =
            "loop=" + QString::fromLocal8Bit(free.readAllStandardOutput()).trimmed();
        const QString drive = dir_.filePath("drive");
        QStringList labels;
        for (const char* image : {"disk.img", "other.img"}) {
            QVERIFY(mountAt(drive, image, loop));
            labels << mountedvolumes::volumeAt(drive).label;
            umount(QFile::encodeName(drive).constData());
        }
        QCOMPARE(labels, QStringList({label_, "Other"}));
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Recognition recognition;
    MountedImage image;
    return runTestClasses(argc, argv, {&recognition, &image});
}

#include "test_volumes.moc"
