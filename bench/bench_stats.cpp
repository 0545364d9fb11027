// stats --tracks N: the statistics window opened on a catalogue of N tracks, then its "All
// Tracks" report, column widths included. Run on the offscreen platform.

#include "benchcases.h"

#include "catalogdb.h"
#include "programstate.h"
#include "prompts.h"
#include "settingsstore.h"
#include "stats.h"
#include "statuspanels.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>

namespace {

// Any question means the window met an error.
class ReportingPrompts : public Prompts {
public:
    Answer message(const QString& text, Buttons, const QString&, std::optional<Answer>) override {
        std::fprintf(stderr, "stats: %s\n", qPrintable(text));
        return Answer::Ok;
    }
    std::optional<QString> input(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    QString openFile(const QString&, const QString&, const QString&) override { return {}; }
};

// Wall-clock seconds since `timer` started, and this process's processor seconds since
// `cpuStart`: on a busy machine the second figure is the steadier one.
// Until the shown report's count and widths are in.
void waitMeasured(Stats* stats) {
    if (!stats->StatusBar1->panelText(1).contains("counting"))
        return;
    QEventLoop loop;
    QObject::connect(stats, &Stats::measured, &loop, &QEventLoop::quit);
    loop.exec();
}

void print(const char* name, const QElapsedTimer& timer, std::clock_t cpuStart) {
    std::printf("%s %.4f\n%s_cpu %.4f\n", name, static_cast<double>(timer.nsecsElapsed()) / 1e9,
                name, static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC);
}

} // namespace

int benchStats(const QStringList& options) {
    const int trackCount = intOption(options, "--tracks", 200000);
    if (trackCount < 1) {
        std::fprintf(stderr, "stats: --tracks needs a positive number\n");
        return 2;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("bench.mdb");
    try {
        if (!catalogdb::prepare(path).ok)
            throw CatalogError("cannot make a catalogue in " + dir.path());
        fillCatalogue(path, trackCount);
    } catch (const CatalogError& e) {
        std::fprintf(stderr, "stats: %s\n", qPrintable(e.message()));
        return 1;
    }
    std::printf("tracks %d\n", trackCount);

    ReportingPrompts prompts;
    SettingsStore settings(dir.filePath("catalog.ini"));
    ProgramState state(prompts, settings);
    state.DBPath = path;
    state.endProgram = [] {};

    QElapsedTimer total;
    total.start();
    const std::clock_t totalCpu = std::clock();
    auto* stats = new Stats(state);
    stats->show();
    QCoreApplication::processEvents();
    waitMeasured(stats);
    print("open_s", total, totalCpu);

    QElapsedTimer report;
    report.start();
    std::clock_t reportCpu = std::clock();
    stats->showReport(3);
    QCoreApplication::processEvents();
    print("all_tracks_shown_s", report, reportCpu);
    waitMeasured(stats);
    print("all_tracks_s", report, reportCpu);
    print("stats_s", total, totalCpu);
    std::printf("records %lld\n", static_cast<long long>(stats->recordCount()));

    const std::pair<int, const char*> others[] = {{1, "tracks_by_disk_s"},
                                                  {2, "tracks_by_disk_and_dir_s"}};
    for (const auto& [index, name] : others) {
        report.start();
        reportCpu = std::clock();
        stats->showReport(index);
        QCoreApplication::processEvents();
        waitMeasured(stats);
        print(name, report, reportCpu);
    }
    std::printf("rss_mb %.1f\n", peakRssMb());
    delete stats;
    return 0;
}
