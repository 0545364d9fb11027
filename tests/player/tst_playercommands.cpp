// The play list's commands in the player window: copy, delete, clear, random, the options and
// local mode.

#include "catalogdb.h"
#include "copyjob.h"
#include "damagedcatalogue.h"
#include "directorylist.h"
#include "dlgfrm.h"
#include "mp3fixture.h"
#include "ondialog.h"
#include "playerrig.h"
#include "playlistrows.h"
#include "runtestclasses.h"
#include "statuspanels.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QTreeView>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool write(const QString& path, const QByteArray& bytes) {
    return QDir().mkpath(QFileInfo(path).path()) && fixture::writeBytes(path, bytes);
}

// Disks 2 ("Two") and 10 ("Ten"), each a folder standing in for its disk, with tracks a and c
// on disk 2 and b on disk 10.
struct CopyRig : PlayerRig {
    CopyRig() {
        state.lists.disks = {{2, "Two", path("disk2")}, {10, "Ten", path("disk10")}, {}};
        dirOn(5, 2, "/Rock");
        dirOn(6, 10, "/Pop");
        track(1, 5, 2, "a.mp3");
        track(2, 6, 10, "b.mp3");
        track(3, 5, 2, "c.mp3");
        spares();
        write(path("disk2/Rock/a.mp3"), "first");
        write(path("disk10/Pop/b.mp3"), "second");
        write(path("disk2/Rock/c.mp3"), "third");
        QDir().mkpath(path("out"));
        state.TargetDir = path("out");
        open();
        for (const auto& [id, name] : {std::pair{1, "a.mp3"}, {2, "b.mp3"}, {3, "c.mp3"}})
            rows().append({id, name, name});
    }
    PlaylistRows rows() const { return PlaylistRows(window->lstSongs); }
    QString ticks() const {
        QString marks;
        for (int row = 0; row < rows().count(); ++row)
            marks += rows().isTicked(row) ? 'x' : '-';
        return marks;
    }
    // Starts the copy into TargetDir and waits for its end.
    void copy() {
        window->startCopy();
        if (CopyJob* job = window->copyJob()) {
            QSignalSpy finished(job, &CopyJob::finished);
            QVERIFY(finished.wait(5000));
        }
    }
    QStringList outFiles() const {
        return QDir(path("out")).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    QString status() const { return window->StatusBar1->panelText(1); }
};

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The copy rig with rows added to disk 2 and answers given up front.
struct CopyFaultRig : CopyRig {
    void addRow(qint32 id, qint32 dir, const QString& name) {
        track(id, dir, 2, name);
        rows().append({id, name, name});
    }
    // `cutShort` cuts b.mp3 short once its first slice is copied, as a pulled disk leaves it.
    void copyWith(std::deque<Prompts::Answer> scripted, bool cutShort = false) {
        prompts.answers = std::move(scripted);
        window->startCopy();
        QObject::connect(window->copyJob(), &CopyJob::progress, [=, this](int, int, qint64 bytes) {
            if (cutShort && bytes == CopyJob::SliceBytes)
                QFile::resize(path("disk10/Pop/b.mp3"), bytes + 10);
        });
        QSignalSpy finished(window->copyJob(), &CopyJob::finished);
        QVERIFY(finished.wait(5000));
    }
};

// The copy rig with disk 10 on the shelf until the test puts it in, and its mounted volumes
// looked at every 10 ms.
struct DiskSwapRig : CopyRig {
    DiskSwapRig() {
        state.volumeWatchMs = 10;
        QDir().rename(path("disk10"), path("shelf"));
        volumes = {{"/", "", "0a1b", "ext4", 500'000'000'000}};
    }
    VolumeIdentity ten(const QString& uuid) const {
        return {path("disk10"), "TEN", uuid, "vfat", 64'000'000};
    }
    // Disk 10 is in its drive, as the volume `uuid`, once `ms` have passed.
    void insertTenAfter(int ms, const QString& uuid) {
        QTimer::singleShot(ms, window, [this, uuid] {
            QDir().rename(path("shelf"), path("disk10"));
            volumes << ten(uuid);
        });
    }
};

constexpr auto Ok = Prompts::Answer::Ok;
constexpr auto Skip = Prompts::Answer::Skip;
constexpr auto Wait = ScriptedPrompts::Wait;

} // namespace

class CopyTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Disks 2, 10, 2 in row order: disk 10 is asked for first, then disk 2 once.
    void asksForEachDiskOnce() {
        CopyRig rig;
        rig.rows().append({0, "ghost.mp3", "ghost.mp3"}); // not in the catalogue
        rig.prompts.answers = {Prompts::Answer::Ok, Prompts::Answer::Ok};
        rig.copy();
        QCOMPARE(rig.prompts.texts(),
                 QStringList({"Please Insert Disk - Ten", "Please Insert Disk - Two"}));
        QCOMPARE(rig.ticks(), QString("xxx-"));
        QCOMPARE(rig.outFiles(), QStringList({"a.mp3", "b.mp3", "c.mp3"}));
        QCOMPARE(contents(rig.path("out/b.mp3")), QByteArray("second"));
        QCOMPARE(QFileInfo(rig.path("out/b.mp3")).permissions(),
                 QFileInfo(rig.path("disk10/Pop/b.mp3")).permissions());
        QCOMPARE(rig.status(), QString("Copying Complete."));
        QVERIFY(!rig.window->copyProgress->isVisible());
    }

