#pragma once

// A player window whose disks are folders of real MP3 files, with a scripted media player
// unless a test gives it the real one.

#include "mediaplayer.h"
#include "mp3fixture.h"
#include "playerrig.h"
#include "playlistrows.h"

#include <QDir>
#include <QListView>

// Stands in for the embedded player: records what it is told, raises the events it is asked to.
class ScriptedPlayer : public MediaPlayer {
public:
    QStringList opened;
    int stops = 0;
    int entry = 0;
    PlayState state = Stopped;
    QList<double> seeks;

    void open(const QString& target) override { opened << target; }
    void stop() override { ++stops; }
    int currentEntry() const override { return entry; }
    PlayState playState() const override { return state; }
    void setPaused(bool paused) override { changeState(paused ? Paused : Playing); }
    void seek(double seconds) override { seeks << seconds; }
    void setVolume(int) override {}

    void startEntry(int number) {
        entry = number;
        Q_EMIT newStream();
    }
    void changeState(PlayState next) {
        const PlayState old = state;
        state = next;
        Q_EMIT playStateChanged(old, next);
    }
};

struct PlaybackRig : PlayerRig {
    ScriptedPlayer* player = nullptr;

    // Disk `id`, read from a folder of the rig's own.
    QString addDisk(qint32 id, const QString& name) {
        const QString drive = path(QStringLiteral("drive%1").arg(id));
        QDir().mkpath(drive);
        state.lists.disks.push_back({id, name, drive});
        return drive;
    }
    // A track whose file exists unless `withFile` is false; `frames` sets its playing time.
    void addTrack(qint32 id, qint32 dirId, const QString& name, const QString& duration,
                  bool withFile = true, int frames = 20) {
        for (const DirRecord& dir : state.lists.dirs) {
            if (dir.DirID != dirId)
                continue;
            state.lists.tracks.push_back({id, dirId, dir.DiskID, "", name, duration, "", ""});
            if (withFile)
                writeTrackFile(dir, name, frames);
            return;
        }
    }
    QString trackFile(qint32 dirId, const QString& name) const {
        for (const DirRecord& dir : state.lists.dirs)
            if (dir.DirID == dirId)
                for (const DiskRecord& disk : state.lists.disks)
                    if (disk.DiskID == dir.DiskID)
                        return QDir::cleanPath(disk.Drive + dir.DirName + "/" + name);
        return {};
    }
    // Leaves the spare elements a load leaves and opens the window with a scripted player.
    TreePlayer* openWithPlayer() {
        spares();
        openShown();
        auto scripted = std::make_unique<ScriptedPlayer>();
        player = scripted.get();
        window->setMediaPlayer(std::move(scripted));
        return window;
    }

    void showDir(qint32 dirId) {
        window->trDirs->setCurrentIndex(
            window->treeModel->indexOfNode(window->treeModel->tree().indexOfDir(dirId)));
        window->Tree_Click();
    }
    void doubleClickRow(int row) {
        QListView* list = window->lstFiles;
        const QModelIndex index = list->model()->index(row, 0);
        list->scrollTo(index);
        // A view takes a double-click for the item that the press before it was on.
        const QPoint at = list->visualRect(index).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }
    PlaylistRows songs() const { return PlaylistRows(window->lstSongs); }
    QStringList songTexts() const {
        QStringList texts;
        for (int row = 0; row < songs().count(); ++row)
            texts << songs().entry(row).text;
        return texts;
    }
    QStringList songKeys() const {
        QStringList keys;
        for (int row = 0; row < songs().count(); ++row)
            keys << songs().entry(row).key;
        return keys;
    }
    int selectedFileRow() const {
        const QModelIndexList rows = window->lstFiles->selectionModel()->selectedRows();
        return rows.size() == 1 ? rows[0].row() + 1 : 0;
    }

private:
    void writeTrackFile(const DirRecord& dir, const QString& name, int frames) {
        const QString file = trackFile(dir.DirID, name);
        QDir().mkpath(QFileInfo(file).path());
        fixture::Mp3Params params;
        params.frames = frames;
        fixture::writeMp3(file, params);
    }
};
