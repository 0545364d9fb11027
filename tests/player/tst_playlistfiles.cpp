// The play list beyond one window: kept between runs, saved and opened as .m3u8 files, played
// from a row, and rows removed with the Delete key.

#include "keptplaylist.h"
#include "m3ufile.h"
#include "playbackrig.h"
#include "runtestclasses.h"
#include "statuspanels.h"
#include "trackmatch.h"
#include "trackpaths.h"

#include <QAction>
#include <QListWidget>

namespace {

QString panel(TreePlayer* w, int number) {
    return w->StatusBar1->panelText(number);
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Disk "One" with a.mp3, b.mp3 and c.mp3 in /a, and another b.mp3 in /b.
std::unique_ptr<PlaybackRig> fourTracks() {
    auto rig = std::make_unique<PlaybackRig>();
    rig->addDisk(1, "One");
    rig->dirOn(1, 1, "/a");
    rig->dirOn(2, 1, "/b");
    rig->addTrack(1, 1, "a.mp3", "00:01:00");
    rig->addTrack(2, 1, "b.mp3", "00:02:00");
    rig->addTrack(3, 1, "c.mp3", "00:03:00");
    rig->addTrack(4, 2, "b.mp3", "00:04:00");
    rig->state.lists.tracks[0].Artist = "Édith Piaf";
    rig->state.lists.tracks[0].Title = "Hymne";
    return rig;
}

} // namespace

// Closing the window, or the program, and opening it again brings the play list back.
class KeptPlaylist : public QObject {
    Q_OBJECT
    std::unique_ptr<PlaybackRig> rig_;

    TreePlayer* reopen() {
        rig_->window->close();
        QTest::qWait(0);
        rig_->openShown();
        return rig_->window;
    }

private slots:
    void init() {
        rig_ = fourTracks();
        rig_->openWithPlayer();
        rig_->showDir(1);
        rig_->window->mnuAddVolume->trigger();
        rig_->songs().tick(1);
    }
    void cleanup() { rig_.reset(); }

    void rowsTicksAndTotalsComeBack() {
        TreePlayer* w = reopen();
        QCOMPARE(rig_->songTexts(), QStringList({"a.mp3", "b.mp3", "c.mp3"}));
        QCOMPARE(rig_->songKeys(), QStringList({"K1", "K2", "K3"}));
        QVERIFY(rig_->songs().isTicked(1) && !rig_->songs().isTicked(0));
        QCOMPARE(rig_->songs().entry(1).trackId, 2);
        QCOMPARE(panel(w, 2), QString("Tracks to copy: 3"));
        QCOMPARE(panel(w, 3), QString("Total Time:00:06:00"));
        // A change made while the window is open is kept even if it never closes.
        w->mnuClear->trigger();
        QTRY_VERIFY(readKeptPlaylist(w->keptPlaylistPath()).empty());
    }

    // Tracks are told apart by identity: the b.mp3 deleted takes its row, the other stays.
    void rowsOfDeletedTracksAreDropped() {
        rig_->window->close();
        TrackList& tracks = rig_->state.lists.tracks;
        tracks.erase(tracks.begin() + 1);
        TreePlayer* w = reopen();
        QCOMPARE(rig_->songTexts(), QStringList({"a.mp3", "c.mp3"}));
        QCOMPARE(panel(w, 1),
                 QString("1 play-list row was dropped: the track is no longer in the catalogue."));
        QCOMPARE(panel(w, 3), QString("Total Time:00:04:00"));
    }

    void aDamagedOrMissingFileGivesAnEmptyList() {
        const QString kept = rig_->window->keptPlaylistPath();
        rig_->window->close();
        QVERIFY(writeFile(kept, "{\"rows\": [{\"track\": 1, \"key\""));
        rig_->openShown();
        QCOMPARE(rig_->songs().count(), 0);
        QVERIFY(QFile::remove(kept));
        reopen();
        QCOMPARE(rig_->songs().count(), 0);
    }

    // The data folder cannot be made: the person is told, the play list stays as it is.
    void aFolderThatCannotBeWrittenIsReported() {
        rig_->state.dataDir = rig_->path("blocked/data");
        QVERIFY(writeFile(rig_->path("blocked"), "a file, not a folder"));
        rig_->window->mnuClear->trigger();
        QTRY_VERIFY(panel(rig_->window, 1).startsWith("The play list cannot be kept in "));
    }
};

class PlaylistFiles : public QObject {
    Q_OBJECT
    std::unique_ptr<PlaybackRig> rig_;
    TreePlayer* w = nullptr;