    void cancelAtADiskKeepsEarlierTicks() {
        CopyRig rig;
        rig.prompts.answers = {Prompts::Answer::Ok, Prompts::Answer::Cancel};
        rig.copy();
        QCOMPARE(rig.ticks(), QString("-x-"));
        QCOMPARE(rig.outFiles(), QStringList({"b.mp3"}));
        QCOMPARE(rig.status(), QString());
    }

    // A missing folder: Cancel stops without a word; OK creates it and copies.
    void missingFolderIsCreatedOnOk() {
        const QString workingDir = QDir::currentPath();
        CopyRig rig;
        rig.state.TargetDir = rig.path("new");
        rig.copy();
        QCOMPARE(rig.prompts.asked.size(), size_t(1));
        QCOMPARE(rig.prompts.asked[0].text, QString("Directory doesn't exist.  Create it?"));
        QCOMPARE(rig.prompts.asked[0].title, QString("Confirm Directory Creation"));
        QVERIFY(!QFileInfo::exists(rig.path("new")));
        QVERIFY(!rig.window->copyJob());

        rig.prompts.answers = {Prompts::Answer::Ok, Prompts::Answer::Ok, Prompts::Answer::Ok};
        rig.copy();
        QCOMPARE(QDir(rig.path("new")).entryList(QDir::Files).size(), 3);
        QVERIFY(rig.state.TargetDir.endsWith(QDir::separator()));
        QCOMPARE(QDir::currentPath(), workingDir); // the copy never moves it
    }

    // The same file already there counts as copied; another file of the name is kept.
    void existingFilesAreNeverOverwritten() {
        CopyRig rig;
        write(rig.path("out/a.mp3"), "first");
        write(rig.path("out/c.mp3"), "mine");
        rig.prompts.answers = {Prompts::Answer::Ok, Prompts::Answer::Ok};
        rig.copy();
        QCOMPARE(rig.ticks(), QString("xxx"));
        QCOMPARE(rig.outFiles(), QStringList({"a.mp3", "b.mp3", "c (2).mp3", "c.mp3"}));
        QCOMPARE(contents(rig.path("out/c.mp3")), QByteArray("mine"));
        QCOMPARE(contents(rig.path("out/c (2).mp3")), QByteArray("third"));
    }

    // A file that cannot be read asks Retry / Skip / Cancel with the reason; Skip goes on.
    void failedCopyOffersAWayOut() {
        CopyRig rig;
        QFile::remove(rig.path("disk2/Rock/a.mp3"));
        rig.prompts.answers = {Prompts::Answer::Ok, Prompts::Answer::Ok,   Prompts::Answer::Retry,
                               Prompts::Answer::Ok, Prompts::Answer::Skip, Prompts::Answer::Ok};
        rig.copy();
        QCOMPARE(rig.prompts.asked.size(), size_t(6));
        QCOMPARE(rig.prompts.asked[2].buttons, Prompts::Buttons::RetrySkipCancel);
        QVERIFY(rig.prompts.asked[2].text.contains("a.mp3"));
        // Retry asks for the disk again, as no file came off it yet; so does the next file.
        QCOMPARE(rig.prompts.asked[3].text, QString("Please Insert Disk - Two"));
        QCOMPARE(rig.prompts.asked[5].text, QString("Please Insert Disk - Two"));
        QCOMPARE(rig.ticks(), QString("-xx"));
        QCOMPARE(rig.outFiles(), QStringList({"b.mp3", "c.mp3"}));
    }

