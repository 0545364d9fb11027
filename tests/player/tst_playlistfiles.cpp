// The play list beyond one window: kept between runs, saved and opened as .m3u8 files, played
// from a row, rows removed with the Delete key.

#include "keptplaylist.h"
#include "playbackrig.h"
#include "runtestclasses.h"
#include "statuspanels.h"

#include <QAction>
#include <QListWidget>

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// a.mp3, b.mp3 and c.mp3 in /a, another b.mp3 in /b; the play list holds /a's three.
struct FilesRig : PlaybackRig {
    TreePlayer* w = nullptr;
    FilesRig() {
        addDisk(1, "One");
        dirOn(1, 1, "/a");
        dirOn(2, 1, "/b");
        addTrack(1, 1, "a.mp3", "00:01:00");
        addTrack(2, 1, "b.mp3", "00:02:00");
        addTrack(3, 1, "c.mp3", "00:03:00");
        addTrack(4, 2, "b.mp3", "00:04:00");
        state.lists.tracks[0].Artist = "Édith Piaf";
        state.lists.tracks[0].Title = "Hymne";
        w = openWithPlayer();
        showDir(1);
        w->mnuAddVolume->trigger();
    }
    QString panel(int number) const { return window->StatusBar1->panelText(number); }
    TreePlayer* reopen() {
        window->close();
        QTest::qWait(0);
        return w = openShown();
    }
    QString lines(std::initializer_list<std::pair<qint32, const char*>> tracks) const {
        QString text;
        for (const auto& [dir, name] : tracks)
            text += trackFile(dir, name) + "\r\n";
        return text;
    }
};

} // namespace

// Closing the window, or the program, and opening it again brings the play list back.
class KeptPlaylist : public QObject {
    Q_OBJECT
    std::unique_ptr<FilesRig> rig_;

private slots:
    void init() {
        rig_ = std::make_unique<FilesRig>();
        rig_->songs().tick(1);
    }
    void cleanup() { rig_.reset(); }

    void rowsTicksAndTotalsComeBack() {
        TreePlayer* w = rig_->reopen();
        QCOMPARE(rig_->songKeys(), QStringList({"K1", "K2", "K3"}));
        QVERIFY(rig_->songs().isTicked(1) && !rig_->songs().isTicked(0));
        QCOMPARE(rig_->songs().entry(1).trackId, 2);
        QCOMPARE(rig_->panel(2), QString("Tracks to copy: 3"));
        QCOMPARE(rig_->panel(3), QString("Total Time:00:06:00"));
        // A change is kept at once, not only when the window closes.
        w->mnuClear->trigger();
        QTRY_VERIFY(readKeptPlaylist(w->keptPlaylistPath()).empty());
    }

    // By identity: the deleted b.mp3 takes its row, the other b.mp3 could not stand in.
    void rowsOfDeletedTracksAreDropped() {
        rig_->state.lists.tracks.erase(rig_->state.lists.tracks.begin() + 1);
        rig_->reopen();
        QCOMPARE(rig_->songTexts(), QStringList({"a.mp3", "c.mp3"}));
        QCOMPARE(rig_->panel(1),
                 QString("1 play-list row was dropped: the track is no longer in the catalogue."));
    }

    void damagedFileGivesAnEmptyListAndWriteFailuresAreTold() {
        const QString kept = rig_->window->keptPlaylistPath();
        rig_->window->close();
        QVERIFY(writeFile(kept, "{\"rows\": [{\"track\": 1, \"key\""));
        rig_->openShown();
        QCOMPARE(rig_->songs().count(), 0);
        rig_->state.dataDir = rig_->path("blocked/data");
        QVERIFY(writeFile(rig_->path("blocked"), "a file, not a folder"));
        rig_->songs().append({1, "K7", "a.mp3"});
        QTRY_VERIFY(rig_->panel(1).startsWith("The play list cannot be kept in "));
    }
};

class PlaylistFiles : public QObject {
    Q_OBJECT
    std::unique_ptr<FilesRig> rig_;

    QString m3u() const { return rig_->path("mix.m3u8"); }

private slots:
    void init() { rig_ = std::make_unique<FilesRig>(); }
    void cleanup() { rig_.reset(); }