    QString m3u() const { return rig_->path("mix.m3u8"); }

private slots:
    void init() {
        rig_ = fourTracks();
        w = rig_->openWithPlayer();
        rig_->showDir(1);
    }
    void cleanup() { rig_.reset(); }

    void savedAsExtendedM3uInUtf8() {
        w->mnuAddVolume->trigger();
        rig_->songs().append({99, "K9", "lost.mp3"}); // no longer catalogued
        rig_->prompts.files = {m3u()};
        w->mnuSavePlaylist->trigger();
        QCOMPARE(rig_->prompts.asked.back().kind, QString("save"));
        QCOMPARE(rig_->prompts.asked.back().title, QString("Save Play List"));
        const QByteArray expected = "#EXTM3U\n#EXTINF:60,\xc3\x89"
                                    "dith Piaf \xe2\x80\x93 Hymne\n" +
                                    rig_->trackFile(1, "a.mp3").toUtf8() + "\n#EXTINF:120,b\n" +
                                    rig_->trackFile(1, "b.mp3").toUtf8() + "\n#EXTINF:180,c\n" +
                                    rig_->trackFile(1, "c.mp3").toUtf8() + "\n";
        QCOMPARE(readAll(m3u()), expected);
        QCOMPARE(panel(w, 1), QString("Saved 3 tracks to mix.m3u8. 1 track left out: not in the "
                                      "catalogue, or no path to them."));
        // Cancelled: nothing is written.
        QVERIFY(QFile::remove(m3u()));
        w->mnuSavePlaylist->trigger();
        QVERIFY(!QFile::exists(m3u()));
    }

    void saveThatFailsIsReported() {
        rig_->prompts.files = {rig_->path("no such folder/mix.m3u8")};
        w->mnuSavePlaylist->trigger();
        QVERIFY(rig_->prompts.asked.back().text.startsWith("The play list cannot be saved in "));
    }

    // By full path first (the b.mp3 of /b, not the first b.mp3), then by file name; a relative
    // path is read from the list's folder.
    void openedEntriesAreMatchedAndAdded() {
        const QString otherB = rig_->trackFile(2, "b.mp3");
        QVERIFY(writeFile(m3u(), "\xef\xbb\xbf#EXTM3U\r\n#EXTINF:1,x\r\n" + otherB.toUtf8() +
                                     "\r\n/elsewhere/c.mp3\r\ndrive1/a/a.mp3\r\n"
                                     "file://" +
                                     rig_->trackFile(1, "a.mp3").toUtf8() +
                                     "\r\n/elsewhere/unknown.mp3\r\n\r\n"));
        rig_->songs().append({1, "K1", "a.mp3"});
        rig_->prompts.files = {m3u()};
        w->mnuOpenPlaylist->trigger();
        QCOMPARE(rig_->songTexts(), QStringList({"a.mp3", "b.mp3", "c.mp3", "a.mp3", "a.mp3"}));
        QCOMPARE(rig_->songKeys(), QStringList({"K1", "K2", "K3", "K4", "K5"}));
        QCOMPARE(rig_->songs().entry(1).trackId, 4);
        QCOMPARE(rig_->songs().entry(2).trackId, 3);
        QCOMPARE(panel(w, 2), QString("Tracks to copy: 5"));
        QCOMPARE(rig_->prompts.asked.back().text,
                 QString("1 of the 5 entries of mix.m3u8 were not found in the catalogue."));
        QCOMPARE(panel(w, 1), QString("Added 4 tracks from mix.m3u8."));
    }

    void unreadableListIsReported() {
        rig_->prompts.files = {rig_->path("absent.m3u8")};
        w->mnuOpenPlaylist->trigger();
        QVERIFY(rig_->prompts.asked.back().text.startsWith("The play list "));
        QCOMPARE(rig_->songs().count(), 0);
    }
};

// A double-click in the play list plays it from that row, as "&Volume" plays the track list.
class PlayingThePlaylist : public QObject {
    Q_OBJECT
    std::unique_ptr<PlaybackRig> rig_;
    TreePlayer* w = nullptr;

    void doubleClickSong(int row) {
        const QRect at = w->lstSongs->visualItemRect(w->lstSongs->item(row));
        QTest::mouseClick(w->lstSongs->viewport(), Qt::LeftButton, {}, at.center());
        QTest::mouseDClick(w->lstSongs->viewport(), Qt::LeftButton, {}, at.center());
    }
    QList<int> selectedSongs() const {
        QList<int> rows;
        for (const QModelIndex& index : w->lstSongs->selectionModel()->selectedRows())
            rows << index.row();
        std::sort(rows.begin(), rows.end());
        return rows;
    }

private slots:
    void init() {
        rig_ = fourTracks();
        w = rig_->openWithPlayer();
        rig_->showDir(1);
        w->mnuAddVolume->trigger();
        rig_->showDir(2);
        w->mnuAddVolume->trigger(); // a.mp3, b.mp3, c.mp3, the other b.mp3
    }
    void cleanup() { rig_.reset(); }