    // Cancelled in the middle of a file: nothing is left of it.
    void cancelMidFileLeavesNoPartialFile() {
        CopyRig rig;
        fixture::writeRandomBytes(rig.path("disk10/Pop/b.mp3"), 4 * CopyJob::SliceBytes, 3);
        rig.prompts.answers = {Prompts::Answer::Ok};
        rig.window->startCopy();
        QSignalSpy finished(rig.window->copyJob(), &CopyJob::finished);
        bool shown = false;
        connect(rig.window->copyJob(), &CopyJob::progress, this, [&](int, int, qint64 bytes) {
            if (bytes == 0 || shown)
                return;
            shown = rig.window->copyProgress->isVisibleTo(rig.window);
            QTest::mouseClick(rig.window->copyCancel, Qt::LeftButton);
        });
        QVERIFY(finished.wait(5000));
        QVERIFY(shown);
        QCOMPARE(finished.at(0).at(0).toBool(), false);
        QCOMPARE(rig.outFiles(), QStringList());
        QCOMPARE(rig.ticks(), QString("---"));
    }

    // "&Copy" on an empty list, then through the directory dialog: closed without a choice it
    // copies nothing; its directory "&OK" names the folder.
    void copyCommandUsesTheDirectoryDialog() {
        CopyRig rig;
        rig.rows().clear();
        rig.window->mnuCopy->trigger();
        QCOMPARE(rig.prompts.texts(), QStringList({"No data in list"}));
        rig.prompts.asked.clear();

        PlaylistRows(rig.window->lstSongs).append({2, "b.mp3", "b.mp3"});
        onDialog([](DlgFrm* dialog) { dialog->reject(); });
        rig.window->mnuCopy->trigger();
        QVERIFY(!rig.window->copyJob());
        QVERIFY(rig.prompts.asked.empty());

        const QString chosen = rig.path("disk2");
        onDialog([chosen](DlgFrm* dialog) {
            QVERIFY(!dialog->Command1->isVisible());
            dialog->Dir1->setPath(chosen);
            dialog->Command2->click();
        });
        rig.prompts.answers = {Prompts::Answer::Ok};
        rig.window->mnuCopy->trigger();
        QSignalSpy finished(rig.window->copyJob(), &CopyJob::finished);
        QVERIFY(finished.wait(5000));
        QVERIFY(QFileInfo::exists(rig.path("disk2/b.mp3")));
        QCOMPARE(rig.state.TargetDir, QDir::toNativeSeparators(chosen) + QDir::separator());
    }
};

// What the copy must not do, whatever the catalogue and the folders hold.
class CopyFaultsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Names that would lead out of the folder or off the disk: each row is refused with its
    // reason and skipped; nothing is written outside "out".
    void refusesNamesLeavingTheFolder() {
        CopyFaultRig rig;
        write(rig.path("disk2/escaped.mp3"), "x");
        rig.dirOn(7, 2, "/Rock/../../disk10/Pop");
        for (const auto& [id, dir, name] :
             {std::tuple{4, 5, "./../escaped.mp3"}, {5, 5, ".."}, {6, 5, ""}, {7, 7, "b.mp3"}})
            rig.addRow(id, dir, name);
        rig.copyWith({Ok, Ok, Skip, Skip, Skip, Skip});
        QVERIFY(!QFileInfo::exists(rig.path("escaped.mp3")));
        QCOMPARE(rig.ticks(), QString("xxx----"));
        const QString told = rig.prompts.texts().join('|');
        for (const char* reason : {"Row 4: ", "separator", "a folder", "no file name", "climbs"})
            QVERIFY2(told.contains(reason), reason);
        QVERIFY(TrackPaths(rig.state.lists, {}).fullPath(rig.state.lists.tracks.back()).isEmpty());
        QCOMPARE(rig.status(), QString("Copying Complete. 3 copied, 4 skipped."));
    }

