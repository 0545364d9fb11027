// stats --tracks N: the statistics window opened on a catalogue of N tracks, then its "All
// Tracks" report, column widths included, then that report sorted by a heading and reversed,
// then each of the four reports shown afresh (its first rows, then whole), each with the
// longest time the window went without handling its events meanwhile. With
// --catalogue URI the same catalogue is copied to that server and measured again, its figures
// under the same names with "server_" before them. Run on the offscreen platform.

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
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <functional>
#include <string>

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
    QString saveFile(const QString&, const QString&, const QString&) override { return {}; }
};

// Until the shown report's count and widths are in.
void waitMeasured(Stats* stats) {
    if (!stats->StatusBar1->panelText(1).contains("counting"))
        return;
    QEventLoop loop;
    QObject::connect(stats, &Stats::measured, &loop, &QEventLoop::quit);
    loop.exec();
}

// Until the report's first rows, in the order asked for, are in the grid.
void waitRows(Stats* stats) {
    if (!stats->isReading())
        return;
    QEventLoop loop;
    QObject::connect(stats, &Stats::rowsShown, &loop, &QEventLoop::quit);
    loop.exec();
}

// The longest time between two ticks of a timer of the window's thread while `work` waits
// for its rows: how long the window would have stood still.
double longestStall(Stats* stats, const std::function<void()>& work) {
    QElapsedTimer sinceTick;
    qint64 longest = 0;
    QTimer ticks;
    ticks.setInterval(5);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        longest = std::max(longest, sinceTick.nsecsElapsed());
        sinceTick.start();
    });
    sinceTick.start();
    ticks.start();
    work();
    waitRows(stats);
    longest = std::max(longest, sinceTick.nsecsElapsed());
    return static_cast<double>(longest) / 1e9;
}

// Wall-clock seconds since `timer` started, and this process's processor seconds since
// `cpuStart`: on a busy machine the second figure is the steadier one.
const char* prefix = "";

void print(const char* name, const QElapsedTimer& timer, std::clock_t cpuStart) {
    std::printf("%s%s %.4f\n%s%s_cpu %.4f\n", prefix, name,
                static_cast<double>(timer.nsecsElapsed()) / 1e9, prefix, name,
                static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC);
}

int measureStats(const QString& path, const QTemporaryDir& dir);

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
    if (const int status = measureStats(path, dir); status != 0)
        return status;
    return measureOnServer("stats", options, path, [&](const QString& server) {
        prefix = "server_";
        return measureStats(server, dir);
    });
}

namespace {

int measureStats(const QString& path, const QTemporaryDir& dir) {
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
    waitRows(stats);
    waitMeasured(stats);
    print("open_s", total, totalCpu);

    QElapsedTimer report;
    report.start();
    std::clock_t reportCpu = std::clock();
    stats->showReport(3);
    waitRows(stats);
    print("all_tracks_shown_s", report, reportCpu);
    waitMeasured(stats);
    print("all_tracks_s", report, reportCpu);
    print("stats_s", total, totalCpu);
    std::printf("%srecords %lld\n", prefix, static_cast<long long>(stats->recordCount()));

    // By Title, then reversed: the time until the grid shows the new order's first rows.
    constexpr int Title = 5;
    for (const auto& [order, name] :
         {std::pair{Qt::AscendingOrder, "sort_title"}, {Qt::DescendingOrder, "sort_reversed"}}) {
        report.start();
        reportCpu = std::clock();
        const double stall =
            longestStall(stats, [&, order = order] { stats->sortBy(Title, order); });
        print((std::string(name) + "_s").c_str(), report, reportCpu);
        std::printf("%s%s_longest_stall_s %.4f\n", prefix, name, stall);
    }

    // Each report shown afresh. The first two names are the ones earlier runs printed.
    struct Shown {
        int index;
        const char* name;
        const char* rowsName;
        const char* wholeName;
    };
    const Shown shown[] = {
        {1, "tracks_by_disk", "tracks_by_disk_rows_s", "tracks_by_disk_s"},
        {2, "tracks_by_disk_and_dir", "tracks_by_disk_and_dir_rows_s", "tracks_by_disk_and_dir_s"},
        {0, "dirs_by_disk", nullptr, nullptr},
        {3, "all_tracks", nullptr, nullptr},
    };
    for (const Shown& each : shown) {
        report.start();
        reportCpu = std::clock();
        const double stall = longestStall(stats, [&] { stats->showReport(each.index); });
        const std::string stem(each.name);
        print((stem + "_first_rows_s").c_str(), report, reportCpu);
        if (each.rowsName)
            print(each.rowsName, report, reportCpu);
        waitMeasured(stats);
        print((stem + "_whole_s").c_str(), report, reportCpu);
        if (each.wholeName)
            print(each.wholeName, report, reportCpu);
        std::printf("%s%s_longest_stall_s %.4f\n", prefix, each.name, stall);
    }
    std::printf("%srss_mb %.1f\n", prefix, peakRssMb());
    delete stats;
    return 0;
}

} // namespace
