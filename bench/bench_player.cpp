// player --tracks N: a catalogue of N tracks (about 100 a disk, 12 a directory), started the
// way a person starts the program, then a click on the largest disk and a search that matches
// about a tenth of the tracks, by file name and by tags. Run on the offscreen platform. With
// --cold the start is measured again, its figures under "cold_", after the system's page cache
// was dropped (which needs root): the catalogue and the program read from the disk.

#include "benchcases.h"

#include "catalogdb.h"
#include "cataloglists.h"
#include "listloading.h"
#include "programstate.h"
#include "prompts.h"
#include "settingsstore.h"
#include "startup.h"
#include "treeplayer.h"
#include "windows.h"

#include "catalogmodels.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <unordered_map>

namespace {

constexpr int TracksPerDir = 12;
constexpr int TracksPerDisk = 100;

// The start-up must find everything in the settings; any question means it did not.
class SilentPrompts : public Prompts {
public:
    Answer message(const QString& text, Buttons, const QString&, std::optional<Answer>) override {
        std::fprintf(stderr, "player: unexpected message: %s\n", qPrintable(text));
        return Answer::Ok;
    }
    std::optional<QString> input(const QString& prompt, const QString&, const QString&) override {
        std::fprintf(stderr, "player: unexpected question: %s\n", qPrintable(prompt));
        return std::nullopt;
    }
    QString openFile(const QString& title, const QString&, const QString&) override {
        std::fprintf(stderr, "player: unexpected file dialog: %s\n", qPrintable(title));
        return {};
    }
    QString saveFile(const QString& title, const QString& filter,
                     const QString& extension) override {
        return openFile(title, filter, extension);
    }
};

} // namespace