    void playsFromTheRowAndHighlightsEachEntry() {
        const qint32 trackListRow = w->playIndex;
        doubleClickSong(1);
        QCOMPARE(rig_->player->opened.size(), 1);
        QCOMPARE(readAll(rig_->player->opened[0]),
                 (rig_->trackFile(1, "b.mp3") + "\r\n" + rig_->trackFile(1, "c.mp3") + "\r\n" +
                  rig_->trackFile(2, "b.mp3") + "\r\n")
                     .toUtf8());
        rig_->player->startEntry(1);
        QCOMPARE(panel(w, 1), QString("Now Playing...b.mp3"));
        QCOMPARE(selectedSongs(), QList<int>({1}));
        // A row added meanwhile does not throw the highlight off.
        rig_->songs().append({1, "K9", "a.mp3"});
        rig_->player->startEntry(3);
        QCOMPARE(selectedSongs(), QList<int>({3}));
        QCOMPARE(w->playIndex, trackListRow); // the track list's row, not the play list's
        rig_->player->changeState(MediaPlayer::Stopped);
        QCOMPARE(selectedSongs(), QList<int>());
        QCOMPARE(panel(w, 1), QString());
    }

    void externalPlayerGetsTheList() {
        QStringList arguments;
        w->startDetached = [&](const QString&, const QStringList& args) {
            arguments = args;
            return true;
        };
        rig_->state.WinampPath = "/opt/player";
        w->mnuWinamp->setChecked(true);
        doubleClickSong(2);
        QCOMPARE(arguments.size(), 1);
        QCOMPARE(
            readAll(arguments[0]),
            (rig_->trackFile(1, "c.mp3") + "\r\n" + rig_->trackFile(2, "b.mp3") + "\r\n").toUtf8());
        QVERIFY(rig_->player->opened.isEmpty());
    }

    // Delete removes the selected rows; the ticked rows are "&Delete"'s.
    void deleteKeyRemovesTheSelectedRows() {
        rig_->songs().tick(0);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        w->lstSongs->setFocus();
        w->lstSongs->item(1)->setSelected(true);
        w->lstSongs->item(3)->setSelected(true);
        QTest::keyClick(w->lstSongs, Qt::Key_Delete);
        QCOMPARE(rig_->songTexts(), QStringList({"a.mp3", "c.mp3"}));
        QCOMPARE(panel(w, 2), QString("Tracks to copy: 2"));
        QVERIFY(rig_->songs().isTicked(0));
    }
};

// The formats and the matching, without a window.
class PlaylistFormats : public QObject {
    Q_OBJECT

private slots:
    void titlesReadArtistDashTitle() {
        QCOMPARE(m3uTitle("Miles Davis", "So What", "01.mp3"), QString("Miles Davis – So What"));
        QCOMPARE(m3uTitle("", "So What", "01.mp3"), QString("So What"));
        QCOMPARE(m3uTitle("Miles Davis", "", "01 so.what.mp3"), QString("01 so.what"));
        // A line break in a tag cannot end the entry's line early.
        QCOMPARE(m3uText({{-1, "two\nlines", "/x.mp3"}}),
                 QByteArray("#EXTM3U\n#EXTINF:-1,two lines\n/x.mp3\n"));
    }

    void keptRowsReadBackAsWritten() {
        QTemporaryDir dir;
        const QString file = dir.filePath("deep/er/playlist.json");
        QString error;
        QVERIFY(writeKeptPlaylist(file, {{7, "K1", "Ça \"va\".mp3", true}, {0, "K2", "x", false}},
                                  &error));
        const std::vector<KeptRow> rows = readKeptPlaylist(file);
        QCOMPARE(rows.size(), size_t(1)); // a row without a track is passed over
        QCOMPARE(rows[0].trackId, 7);
        QCOMPARE(rows[0].key, QString("K1"));
        QCOMPARE(rows[0].text, QString("Ça \"va\".mp3"));
        QVERIFY(rows[0].ticked);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    KeptPlaylist kept;
    PlaylistFiles files;
    PlayingThePlaylist playing;
    PlaylistFormats formats;
    return runTestClasses(argc, argv, {&kept, &files, &playing, &formats});
}

#include "tst_playlistfiles.moc"
