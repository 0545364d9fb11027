// The embedded player over libmpv, on the null audio output, and the player window following
// it through a temporary play list of three short tracks.

#include "mpvplayer.h"
#include "playbackrig.h"
#include "runtestclasses.h"
#include "statuspanels.h"

#include <QAction>
#include <QSignalSpy>

class RealPlayer : public QObject {
    Q_OBJECT
private slots:
    void windowFollowsEachEntryToTheEnd() {
        PlaybackRig rig;
        rig.addDisk(1, "One");
        rig.dirOn(1, 1, "/Album");
        for (const char* name : {"1 first.mp3", "2 second.mp3", "3 third.mp3"})
            rig.addTrack(static_cast<qint32>(rig.state.lists.tracks.size()) + 1, 1, name,
                         "00:00:01", true, 15);
        TreePlayer* w = rig.openWithPlayer();
        auto owned = std::make_unique<MpvPlayer>("null");
        MpvPlayer* player = owned.get();
        QVERIFY2(player->failure().isEmpty(), qPrintable(player->failure()));
        w->setMediaPlayer(std::move(owned));
        rig.showDir(1);

        struct Seen {
            int entry;
            QString status;
            int selectedRow;
            int playIndex;
        };
        std::vector<Seen> seen;
        // Connected after the window, so each record shows the window after it followed.
        connect(player, &MediaPlayer::newStream, this, [&] {
            seen.push_back({player->currentEntry(), w->StatusBar1->panelText(1),
                            rig.selectedFileRow(), w->playIndex});
        });
        QSignalSpy states(player, &MediaPlayer::playStateChanged);

        w->mnuVolume->setChecked(true);
        rig.doubleClickRow(0);
        QTRY_VERIFY_WITH_TIMEOUT(!states.isEmpty() && states.last().at(1).toInt() == 0, 20000);

        QCOMPARE(seen.size(), size_t(3));
        const QStringList names = {"1 first.mp3", "2 second.mp3", "3 third.mp3"};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(seen[i].entry, i + 1);
            QCOMPARE(seen[i].status, "Now Playing..." + names[i]);
            QCOMPARE(seen[i].selectedRow, i + 1);
            QCOMPARE(seen[i].playIndex, i + 1);
        }
        QCOMPARE(states.first().at(1).toInt(), int(MediaPlayer::Playing));
        QCOMPARE(w->StatusBar1->panelText(1), QString());
        QCOMPARE(rig.selectedFileRow(), 0);
        QCOMPARE(w->playIndex, 3);
        QCOMPARE(player->playState(), MediaPlayer::Stopped);
    }

    // No audio device: the message comes once, and the play list keeps working.
    void noAudioDeviceIsToldOnce() {
        PlaybackRig rig;
        rig.addDisk(1, "One");
        rig.dirOn(1, 1, "/Album");
        rig.addTrack(1, 1, "a.mp3", "00:00:01");
        TreePlayer* w = rig.openWithPlayer();
        w->setMediaPlayer(std::make_unique<MpvPlayer>("no-such-output"));
        rig.showDir(1);
        const QString expected = "No audio device could be opened, so nothing can be played.";
        for (int attempt = 0; attempt < 2; ++attempt) {
            rig.doubleClickRow(0);
            QTRY_COMPARE_WITH_TIMEOUT(w->StatusBar1->panelText(1), expected, 20000);
            w->StatusBar1->setPanelText(1, QString());
        }
        QCOMPARE(rig.prompts.asked.size(), size_t(1));
        QCOMPARE(rig.prompts.asked[0].text, expected);
        w->mnuAddVolume->trigger();
        QCOMPARE(w->StatusBar1->panelText(2), QString("Tracks to copy: 1"));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    RealPlayer real;
    return runTestClasses(argc, argv, {&real});
}

#include "tst_playback.moc"
