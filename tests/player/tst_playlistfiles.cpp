// The play list beyond one window: kept between runs, saved and opened as .m3u8 files, played
// from a row, rows removed with the Delete key.

#include "filesrig.h"
#include "keptplaylist.h"

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

} // namespace

class Playlist : public QObject {
    Q_OBJECT
    std::unique_ptr<FilesRig> rig_;
    TreePlayer* w = nullptr;

    QString m3u() const { return rig_->path("mix.m3u8"); }
    void addTheOtherB() { // the play list: a.mp3, b.mp3, c.mp3, the other b.mp3
        rig_->showDir(2);
        w->mnuAddVolume->trigger();
    }
    QList<QListWidgetItem*> songRows(std::initializer_list<int> rows) const {
        QList<QListWidgetItem*> items;
        for (const int row : rows)
            items << w->lstSongs->item(row);
        return items;
    }

private slots:
    void init() {
        rig_ = std::make_unique<FilesRig>();
        w = rig_->w;
    }
    void cleanup() { rig_.reset(); }

    // Closing the window, or the program, and opening it again brings the play list back.
    void rowsTicksAndTotalsComeBack() {
        rig_->songs().tick(1);
        rig_->reopen();
        QCOMPARE(rig_->songKeys(), QStringList({"K1", "K2", "K3"}));
        QVERIFY(rig_->songs().isTicked(1) && !rig_->songs().isTicked(0));
        QCOMPARE(rig_->panel(3), QString("Total Time:00:03:00"));
        rig_->w->mnuClear->trigger(); // kept at once, not only when the window closes
        QTRY_VERIFY(readKeptPlaylist(rig_->w->keptPlaylistPath()).empty());
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
        rig_->window->close();
        QVERIFY(writeFile(rig_->w->keptPlaylistPath(), "{\"rows\": [{\"track\": 1, \"key\""));
        rig_->w = rig_->openShown();
        QCOMPARE(rig_->songs().count(), 0);
        rig_->state.dataDir = rig_->path("blocked/data");
        QVERIFY(writeFile(rig_->path("blocked"), "a file, not a folder"));
        rig_->songs().append({1, "K7", "a.mp3"});
        QTRY_VERIFY(rig_->panel(1).startsWith("The play list cannot be kept in "));
    }

    // A row whose track is gone is left out, and counted.
    void savedAsExtendedM3u() {
        rig_->songs().append({99, "K9", "lost.mp3"});
        rig_->prompts.files = {m3u()};
        rig_->w->mnuSavePlaylist->trigger();
        QCOMPARE(readAll(m3u()),
                 ("#EXTM3U\n#EXTINF:60,Édith Piaf – Hymne\n" + rig_->trackFile(1, "a.mp3") +
                  "\n#EXTINF:60,b\n" + rig_->trackFile(1, "b.mp3") + "\n#EXTINF:60,c\n" +
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
        QCOMPARE(rig_->prompts.texts().last(),
                 QString("1 of the 5 entries of mix.m3u8 were not found in the catalogue."));
    }

    void fileErrorsAreTold() {
        rig_->prompts.files = {rig_->path("no folder/mix.m3u8"), rig_->path("absent.m3u8")};
        rig_->w->mnuSavePlaylist->trigger();
        QVERIFY(rig_->prompts.texts().last().startsWith("The play list cannot be saved in "));
        rig_->w->mnuOpenPlaylist->trigger();
        QVERIFY(rig_->prompts.texts().last().endsWith("cannot be read: No such file or directory"));
    }

    void playsFromTheRowAndHighlightsEachEntry() {
        addTheOtherB();
        const qint32 trackListRow = w->playIndex;
        const QPoint at = w->lstSongs->visualItemRect(w->lstSongs->item(1)).center();
        QTest::mouseClick(w->lstSongs->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(w->lstSongs->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(readAll(rig_->player->opened.value(0)),
                 (rig_->trackFile(1, "b.mp3") + "\r\n" + rig_->trackFile(1, "c.mp3") + "\r\n" +
                  rig_->trackFile(2, "b.mp3") + "\r\n")
                     .toUtf8());
        rig_->player->startEntry(1);
        QCOMPARE(rig_->panel(1), QString("Now Playing...b.mp3"));
        QCOMPARE(w->lstSongs->selectedItems(), songRows({1}));
        rig_->songs().append({1, "K9", "a.mp3"}); // a row added meanwhile changes nothing
        rig_->player->startEntry(3);
        QCOMPARE(w->lstSongs->selectedItems(), songRows({3}));
        QCOMPARE(w->playIndex, trackListRow); // the track list's row, not the play list's
        rig_->player->changeState(MediaPlayer::Stopped);
        QVERIFY(w->lstSongs->selectedItems().isEmpty());
    }

    // Delete removes the selected rows; the ticked rows are "&Delete"'s.
    void deleteKeyRemovesTheSelectedRows() {
        addTheOtherB();
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

QTEST_MAIN(Playlist)
#include "tst_playlistfiles.moc"
