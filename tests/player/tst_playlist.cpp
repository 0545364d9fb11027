// The play list, its totals and the play routine of the player window, with a scripted player.

#include "durations.h"
#include "playbackrig.h"
#include "playerstrip.h"
#include "runtestclasses.h"
#include "statuspanels.h"
#include "templaylist.h"

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QRegularExpression>
#include <QSlider>
#include <QToolButton>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QString panel(TreePlayer* w, int number) {
    return w->StatusBar1->panelText(number);
}

QStringList tempLists(const PlaybackRig& rig) {
    return QDir(rig.state.tempPlaylistDir).entryList({"*.m3u"}, QDir::Files);
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class Durations : public QObject {
    Q_OBJECT
private slots:
    void secondsAndTimes() {
        QCOMPARE(GetSeconds("00:00:59"), 59.0);
        QCOMPARE(GetSeconds("00:03:25"), 205.0);
        QCOMPARE(GetSeconds("00-03-25"), 205.0); // separators are not examined
        QCOMPARE(GetSeconds("09:06:07"), 32767.0);
        QCOMPARE(GetSeconds("10:00:00"), 36000.0);
        QCOMPARE(GetSeconds("123:04:05"), 443045.0);
        for (const char* malformed : {"", "3:25", "00:03", "ab:cd:ef", "00:03:2x", " 0:03:25"})
            QCOMPARE(GetSeconds(malformed), 0.0);

        QCOMPARE(SecondstoTime(0), QString("00:00:00"));
        QCOMPARE(SecondstoTime(205), QString("00:03:25"));
        QCOMPARE(SecondstoTime(3725), QString("01:02:05"));
        QCOMPARE(SecondstoTime(32767), QString("09:06:07"));
        QCOMPARE(SecondstoTime(35999), QString("09:59:59"));
        QCOMPARE(SecondstoTime(36000), QString("10:00:00"));
        QCOMPARE(SecondstoTime(443045), QString("123:04:05"));
        QCOMPARE(SecondstoTime(-5), QString("00:00:00"));
    }

    // Each entry counts its own track, even where another track shares its file name.
    void totalsFollowAddDeleteAndClear() {
        PlaybackRig rig;
        rig.addDisk(1, "One");
        rig.addDisk(2, "Two");
        rig.dirOn(1, 1, "/a");
        rig.dirOn(2, 2, "/b");
        rig.addTrack(1, 1, "same.mp3", "00:00:30");
        rig.addTrack(2, 2, "first.mp3", "00:03:25");
        rig.addTrack(3, 2, "same.mp3", "00:04:40");
        rig.addTrack(4, 2, "broken.mp3", "");
        TreePlayer* w = rig.openWithPlayer();

        rig.showDir(2);
        w->mnuAddVolume->trigger();
        QCOMPARE(panel(w, 2), QString("Tracks to copy: 3"));
        QCOMPARE(panel(w, 3), QString("Total Time:00:08:05"));

        rig.songs().tick(0);
        w->mnuDelete->trigger();
        QCOMPARE(panel(w, 2), QString("Tracks to copy: 2"));
        QCOMPARE(panel(w, 3), QString("Total Time:00:04:40"));

        for (int i = 0; i < 8; ++i) // past ten hours
            rig.songs().append({2, QString("X%1").arg(i), "first.mp3"});
        w->UpdateTrackduration();
        QCOMPARE(panel(w, 3), QString("Total Time:00:32:00"));
        for (int i = 0; i < 150; ++i)
            rig.songs().append({2, QString("Y%1").arg(i), "first.mp3"});
        w->UpdateTrackduration();
        QCOMPARE(panel(w, 3), QString("Total Time:09:04:30"));
        rig.songs().append({0, "by name", "same.mp3"}); // the first of that name
        w->UpdateTrackduration();
        QCOMPARE(panel(w, 3), QString("Total Time:09:05:00"));

        w->mnuClear->trigger();
        QCOMPARE(panel(w, 2), QString("Tracks to copy: 0"));
        QCOMPARE(panel(w, 3), QString("Total Time:00:00:00"));
    }
};

class TrackLookups : public QObject {
    Q_OBJECT
private slots:
    // By identity while the record still bears the entry's name, else the first of that name;
    // lists replaced or changed in place are indexed again.
    void identityFirstThenName() {
        TrackList tracks = {{7, 1, 1, "", "a.mp3", "", "", ""},
                            {3, 1, 1, "", "b.mp3", "", "", ""},
                            {9, 2, 2, "", "a.mp3", "", "", ""},
                            {}};
        TrackLookup lookup(tracks);
        QCOMPARE(lookup.find(9, "a.mp3"), 2);
        QCOMPARE(lookup.find(0, "a.mp3"), 0);
        QCOMPARE(lookup.find(3, "a.mp3"), 0); // identity now names another file
        QCOMPARE(lookup.find(5, "c.mp3"), -1);

        std::swap(tracks[0], tracks[2]); // same list, records moved
        QCOMPARE(lookup.find(9, "a.mp3"), 0);
        QCOMPARE(lookup.find(0, "a.mp3"), 0);
        tracks = {{}, {}, {2000000000, 2, 1, "", "x.mp3", "", "", ""}}; // sparse identifiers
        QCOMPARE(lookup.find(2000000000, "x.mp3"), 2);
        QCOMPARE(lookup.find(7, "a.mp3"), -1);
    }
};

class PlayListCommands : public QObject {
    Q_OBJECT
    std::unique_ptr<PlaybackRig> rig_;
    TreePlayer* w = nullptr;

private slots:
    void init() {
        rig_ = std::make_unique<PlaybackRig>();
        rig_->addDisk(1, "One");
        rig_->dirOn(1, 1, "/a");
        rig_->dirOn(2, 1, "/empty");
        rig_->addTrack(1, 1, "a.mp3", "00:01:00");
        rig_->addTrack(2, 1, "b.mp3", "00:02:00");
        w = rig_->openWithPlayer();
        rig_->showDir(1);
    }
    void cleanup() { rig_.reset(); }

    void addTrackAddsATrackOnce() {
        w->lstFiles->setCurrentIndex(w->filesModel->index(1));
        w->mnuTrack->trigger();
        w->mnuTrack->trigger();
        QCOMPARE(rig_->songTexts(), QStringList({"b.mp3"}));
        QCOMPARE(rig_->songKeys(), QStringList({"b.mp3"}));
        QCOMPARE(rig_->songs().entry(0).trackId, 2);
        QCOMPARE(panel(w, 2), QString("Tracks to copy: 1"));
    }

    void addVolumeKeysByPositionAndSkipsTakenKeys() {
        w->mnuAddVolume->trigger();
        w->mnuAddVolume->trigger();
        QCOMPARE(rig_->songKeys(), QStringList({"K1", "K2", "K3", "K4"}));
        QCOMPARE(rig_->songTexts(), QStringList({"a.mp3", "b.mp3", "a.mp3", "b.mp3"}));
        rig_->songs().remove(0); // three rows left, K3 among them
        w->mnuAddVolume->trigger();
        QCOMPARE(rig_->songKeys(), QStringList({"K2", "K3", "K4", "K5", "K6"}));
        QCOMPARE(panel(w, 3), QString("Total Time:00:08:00"));

        rig_->showDir(2);
        rig_->state.lists.tracks.clear(); // totals still refresh, from nothing
        w->mnuAddVolume->trigger();
        QCOMPARE(rig_->songs().count(), 5);
        QCOMPARE(panel(w, 3), QString("Total Time:00:00:00"));
    }

    void menusPopUpOnRightButtonReleaseOnly() {
        const auto release = [](QAbstractItemView* list, Qt::MouseButton button) {
            QTest::mouseRelease(list->viewport(), button, {}, QPoint(5, 5));
        };
        for (Qt::MouseButton button : {Qt::LeftButton, Qt::MiddleButton}) {
            release(w->lstFiles, button);
            release(w->lstSongs, button);
            QVERIFY(!w->mnuPopup->isVisible() && !w->mnuPlaylist1->isVisible());
        }
        release(w->lstFiles, Qt::RightButton);
        QTRY_VERIFY(w->mnuPopup->isVisible());
        w->mnuPopup->close();
        release(w->lstSongs, Qt::RightButton);
        QTRY_VERIFY(w->mnuPlaylist1->isVisible());
        w->mnuPlaylist1->close();
    }
};

class PlayRoutine : public QObject {
    Q_OBJECT
    std::unique_ptr<PlaybackRig> rig_;
    TreePlayer* w = nullptr;

private slots:
    void init() {
        rig_ = std::make_unique<PlaybackRig>();
        rig_->addDisk(1, "Rock");
        rig_->addDisk(2, "Jazz");
        rig_->dirOn(1, 1, "/Rock/Live");
        rig_->dirOn(2, 2, "/Jazz");
        rig_->addTrack(1, 1, "song.mp3", "00:01:00");
        rig_->addTrack(2, 2, "Café.mp3", "00:01:00");
        rig_->addTrack(3, 2, "song.mp3", "00:01:00");
        rig_->addTrack(4, 2, "it's \"live\" & $HOME.mp3", "00:01:00");
        rig_->addTrack(5, 2, "gone.mp3", "00:01:00", false);
        w = rig_->openWithPlayer();
        rig_->showDir(2);
    }
    void cleanup() { rig_.reset(); }

    void stampCountsDaysWithTheLocaleSeparator() {
        const QDate newYear(2001, 1, 1);
        QCOMPARE(playListStamp(QDateTime(newYear, QTime(12, 0)), QLocale::c()), QString("36892.5"));
        QCOMPARE(playListStamp(QDateTime(newYear, QTime(0, 0)), QLocale::c()), QString("36892"));
        QCOMPARE(playListStamp(QDateTime(newYear, QTime(12, 0)), QLocale(QLocale::German)),
                 QString("36892,5"));
        QCOMPARE(playListStamp(QDateTime(newYear, QTime(6, 0, 1, 900)), QLocale::c()),
                 QString("36892.2500115741"));
        QCOMPARE(playListStamp(QDateTime(QDate(2026, 12, 7), QTime(0, 0)), QLocale::c()),
                 QString("46363"));
    }

    // The whole list, in order, whichever row was double-clicked.
    void volumeWritesTheWholeTrackListAsATemporaryPlayList() {
        w->mnuVolume->setChecked(true);
        rig_->doubleClickRow(2);
        QCOMPARE(w->playIndex, 3);
        const QStringList lists = tempLists(*rig_);
        QCOMPARE(lists.size(), 1);
        QVERIFY(QRegularExpression("^Temp\\d{5}(\\.\\d+)?\\.m3u$").match(lists[0]).hasMatch());
        const QString list = QDir(rig_->state.tempPlaylistDir).filePath(lists[0]);
        QCOMPARE(rig_->player->opened, QStringList({list}));

        QByteArray expected;
        for (const TrackItem& item : w->filesModel->items())
            expected += rig_->trackFile(2, item.TrackName).toUtf8() + "\r\n";
        QCOMPARE(readAll(list), expected);
        QVERIFY(expected.contains("Caf\xc3\xa9.mp3"));

        rig_->state.QuitOnClose = true;
        EndIfQuitting(rig_->state);
        QVERIFY(tempLists(*rig_).isEmpty());
    }

    void tracksOfOneFileNamePlayTheirOwnFiles() {
        rig_->doubleClickRow(1);
        QCOMPARE(rig_->player->opened, QStringList({rig_->trackFile(2, "song.mp3")}));
        QVERIFY(tempLists(*rig_).isEmpty());
        rig_->showDir(1);
        rig_->doubleClickRow(0);
        QCOMPARE(rig_->player->opened.last(), rig_->trackFile(1, "song.mp3"));
    }

    void externalPlayerGetsTheTargetAsItsOneArgument() {
        QStringList calls;
        w->startDetached = [&calls](const QString& program, const QStringList& arguments) {
            calls << program << QString::number(arguments.size()) << arguments;
            return true;
        };
        rig_->state.WinampPath = "/opt/player/bin/player";
        w->mnuWinamp->setChecked(true);
        rig_->doubleClickRow(2);
        const QString file = rig_->trackFile(2, "it's \"live\" & $HOME.mp3");
        QCOMPARE(calls, QStringList({"/opt/player/bin/player", "1", file}));
        QVERIFY(rig_->player->opened.isEmpty());

        w->mnuVolume->setChecked(true);
        rig_->doubleClickRow(0);
        QCOMPARE(calls.size(), 6);
        QCOMPARE(calls[4], QString("1"));
        QVERIFY(calls[5].endsWith(".m3u") && QFile::exists(calls[5]));
    }

    // Nothing changes but the message: no file written, nothing opened, playIndex kept.
    void missingFileSaysWhichDiskToInsert() {
        w->mnuVolume->setChecked(true);
        w->playIndex = 7;
        rig_->doubleClickRow(3);
        QCOMPARE(panel(w, 1), "Please Insert Disk - Jazz (" + rig_->path("drive2") + ")");
        QCOMPARE(w->playIndex, 7);
        QVERIFY(rig_->player->opened.isEmpty());
        QVERIFY(tempLists(*rig_).isEmpty());
    }
};

class Following : public QObject {
    Q_OBJECT
    std::unique_ptr<PlaybackRig> rig_;
    TreePlayer* w = nullptr;
    ScriptedPlayer* player = nullptr;

private slots:
    void init() {
        rig_ = std::make_unique<PlaybackRig>();
        rig_->addDisk(1, "One");
        rig_->dirOn(1, 1, "/a");
        rig_->dirOn(2, 1, "/b");
        for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
            rig_->addTrack(static_cast<qint32>(rig_->state.lists.tracks.size()) + 1, 1, name,
                           "00:01:00");
        rig_->addTrack(9, 2, "other.mp3", "00:01:00");
        w = rig_->openWithPlayer();
        player = rig_->player;
        rig_->showDir(1);
    }
    void cleanup() { rig_.reset(); }

    void volumeHighlightsEachEntryAndCleansUpAtStop() {
        w->mnuVolume->setChecked(true);
        rig_->doubleClickRow(1);
        QCOMPARE(w->playIndex, 2);
        player->changeState(MediaPlayer::Playing);
        player->startEntry(2);
        QCOMPARE(panel(w, 1), QString("Now Playing...b.mp3"));
        QCOMPARE(rig_->selectedFileRow(), 2);
        player->startEntry(3);
        QCOMPARE(panel(w, 1), QString("Now Playing...c.mp3"));
        QCOMPARE(rig_->selectedFileRow(), 3);
        QCOMPARE(w->playIndex, 3);

        player->changeState(MediaPlayer::Paused); // only the stop is followed
        QCOMPARE(panel(w, 1), QString("Now Playing...c.mp3"));
        QCOMPARE(rig_->selectedFileRow(), 3);
        player->changeState(MediaPlayer::Stopped);
        QCOMPARE(panel(w, 1), QString());
        QCOMPARE(rig_->selectedFileRow(), 0);
        QCOMPARE(player->stops, 1);
        QCOMPARE(player->opened.last(), QString());
        QCOMPARE(w->playIndex, 3);
    }

    // The player may tell a problem (no audio device) before it says it stopped: the stop
    // leaves the problem in view, and the next playing clears it.
    void aProblemOutlivesTheStopItCaused() {
        const QString problem = "No audio device could be opened, so nothing can be played.";
        rig_->doubleClickRow(0);
        player->changeState(MediaPlayer::Playing);
        Q_EMIT player->problem(problem);
        QTRY_COMPARE(panel(w, 1), problem); // told once the player's event is over
        player->changeState(MediaPlayer::Stopped);
        QCOMPARE(panel(w, 1), problem);
        rig_->doubleClickRow(1);
        player->changeState(MediaPlayer::Playing);
        player->changeState(MediaPlayer::Stopped);
        QCOMPARE(panel(w, 1), QString());
    }

    void rowsThatDoNotExistAreLeftAlone() {
        w->mnuVolume->setChecked(true);
        rig_->doubleClickRow(0);
        w->playIndex = 0;
        player->startEntry(9);
        QCOMPARE(w->playIndex, 0);
        player->startEntry(0);
        player->changeState(MediaPlayer::Stopped);
        QCOMPARE(panel(w, 1), QString());
        w->playIndex = 40;
        player->startEntry(1);
        QCOMPARE(rig_->selectedFileRow(), 1);
        QCOMPARE(w->playIndex, 1);
    }

    // The text names what was opened, even once the track list shows another directory,
    // whose rows are then left alone.
    void nowPlayingNamesWhatWasOpened() {
        rig_->doubleClickRow(0);
        player->startEntry(3);
        QCOMPARE(panel(w, 1), QString("Now Playing...a.mp3"));

        w->mnuVolume->setChecked(true);
        rig_->doubleClickRow(0);
        rig_->showDir(2);
        w->lstFiles->setCurrentIndex(w->filesModel->index(0));
        player->startEntry(2);
        QCOMPARE(panel(w, 1), QString("Now Playing...b.mp3"));
        QCOMPARE(rig_->selectedFileRow(), 1);
        player->changeState(MediaPlayer::Stopped);
        QCOMPARE(rig_->selectedFileRow(), 1);
    }

    void spaceInTheStripPlaysAndPauses() {
        PlayerStrip* strip = w->MediaPlayer1;
        w->lstFiles->setCurrentIndex(w->filesModel->index(2));
        strip->playButton->setFocus();
        QTest::keyClick(strip->playButton, Qt::Key_Space); // nothing loaded: plays the row
        QCOMPARE(player->opened, QStringList({rig_->trackFile(1, "c.mp3")}));
        player->changeState(MediaPlayer::Playing);
        strip->stopButton->setFocus();
        QTest::keyClick(strip->stopButton, Qt::Key_Space);
        QCOMPARE(player->state, MediaPlayer::Paused);
        QTest::keyClick(strip, Qt::Key_Space);
        QCOMPARE(player->state, MediaPlayer::Playing);
        QCOMPARE(player->stops, 0);

        Q_EMIT player->durationChanged(200);
        QTest::mouseClick(strip->seekBar, Qt::LeftButton, {}, strip->seekBar->rect().center());
        QCOMPARE(player->seeks.size(), 1); // a click on the groove goes there
        QVERIFY2(qAbs(player->seeks[0] - 100) <= 2, qPrintable(QString::number(player->seeks[0])));
        strip->stopButton->click();
        QCOMPARE(player->stops, 1);
    }
};

// Temporary play lists are private, one line an entry, and each program's own.
class TemporaryPlayLists : public QObject {
    Q_OBJECT
    std::unique_ptr<PlaybackRig> rig_;
    TreePlayer* w = nullptr;
    const QString evil = "evil\n#EXTINF:1,x\n..\nother.mp3";

    QString folder() const { return rig_->state.tempPlaylistDir; }
    QByteArray latinFile() const {
        return QFile::encodeName(rig_->path("drive1/c/")) + "caf\xe9.mp3";
    }
    bool makePrivateFolder() const {
        return QDir().mkdir(folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

private slots:
    void init() {
        rig_ = std::make_unique<PlaybackRig>();
        rig_->addDisk(1, "One");
        rig_->dirOn(1, 1, "/a");
        rig_->dirOn(2, 1, "/b");
        rig_->addTrack(1, 1, "a.mp3", "00:01:00");
        rig_->addTrack(2, 1, evil, "00:01:00");
        rig_->addTrack(3, 1, "b.mp3", "00:01:00");
        rig_->addTrack(4, 2, evil, "00:01:00");
        // A name written on another system: shown readably, its bytes kept beside.
        rig_->dirOn(3, 1, "/c");
        rig_->addTrack(5, 3, "caf" + QString(QChar::ReplacementCharacter) + ".mp3", "00:01:00",
                       false);
        rig_->state.lists.trackNameBytes.insert(5, "caf\xe9.mp3");
        QVERIFY(QDir().mkpath(rig_->path("drive1/c")));
        QVERIFY(QFile::copy(rig_->trackFile(1, "a.mp3"), rig_->path("drive1/c/latin.mp3")));
        QCOMPARE(::rename(QFile::encodeName(rig_->path("drive1/c/latin.mp3")).constData(),
                          latinFile().constData()),
                 0);
        w = rig_->openWithPlayer();
        w->mnuVolume->setChecked(true);
        rig_->showDir(1);
    }
    // A name the temporary folder's clean-up cannot reach.
    void cleanup() {
        ::unlink(latinFile().constData());
        rig_.reset();
    }

    // The entries that are left still name their own rows.
    void lineBreakNamesAreLeftOut() {
        rig_->doubleClickRow(0);
        QCOMPARE(
            panel(w, 1),
            QString("1 track left out of the play list: a line break or a folder in the name."));
        QCOMPARE(
            readAll(rig_->player->opened.value(0)),
            (rig_->trackFile(1, "a.mp3") + "\r\n" + rig_->trackFile(1, "b.mp3") + "\r\n").toUtf8());
        rig_->player->startEntry(2);
        QCOMPARE(rig_->selectedFileRow(), 3);
        QCOMPARE(panel(w, 1), QString("Now Playing...b.mp3"));
    }

    void nameThatIsNotUtf8IsPlayedThroughItsBytes() {
        w->mnuVolume->setChecked(false);
        rig_->showDir(3);
        rig_->doubleClickRow(0);
        QCOMPARE(readAll(rig_->player->opened.value(0)), latinFile() + "\r\n");
        rig_->player->startEntry(1);
        QCOMPARE(rig_->selectedFileRow(), 1);
    }

    void aLoneLineBreakNameIsPlayedDirectly() {
        rig_->showDir(2);
        rig_->doubleClickRow(0);
        QCOMPARE(rig_->player->opened, QStringList({rig_->trackFile(2, evil)}));
        QVERIFY(tempLists(*rig_).isEmpty());
    }

    void anotherProgramsEndLeavesThisOnesLists() {
        rig_->doubleClickRow(0);
        ProgramRig other;
        other.state.tempPlaylistDir = folder();
        other.state.QuitOnClose = true;
        EndIfQuitting(other.state);
        QVERIFY(QFile::exists(rig_->player->opened.value(0)));
    }

    void folderOthersCouldUseIsRefused_data() {
        QTest::addColumn<uint>("mode");
        QTest::addColumn<uint>("owner");
        QTest::newRow("open to others") << 0777u << uint(geteuid());
        QTest::newRow("someone else's") << 0700u << 65534u;
    }
    void folderOthersCouldUseIsRefused() {
        QFETCH(uint, mode);
        QFETCH(uint, owner);
        if (owner != geteuid() && geteuid() != 0)
            QSKIP("only root can give a folder away");
        const QByteArray name = QFile::encodeName(folder());
        QVERIFY(makePrivateFolder() && ::chmod(name.constData(), mode) == 0 &&
                ::chown(name.constData(), owner, gid_t(-1)) == 0);
        rig_->doubleClickRow(0);
        QVERIFY(rig_->prompts.texts().join(' ').contains("not private"));
        QVERIFY(rig_->player->opened.isEmpty() && tempLists(*rig_).isEmpty());
    }

    // Neither a link in place of the folder nor one under the name of the next list is followed.
    void linksAreNeverFollowed() {
        QVERIFY(QDir().mkpath(rig_->path("elsewhere")) &&
                QFile::link(rig_->path("elsewhere"), folder()));
        rig_->doubleClickRow(0);
        QVERIFY(rig_->player->opened.isEmpty() && QDir(rig_->path("elsewhere")).isEmpty());

        QVERIFY(QFile::remove(folder()) && makePrivateFolder());
        QVERIFY(fixture::writeBytes(rig_->path("victim"), "kept"));
        const QDateTime now = QDateTime::currentDateTime();
        for (int second = 0; second < 3; ++second)
            QFile::link(rig_->path("victim"),
                        folder() + "/Temp" + playListStamp(now.addSecs(second)) + ".m3u");
        rig_->doubleClickRow(0);
        QCOMPARE(readAll(rig_->path("victim")), QByteArray("kept"));
        QVERIFY(readAll(rig_->player->opened.value(0))
                    .startsWith(rig_->trackFile(1, "a.mp3").toUtf8()));
    }

    void runtimeFolderIsTheDefault() {
        const QTemporaryDir runtime;
        const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        const QString chosen = defaultTempPlaylistDir();
        saved.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", saved);
        QCOMPARE(chosen, runtime.path() + "/catalog");
    }
};

// A track chosen while its disk is out plays when the disk comes in, unless something else was
// asked of the player meanwhile.
class WaitingForTheDisk : public QObject {
    Q_OBJECT
    std::unique_ptr<PlaybackRig> rig_;
    TreePlayer* w = nullptr;
    const QString blue = "Blue \"Train\" é.mp3";

    QString blueFile() const { return rig_->path("drive2/Jazz/" + blue); }
    // Disk 2's folders come into its drive.
    void insertJazz() {
        QVERIFY(QDir().mkpath(rig_->path("drive2/Jazz")));
        QVERIFY(fixture::writeMp3(blueFile(), {}));
        rig_->volumes << VolumeIdentity{rig_->path("drive2"), "JAZZ", "", "iso9660", 700'000'000};
    }

private slots:
    void init() {
        rig_ = std::make_unique<PlaybackRig>();
        rig_->state.volumeWatchMs = 10;
        rig_->addDisk(1, "Rock");
        rig_->addDisk(2, "Jazz");
        rig_->dirOn(1, 1, "/Rock");
        rig_->dirOn(2, 2, "/Jazz");
        rig_->addTrack(1, 1, "here.mp3", "00:01:00");
        rig_->addTrack(2, 2, blue, "00:01:00", false);
        w = rig_->openWithPlayer();
        rig_->showDir(2);
    }
    void cleanup() { rig_.reset(); }

    // The track list shows another directory by then: the track chosen plays all the same.
    void playsWhenItsDiskComesIn() {
        rig_->doubleClickRow(0);
        QCOMPARE(panel(w, 1), "Please Insert Disk - Jazz (" + rig_->path("drive2") + ")");
        rig_->showDir(1);
        insertJazz();
        QTRY_COMPARE(rig_->player->opened, QStringList({blueFile()}));
        QCOMPARE(panel(w, 1), QString());
    }

    // Chosen while another track plays.
    void forgottenWhenSomethingElseComesFirst_data() {
        QTest::addColumn<QString>("meanwhile");
        for (const char* row :
             {"another track", "stop", "an option", "local mode", "the wait runs out"})
            QTest::newRow(row) << QString(row);
    }
    void forgottenWhenSomethingElseComesFirst() {
        QFETCH(QString, meanwhile);
        if (meanwhile == "the wait runs out")
            w->diskWaitMs = 50;
        rig_->showDir(1);
        rig_->doubleClickRow(0);
        rig_->player->changeState(MediaPlayer::Playing);
        rig_->showDir(2);
        rig_->doubleClickRow(0);
        if (meanwhile == "another track") {
            rig_->showDir(1);
            rig_->doubleClickRow(0);
        } else if (meanwhile == "stop") {
            w->MediaPlayer1->stopButton->click();
        } else if (meanwhile == "an option") {
            w->mnuVolume->trigger();
        } else if (meanwhile == "local mode") {
            QVERIFY(QDir().mkpath(rig_->path("MP3")));
            QVERIFY(fixture::writeMp3(rig_->path("MP3/" + blue), {})); // found by its name
            w->localFolder = rig_->path("MP3");
            w->mnuLocal->trigger();
            QTRY_VERIFY(w->isLocalMode());
        } else {
            QTest::qWait(150);
        }
        const QStringList opened = rig_->player->opened;
        insertJazz();
        QTest::qWait(150);
        QCOMPARE(rig_->player->opened, opened);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Durations durations;
    TrackLookups lookups;
    PlayListCommands commands;
    PlayRoutine routine;
    Following following;
    TemporaryPlayLists temporary;
    WaitingForTheDisk waiting;
    return runTestClasses(
        argc, argv, {&durations, &lookups, &commands, &routine, &following, &temporary, &waiting});
}

#include "tst_playlist.moc"