    // A row whose track is gone is left out, and counted.
    void savedAsExtendedM3u() {
        rig_->songs().append({99, "K9", "lost.mp3"});
        rig_->prompts.files = {m3u()};
        rig_->w->mnuSavePlaylist->trigger();
        QCOMPARE(rig_->prompts.asked.back().kind, QString("save"));
        QCOMPARE(readAll(m3u()),
                 ("#EXTM3U\n#EXTINF:60,Édith Piaf – Hymne\n" + rig_->trackFile(1, "a.mp3") +
                  "\n#EXTINF:120,b\n" + rig_->trackFile(1, "b.mp3") + "\n#EXTINF:180,c\n" +
                  rig_->trackFile(1, "c.mp3") + "\n")
                     .toUtf8());
        QCOMPARE(rig_->panel(1), QString("Saved 3 tracks to mix.m3u8. 1 track left out: not in "
                                         "the catalogue, or no path to them."));
    }

    // By full path first (the b.mp3 of /b, not the first b.mp3), then by file name; a relative
    // path is read from the list's folder, a file URL as its path.
    void openedEntriesAreMatchedAndAdded() {
        rig_->w->mnuClear->trigger();
        const QByteArray otherB = rig_->trackFile(2, "b.mp3").toUtf8();
        QVERIFY(writeFile(m3u(), "\xef\xbb\xbf#EXTM3U\r\n#EXTINF:1,x\r\n" + otherB +
                                     "\r\n/elsewhere/c.mp3\r\ndrive1/b/b.mp3\r\nfile://" + otherB +
                                     "\r\n/x/y.mp3\r\n"));
        rig_->prompts.files = {m3u()};
        rig_->w->mnuOpenPlaylist->trigger();
        QCOMPARE(rig_->songTexts(), QStringList({"b.mp3", "c.mp3", "b.mp3", "b.mp3"}));
        for (const int row : {0, 2, 3})
            QCOMPARE(rig_->songs().entry(row).trackId, 4);
        QCOMPARE(rig_->panel(2), QString("Tracks to copy: 4"));
        QCOMPARE(rig_->prompts.texts().last(),
                 QString("1 of the 5 entries of mix.m3u8 were not found in the catalogue."));
    }

    void fileErrorsAreTold() {
        rig_->prompts.files = {rig_->path("no folder/mix.m3u8"), rig_->path("absent.m3u8")};
        rig_->w->mnuSavePlaylist->trigger();
        QVERIFY(rig_->prompts.texts().last().startsWith("The play list cannot be saved in "));
        rig_->w->mnuOpenPlaylist->trigger();
        QVERIFY(rig_->prompts.texts().last().startsWith("The play list "));
        QCOMPARE(rig_->songs().count(), 3);
    }
};

// A double-click in the play list plays it from that row, as "&Volume" plays the track list.
class PlayingThePlaylist : public QObject {
    Q_OBJECT
    std::unique_ptr<FilesRig> rig_;
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
        rig_ = std::make_unique<FilesRig>();
        w = rig_->w;
        rig_->showDir(2);
        w->mnuAddVolume->trigger(); // a.mp3, b.mp3, c.mp3, the other b.mp3
    }
    void cleanup() { rig_.reset(); }

    void playsFromTheRowAndHighlightsEachEntry() {
        const qint32 trackListRow = w->playIndex;
        doubleClickSong(1);
        QCOMPARE(readAll(rig_->player->opened.value(0)),
                 rig_->lines({{1, "b.mp3"}, {1, "c.mp3"}, {2, "b.mp3"}}).toUtf8());
        rig_->player->startEntry(1);
        QCOMPARE(rig_->panel(1), QString("Now Playing...b.mp3"));
        QCOMPARE(selectedSongs(), QList<int>({1}));
        rig_->songs().append({1, "K9", "a.mp3"}); // a row added meanwhile changes nothing
        rig_->player->startEntry(3);
        QCOMPARE(selectedSongs(), QList<int>({3}));
        QCOMPARE(w->playIndex, trackListRow); // the track list's row, not the play list's
        rig_->player->changeState(MediaPlayer::Stopped);
        QCOMPARE(selectedSongs(), QList<int>());
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
        QCOMPARE(readAll(arguments.value(0)), rig_->lines({{1, "c.mp3"}, {2, "b.mp3"}}).toUtf8());
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
        QCOMPARE(rig_->panel(2), QString("Tracks to copy: 2"));
        QVERIFY(rig_->songs().isTicked(0));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    KeptPlaylist kept;
    PlaylistFiles files;
    PlayingThePlaylist playing;
    return runTestClasses(argc, argv, {&kept, &files, &playing});
}

#include "tst_playlistfiles.moc"