void fillCatalogue(const QString& path, int trackCount) {
    CatalogConnection connection(path, "bench-fill");
    const QSqlDatabase db = connection.db();
    Transaction transaction(db);
    QSqlQuery disk(db), dir(db), track(db);
    disk.prepare("INSERT INTO Disks (DiskID, DiskName, Drive) VALUES (?, ?, ?)");
    dir.prepare("INSERT INTO Dirs (DirID, DiskID, DirName) VALUES (?, ?, ?)");
    track.prepare("INSERT INTO Tracks (TrackID, DirID, DiskID, Title, TrackName, Duration, "
                  "Artist, Album) VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
    int diskId = 0, dirId = 0;
    for (int i = 0; i < trackCount; ++i) {
        if (i % TracksPerDisk == 0) {
            ++diskId;
            disk.addBindValue(diskId);
            disk.addBindValue(QStringLiteral("MP3 Collection %1").arg(diskId, 5, 10, QChar('0')));
            disk.addBindValue(QStringLiteral("/media/cdrom"));
            catalogdb::exec(disk);
        }
        // Directories run over disk boundaries no more than a scan would: a new disk starts
        // a new directory.
        if (i % TracksPerDisk == 0 || (i % TracksPerDisk) % TracksPerDir == 0) {
            ++dirId;
            dir.addBindValue(dirId);
            dir.addBindValue(diskId);
            dir.addBindValue(QStringLiteral("/Music/Artist %1/Album %2").arg(diskId).arg(dirId));
            catalogdb::exec(dir);
        }
        const QString title = i % 10 == 0 ? QStringLiteral("Zebra Crossing %1").arg(i)
                                          : QStringLiteral("Song Number %1").arg(i);
        track.addBindValue(i + 1);
        track.addBindValue(dirId);
        track.addBindValue(diskId);
        track.addBindValue(title);
        track.addBindValue(
            QStringLiteral("%1 - %2.mp3").arg(i % 100, 2, 10, QChar('0')).arg(title));
        track.addBindValue(QStringLiteral("00:0%1:%2").arg(i % 10).arg(i % 60, 2, 10, QChar('0')));
        track.addBindValue(QStringLiteral("Artist %1").arg(diskId));
        track.addBindValue(QStringLiteral("Album %1").arg(dirId));
        catalogdb::exec(track);
    }
    transaction.commit();
}

namespace {

double seconds(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

// Figures of a server catalogue are printed beside the file's, under the same names with
// "server_" before them.
const char* prefix = "";

void print(const char* name, double value) {
    std::printf("%s%s %.4f\n", prefix, name, value);
}

int measurePlayer(const QString& path, const QTemporaryDir& dir);

bool dropPageCache() {
    ::sync();
    QFile control("/proc/sys/vm/drop_caches");
    return control.open(QIODevice::WriteOnly) && control.write("1\n") == 2;
}

} // namespace

int benchPlayer(const QStringList& options) {
    const int trackCount = intOption(options, "--tracks", 200000);
    if (trackCount < 1) {
        std::fprintf(stderr, "player: --tracks needs a positive number\n");
        return 2;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("bench.mdb");
    if (!catalogdb::prepare(path).ok) {
        std::fprintf(stderr, "player: cannot make a catalogue in %s\n", qPrintable(dir.path()));
        return 1;
    }
    try {
        fillCatalogue(path, trackCount);
    } catch (const CatalogError& e) {
        std::fprintf(stderr, "player: %s\n", qPrintable(e.message()));
        return 1;
    }
    std::printf("tracks %d\n", trackCount);
    if (const int status = measurePlayer(path, dir); status != 0)
        return status;
    if (options.contains("--cold")) {
        if (!dropPageCache()) {
            std::fprintf(stderr, "player: cannot drop the page cache (root may)\n");
            return 1;
        }
        prefix = "cold_";
        if (const int status = measurePlayer(path, dir); status != 0)
            return status;
        prefix = "";
    }
    // --catalogue URI: the same catalogue copied to a server, measured the same way.
    return measureOnServer("player", options, path, [&](const QString& server) {
        prefix = "server_";
        return measurePlayer(server, dir);
    });
}

namespace {

int measurePlayer(const QString& path, const QTemporaryDir& dir) {
    QElapsedTimer timer;
    SilentPrompts prompts;
    SettingsStore settings(dir.filePath("catalog.ini"));
    settings.set("DB", path);
    settings.set("Drive", "/");
    ProgramState state(prompts, settings);
    state.dataDir = dir.filePath("data");
    state.endProgram = [] {};
    Windows windows(state);
    state.windows = &windows;

    timer.start();
    if (!Startup(state).run() || !windows.existingPlayer()) {
        std::fprintf(stderr, "player: the start did not open the player window\n");
        return 1;
    }
    TreePlayer* player = windows.existingPlayer();
    QCoreApplication::processEvents();
    print("first_paint_s", seconds(timer));
    // The tracks arrive behind the window, which keeps handling its events meanwhile.
    qint64 longestStall = 0;
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    while (state.tracksLoading()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        longestStall = std::max(longestStall, sinceEvents.restart());
    }
    QCoreApplication::processEvents();
    print("show_s", seconds(timer));
    print("loading_stall_s", double(longestStall) / 1000);
    // The most the process held until now: a person's start, the catalogue made before it.
    print("rss_mb", peakRssMb());
    {
        // The lists alone, on this thread, for comparison.
        CatalogConnection connection(path, "bench-load");
        CatalogLists lists;
        timer.start();
        LoadCatalog(connection.db(), lists);
        print("load_s", seconds(timer));
    }

    timer.start();
    player->FillCatalogTree();
    print("tree_s", seconds(timer));

    std::unordered_map<qint32, int> tracksOnDisk;
    for (const TrackRecord& track : state.lists.tracks)
        if (track.TrackID != 0)
            ++tracksOnDisk[track.DiskID];
    qint32 largest = 0;
    for (const auto& [disk, count] : tracksOnDisk)
        if (largest == 0 || count > tracksOnDisk[largest])
            largest = disk;
    const int node = player->treeModel->tree().indexOfDisk(largest);
    player->trDirs->setCurrentIndex(player->treeModel->indexOfNode(node));
    timer.start();
    player->Tree_Click();
    print("click_s", seconds(timer));
    std::printf("click_items %d\n", player->filesModel->rowCount());

    player->txtSearch->setText("zebra");
    timer.start();
    player->runSearch();
    QCoreApplication::processEvents();
    print("search_s", seconds(timer));
    std::printf("search_items %zu\n", player->resultIndex.size());

    // The same text in titles, artists and albums.
    player->optSearch[2]->setChecked(true);
    timer.start();
    player->runSearch();
    QCoreApplication::processEvents();
    print("tagsearch_s", seconds(timer));
    std::printf("tagsearch_items %zu\n", player->resultIndex.size());

    state.QuitOnClose = false;
    delete player;
    return 0;
}

} // namespace