    // A dangling link and a link to the source itself are names taken, never followed.
    void neverFollowsLinksInTheFolder() {
        CopyFaultRig rig;
        QDir().mkpath(rig.path("victim"));
        QVERIFY(QFile::link("../victim/newfile", rig.path("out/a.mp3")));
        QVERIFY(QFile::link(rig.path("disk10/Pop/b.mp3"), rig.path("out/b.mp3")));
        rig.copyWith({Ok, Ok});
        QVERIFY(!QFileInfo::exists(rig.path("victim/newfile")));
        QVERIFY(QFileInfo(rig.path("out/a.mp3")).isSymLink());
        QCOMPARE(contents(rig.path("out/a (2).mp3")) + contents(rig.path("out/b (2).mp3")),
                 QByteArray("firstsecond"));
    }

    // 254 bytes of two-byte characters: the partial file's name stays short.
    void copiesNamesNearTheLengthLimit() {
        CopyFaultRig rig;
        const QString name = QString(125, u'\u00e9') + ".mp3";
        write(rig.path("disk2/Rock/" + name), "long");
        rig.addRow(4, 5, name);
        rig.copyWith({Ok, Ok});
        QCOMPARE(contents(rig.path("out/" + name)), QByteArray("long"));
    }

    // Written on another system: the catalogue shows the name readably and keeps its bytes,
    // which reach the file.
    void copiesNamesThatAreNotUtf8() {
        CopyFaultRig rig;
        const QByteArray bytes = "caf\xe9.mp3";
        const QByteArray local = QFile::encodeName(rig.path("disk2/Rock/")) + bytes;
        const int fd = ::open(local.constData(), O_CREAT | O_WRONLY, 0644);
        QVERIFY(fd >= 0 && ::write(fd, "latin", 5) == 5 && ::close(fd) == 0);
        const QString readable = "caf" + QString(QChar::ReplacementCharacter) + ".mp3";
        rig.state.lists.trackNameBytes.insert(4, bytes);
        rig.addRow(4, 5, readable);
        rig.copyWith({Ok, Ok});
        QCOMPARE(contents(rig.path("out/" + readable)), QByteArray("latin"));
        ::unlink(local.constData()); // a name the temporary folder's clean-up cannot reach
    }

    void sourceCutShortIsAFailure() {
        CopyFaultRig rig;
        fixture::writeRandomBytes(rig.path("disk10/Pop/b.mp3"), 4 * CopyJob::SliceBytes, 5);
        rig.copyWith({Ok}, true);
        QCOMPARE(rig.prompts.asked.at(1).buttons, Prompts::Buttons::RetrySkipCancel);
        QCOMPARE(rig.ticks(), QString("---"));
    }

    void statusSaysWhenAllWereSkipped() {
        CopyFaultRig rig;
        for (const char* file : {"disk2/Rock/a.mp3", "disk10/Pop/b.mp3", "disk2/Rock/c.mp3"})
            QFile::remove(rig.path(file));
        rig.copyWith({Ok, Skip, Ok, Skip, Ok, Skip});
        QCOMPARE(rig.status(), QString("Copying Complete. 0 copied, 3 skipped."));
    }

    void copiesRegularFilesOnly() {
        CopyFaultRig rig;
        const QString a = rig.path("disk2/Rock/a.mp3"), c = rig.path("disk2/Rock/c.mp3");
        QVERIFY(QFile::remove(a) && QFile::remove(c) && QFile::link("/dev/zero", a));
        QCOMPARE(::mkfifo(QFile::encodeName(c).constData(), 0600), 0);
        rig.copyWith({Ok, Ok, Skip, Ok, Skip});
        QCOMPARE(rig.ticks(), QString("-x-"));
        QCOMPARE(rig.prompts.texts().filter("not a regular file").size(), 2);
    }

    void skipDropsTheFileUnderWay() {
        CopyFaultRig rig;
        fixture::writeRandomBytes(rig.path("disk10/Pop/b.mp3"), 4 * CopyJob::SliceBytes, 5);
        rig.copyWith({Ok, Skip, Ok}, true);
        QCOMPARE(rig.ticks(), QString("x-x"));
        QCOMPARE(rig.outFiles(), QStringList({"a.mp3", "c.mp3"}));
    }

    // A target holding the source and more is another file; its free name keeps "%" intact.
    void longerTargetIsNotTheCopy() {
        CopyFaultRig rig;
        write(rig.path("disk2/Rock/5%1 (%2).mp3"), "odd");
        write(rig.path("out/5%1 (%2).mp3"), "odd!");
        rig.addRow(4, 5, "5%1 (%2).mp3");
        rig.copyWith({Ok, Ok});
        QCOMPARE(contents(rig.path("out/5%1 (%2) (2).mp3")), QByteArray("odd"));
    }

