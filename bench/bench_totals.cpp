// totals --rows M: the play list's count and total time (UpdateTrackduration) over M entries
// spread across an in-memory catalogue of 200000 tracks. "totals_s" is the first refresh after
// the track list was loaded, which indexes it; "totals_warm_s" a refresh after that.

#include "benchcases.h"

#include "catalogmodels.h"
#include "programstate.h"
#include "scriptedprompts.h"
#include "settingsstore.h"
#include "statuspanels.h"
#include "treeplayer.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr int CatalogueTracks = 200000;

TrackList catalogue() {
    TrackList tracks;
    tracks.reserve(CatalogueTracks + 1);
    for (int i = 0; i < CatalogueTracks; ++i)
        tracks.push_back({i + 1, i / 12 + 1, i / 100 + 1, QStringLiteral("Song %1").arg(i),
                          QStringLiteral("%1 - Song %2.mp3").arg(i % 100).arg(i),
                          QStringLiteral("00:0%1:%2").arg(i % 10).arg(i % 60, 2, 10, QChar('0')),
                          "Album", "Artist"});
    tracks.emplace_back();
    return tracks;
}

double timed(TreePlayer& player) {
    QElapsedTimer timer;
    timer.start();
    player.UpdateTrackduration();
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int benchTotals(const QStringList& options) {
    const int rows = intOption(options, "--rows", 5000);
    if (rows < 1 || rows > CatalogueTracks) {
        std::fprintf(stderr, "totals: --rows needs a number from 1 to %d\n", CatalogueTracks);
        return 2;
    }
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    SettingsStore settings(dir.filePath("catalog.ini"));
    ProgramState state(prompts, settings);
    state.endProgram = [] {};
    state.dataDir = dir.filePath("data");
    TreePlayer player(state);

    std::vector<TrackItem> items;
    const TrackList tracks = catalogue();
    for (int i = 0; i < rows; ++i) {
        const TrackRecord& track = tracks[static_cast<size_t>(i) * CatalogueTracks / rows];
        items.push_back({track.TrackID, track.TrackName});
    }
    player.filesModel->setItems(std::move(items));
    player.addVolume();

    state.lists.tracks = tracks; // as a load leaves it: not indexed yet
    std::printf("rows %d\n", rows);
    std::printf("totals_s %.4f\n", timed(player));
    std::printf("totals_warm_s %.4f\n", timed(player));
    std::printf("%s\n", qPrintable(player.StatusBar1->panelText(3)));
    state.QuitOnClose = false;
    return 0;
}