    void emptyTrackCopiesWithoutAQuestion() {
        CopyFaultRig rig;
        write(rig.path("disk10/Pop/b.mp3"), {});
        rig.copyWith({Ok, Ok});
        QCOMPARE(rig.prompts.asked.size(), size_t(2));
        QVERIFY(QFileInfo(rig.path("out/b.mp3")).isFile());
    }
};

// While the copy asks for a disk, the disk coming in answers for the person.
class CopyWaitsForDisksTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Disk 2, in its drive already, is still asked for, and goes on at once.
    void goesOnWhenTheDiskComesIn() {
        DiskSwapRig rig;
        rig.prompts.answers = {Wait, Wait};
        rig.insertTenAfter(50, "C0FF-EE00");
        rig.copy();
        QCOMPARE(rig.prompts.texts(),
                 QStringList({"Please Insert Disk - Ten", "Please Insert Disk - Two"}));
        QVERIFY(rig.prompts.asked[0].selfAnswered && rig.prompts.asked[1].selfAnswered);
        QCOMPARE(rig.ticks(), QString("xxx"));
    }

    // A stick put in is not disk 10: the question stays until the person cancels.
    void anotherVolumeLeavesTheQuestion() {
        DiskSwapRig rig;
        rig.prompts.answers = {Wait};
        QTimer::singleShot(30, rig.window, [&rig] {
            write(rig.path("stick/Pop/b.mp3"), "second");
            rig.volumes << VolumeIdentity{rig.path("stick"), "KEY", "A1B2-C3D4", "vfat", 1000};
        });
        QTimer::singleShot(300, rig.window,
                           [&rig] { rig.prompts.answerNow(Prompts::Answer::Cancel); });
        rig.copy();
        QCOMPARE(rig.prompts.asked.size(), size_t(1));
        QVERIFY(!rig.prompts.asked[0].selfAnswered);
        QCOMPARE(rig.ticks(), QString("---"));
    }

    // Disk 10's volume known: another disk holding its folders is not it; its own volume is.
    void aKnownVolumeMustBeTheDisks() {
        DiskSwapRig rig;
        rig.state.knownVolumes = {{10, "Ten", rig.ten("1111-AAAA"), {}}};
        rig.prompts.answers = {Wait, Wait};
        rig.insertTenAfter(30, "2222-BBBB");
        QString ticksBeforeItsOwn;
        QTimer::singleShot(300, rig.window, [&] {
            ticksBeforeItsOwn = rig.ticks();
            rig.volumes.last() = rig.ten("1111-AAAA");
        });
        rig.copy();
        QCOMPARE(ticksBeforeItsOwn, QString("---"));
        QVERIFY(rig.prompts.asked[0].selfAnswered);
        QCOMPARE(rig.ticks(), QString("xxx"));
    }
};

class PlaylistCommandsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void deleteRemovesTickedRowsAndClearEmpties() {
        PlayerRig rig;
        rig.open();
        PlaylistRows rows(rig.window->lstSongs);
        for (const QString name : {"1", "2", "3", "4", "5"})
            rows.append({0, name, name});
        rows.tick(1);
        rows.tick(3);
        rig.window->mnuDelete->trigger();
        QCOMPARE(rows.count(), 3);
        QCOMPARE(rows.entry(0).text + rows.entry(1).text + rows.entry(2).text, QString("135"));
        QCOMPARE(rig.window->StatusBar1->panelText(2), QString("Tracks to copy: 3"));
        rig.window->mnuDelete->trigger();
        QCOMPARE(rows.count(), 3);
        rig.window->mnuClear->trigger();
        QCOMPARE(rows.count(), 0);
        QCOMPARE(rig.window->StatusBar1->panelText(2), QString("Tracks to copy: 0"));
    }

    // The proposed 15 adds fifteen distinct tracks after the rows there; 0, a fraction, a
    // negative number, a cancelled box or text add nothing and ask nothing more.
    void randomSongs() {
        PlayerRig rig;
        rig.disk(1, "One");
        rig.dirOn(1, 1, "/");
        for (int i = 1; i <= 20; ++i)
            rig.track(i, 1, 1, QStringLiteral("%1.mp3").arg(i));
        rig.spares();
        rig.open();
        PlaylistRows rows(rig.window->lstSongs);
        rows.append({3, "3.mp3", "3.mp3"});
        rig.prompts.inputs = {QString("15"), QString("0"),    QString("2.5"), QString("-3"),
                              std::nullopt,  QString("many"), QString("15")};
        rig.window->mnuRandom->trigger();
        QCOMPARE(rig.prompts.asked.at(0).text, QString("Number of songs:"));
        QCOMPARE(rig.prompts.asked.at(0).title, QString("Get number of random songs"));
        QCOMPARE(rows.count(), 16);
        QCOMPARE(rows.entry(0).text, QString("3.mp3"));
        for (int n = 0; n < 5; ++n)
            rig.window->mnuRandom->trigger();
        QCOMPARE(rows.count(), 16);
        rig.window->mnuRandom->trigger(); // only four tracks are left
        QCOMPARE(rows.count(), 20);
        QCOMPARE(rows.keys().size(), 20);
        QCOMPARE(rig.prompts.asked.size(), size_t(7));
        const PlaylistEntry last = rows.entry(19);
        QCOMPARE(last.key, last.text);
        QCOMPARE(QStringLiteral("%1.mp3").arg(last.trackId), last.text);
    }
};

class OptionsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A file that is not a program is refused; a program is kept in "WA" and never asked for
    // again.
    void winampAsksOnceForAProgram() {
        PlayerRig rig;
        rig.open();
        write(rig.path("notes.txt"), "text");
        write(rig.path("player.sh"), "#!/bin/sh\n");
        QFile(rig.path("player.sh")).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        rig.prompts.files = {rig.path("notes.txt"), rig.path("player.sh")};
        rig.window->mnuWinamp->trigger();
        QCOMPARE(rig.prompts.asked.at(0).title, QString("Show me Winamp..."));
        QVERIFY(rig.prompts.asked.at(1).text.contains("not a program"));
        QVERIFY(!rig.window->mnuWinamp->isChecked());
        QCOMPARE(rig.settings.get("WA"), QString());

        rig.window->mnuWinamp->trigger();
        QVERIFY(rig.window->mnuWinamp->isChecked());
        QCOMPARE(rig.settings.get("WA"), rig.path("player.sh"));
        rig.window->mnuWinamp->trigger();
        rig.window->mnuWinamp->trigger();
        QVERIFY(rig.window->mnuWinamp->isChecked());
        QCOMPARE(rig.prompts.asked.size(), size_t(3));
    }

    // Closing the drive dialog without a drive turns the option off and keeps the drive.
    void driveDialogClosedKeepsTheDrive() {
        PlayerRig rig;
        rig.state.CdDrive = "/media/cdrom";
        rig.open();
        onDialog([](DlgFrm* dialog) {
            QVERIFY(dialog->Command1->isVisible());
            dialog->reject();
        });
        rig.window->mnuDrive->trigger();
        QVERIFY(!rig.window->mnuDrive->isChecked());
        QVERIFY(!rig.state.useCdDrive);
        QCOMPARE(rig.state.CdDrive, QString("/media/cdrom"));
        QCOMPARE(rig.ends, 0);

        onDialog([](DlgFrm* dialog) { dialog->Command1->click(); });
        rig.window->mnuDrive->trigger();
        QVERIFY(rig.state.useCdDrive);
        QCOMPARE(rig.settings.get("Drive"), rig.state.CdDrive);
    }

    void hiddenItemsStayHidden() {
        PlayerRig rig;
        rig.open();
        QVERIFY(!rig.window->mnuLocal->isVisible());
        QVERIFY(!rig.window->mnuCredits->isVisible());
        QVERIFY(!rig.window->mnuLayered->isVisible());
    }
};

class LocalModeTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // To the local folder and back: the tree follows the lists, the play list stays.
    void switchesToLocalAndBack() {
        PlayerRig rig;
        rig.state.DBPath = rig.path("catalog.mdb");
        QVERIFY(catalogdb::prepare(rig.state.DBPath).ok);
        {
            CatalogConnection c(rig.state.DBPath, "fill");
            catalogdb::run(c.db(), "INSERT INTO Disks VALUES (7, 'Shelf', '/media/shelf')");
            catalogdb::run(c.db(), "INSERT INTO Dirs VALUES (1, 7, '/Jazz')");
            catalogdb::run(c.db(), "INSERT INTO Tracks VALUES (1, 1, 7, '', 'x.mp3', '', '', '')");
        }
        write(rig.path("MP3/Blues/y.mp3"), "y");
        rig.open();
        rig.window->localFolder = rig.path("missing");
        PlaylistRows(rig.window->lstSongs).append({1, "x.mp3", "x.mp3"});

        rig.window->mnuLocal->trigger();
        QVERIFY(rig.prompts.asked.at(0).text.contains("cannot be read"));
        QCOMPARE(rig.window->mnuLocal->text(), QString("&Local"));

        rig.window->localFolder = rig.path("MP3");
        rig.window->mnuLocal->trigger();
        QTRY_COMPARE(rig.window->mnuLocal->text(), QString("&DB"));
        QVERIFY(rig.window->isLocalMode());
        QCOMPARE(rig.window->treeModel->index(0, 0).data().toString(), QString("Local"));
        QCOMPARE(rig.state.lists.tracks.at(2).TrackName, QString("y.mp3"));

        rig.window->mnuLocal->trigger();
        QCOMPARE(rig.window->mnuLocal->text(), QString("&Local"));
        QCOMPARE(rig.window->treeModel->index(0, 0).data().toString(), QString("Shelf"));
        QCOMPARE(rig.window->lstSongs->count(), 1);
    }

    // The window answers while the folder is read; Esc stops the walk and keeps the mode.
    void walkRunsBesideTheWindowAndEscStopsIt() {
        PlayerRig rig;
        write(rig.path("MP3/y.mp3"), "y");
        rig.track(1, 1, 1, "x.mp3");
        rig.open();
        rig.window->localFolder = rig.path("MP3");
        rig.window->mnuLocal->trigger();
        QVERIFY(!rig.window->isLocalMode());
        QVERIFY(rig.window->StatusBar1->panelText(1).startsWith("Reading the local folder"));
        QTest::keyClick(rig.window, Qt::Key_Escape);
        QTRY_VERIFY(!rig.window->isReadingLocalFolder());
        QVERIFY(!rig.window->isLocalMode());
        QCOMPARE(rig.state.lists.tracks.at(0).TrackName, QString("x.mp3"));
    }

    // A local play list's length is that of its files.
    void localTracksCountTheirPlayingTimes() {
        PlayerRig rig;
        fixture::Mp3Params nineSeconds; // 250 frames of 1152 samples at 32 kHz
        nineSeconds.sampleRate = 32000;
        nineSeconds.frames = 250;
        QVERIFY(QDir().mkpath(rig.path("MP3")));
        for (const char* name : {"MP3/a.mp3", "MP3/b.mp3"})
            QVERIFY(fixture::writeMp3(rig.path(name), nineSeconds));
        TreePlayer* w = rig.open();
        w->localFolder = rig.path("MP3");
        w->mnuLocal->trigger();
        QTRY_VERIFY(w->isLocalMode());
        w->trDirs->setCurrentIndex(w->treeModel->indexOfNode(w->treeModel->tree().indexOfDir(2)));
        w->Tree_Click();
        w->mnuAddVolume->trigger();
        QCOMPARE(w->StatusBar1->panelText(3), QString("Total Time:00:00:18"));
    }

    // Damage found on the way back is reported as at start-up; the local lists stay.
    void damagedCatalogueKeepsLocalMode() {
        PlayerRig rig;
        rig.state.DBPath = rig.path("music.mdb");
        QVERIFY(makeFilledCatalogue(rig.state.DBPath, 20000));
        write(rig.path("MP3/y.mp3"), "y");
        rig.open();
        rig.window->localFolder = rig.path("MP3");
        rig.window->mnuLocal->trigger();
        QTRY_VERIFY(rig.window->isLocalMode());
        QVERIFY(damagePages(rig.state.DBPath));
        rig.window->mnuLocal->trigger();
        QVERIFY(rig.prompts.texts().join(' ').contains("music.mdb\" is damaged"));
        QVERIFY(rig.window->isLocalMode());
        QCOMPARE(rig.state.lists.tracks.at(2).TrackName, QString("y.mp3"));
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    CopyTest copy;
    CopyFaultsTest faults;
    CopyWaitsForDisksTest waits;
    PlaylistCommandsTest playlist;
    OptionsTest options;
    LocalModeTest local;
    return runTestClasses(argc, argv, {&copy, &faults, &waits, &playlist, &options, &local});
}

#include "tst_playercommands.moc"
