// scan --files N: the cost of cataloguing N files against the cost of merely reading them,
// and the peak memory of the whole run.
// replace --files N: the cost of scanning a disk again in place of its rows against the cost
// of scanning it fresh.
#include "benchcases.h"

#include "catalogdb.h"
#include "catalogedits.h"
#include "cataloger.h"
#include "directorylist.h"
#include "diskscanner.h"
#include "mountedvolumes.h"
#include "mp3fixture.h"
#include "programstate.h"
#include "prompts.h"
#include "settingsstore.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTableView>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>
#include <taglib/fileref.h>
#include <taglib/tag.h>
#include <unistd.h>

namespace {

class SilentPrompts : public Prompts {
public:
    Answer message(const QString& text, Buttons, const QString&, std::optional<Answer>) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return Answer::Ok;
    }
    std::optional<QString> input(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    QString openFile(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFile(const QString&, const QString&, const QString&) override { return {}; }
};

// About 20 files a directory, three levels deep; a mix of CBR and VBR, ID3v1 and ID3v2.
QStringList writeTree(const QString& root, int files) {
    QStringList paths;
    const int perDirectory = 20;
    for (int i = 0; i < files; ++i) {
        const int leaf = i / perDirectory;
        const QString dir = QStringLiteral("%1/Artist %2/Album %3/Disc %4")
                                .arg(root)
                                .arg(leaf / 16)
                                .arg((leaf / 4) % 4)
                                .arg(leaf % 4);
        if (i % perDirectory == 0)
            QDir().mkpath(dir);
        fixture::Mp3Params p;
        p.frames = 200 + i % 300;
        p.bitrateKbps = i % 2 ? 192 : 128;
        switch (i % 20) {
        case 0:
        case 1:
        case 2:
            p.kind = fixture::Mp3Params::Kind::VbrNoHeader;
            break;
        case 3:
        case 4:
        case 5:
        case 6:
        case 7:
        case 8:
        case 9:
            p.kind = fixture::Mp3Params::Kind::VbrXing;
            break;
        default:
            p.kind = fixture::Mp3Params::Kind::Cbr;
        }
        const fixture::Tag tag{QStringLiteral("Song %1").arg(i),
                               QStringLiteral("Artist %1").arg(leaf / 16),
                               QStringLiteral("Album %1").arg(leaf / 4)};
        if (i % 3 == 0)
            p.id3v2 = tag;
        else
            p.id3v1 = tag;
        const QString path =
            QStringLiteral("%1/Track %2.mp3").arg(dir).arg(i % perDirectory, 2, 10, QChar('0'));
        fixture::writeMp3(path, p);
        paths << path;
    }
    return paths;
}

void warmCache(const QStringList& paths) {
    for (const QString& path : paths) {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly))
            f.readAll();
    }
}

double floorSeconds(const QStringList& paths) {
    QElapsedTimer timer;
    timer.start();
    qint64 total = 0;
    for (const QString& path : paths) {
        TagLib::FileRef file(QFile::encodeName(path).constData());
        if (file.isNull())
            continue;
        if (const TagLib::Tag* tag = file.tag())
            total += tag->title().size() + tag->artist().size() + tag->album().size();
        if (const TagLib::AudioProperties* audio = file.audioProperties())
            total += audio->lengthInMilliseconds();
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (total == 0)
        std::fprintf(stderr, "floor: nothing read\n");
    return seconds;
}

double scanSeconds(const QString& root, const QString& dbPath, int expected) {
    SilentPrompts prompts;
    SettingsStore settings(QDir(root).filePath("../settings.ini"));
    ProgramState state(prompts, settings);
    state.DBPath = dbPath;
    state.CdDrive = "/";
    state.endProgram = [] {};
    if (!catalogdb::prepare(dbPath).ok)
        return -1;
    {
        CatalogConnection c(dbPath, "bench");
        catalogdb::run(c.db(), "INSERT INTO Disks (DiskName, Drive) VALUES ('Bench', '/')");
    }
    auto* window = new Cataloger(state);
    window->show();
    QApplication::processEvents();
    window->DBGrid1->setCurrentIndex(window->DBGrid1->model()->index(0, 1));
    window->Dir1->setPath(root);

    QElapsedTimer timer;
    timer.start();
    window->mnuCatalog->trigger();
    const double seconds = timer.nsecsElapsed() / 1e9;

    const qint64 stored = catalogdb::countTracks(dbPath, nullptr);
    if (stored != expected)
        std::fprintf(stderr, "scan stored %lld tracks, expected %d\n", stored, expected);
    state.QuitOnClose = false;
    window->close();
    return seconds;
}

// The wall-clock seconds of one run, and this process's processor seconds (every thread's):
// on a busy machine the second figure is the steadier one. Negative when the run failed.
struct Timing {
    double seconds = -1;
    double cpuSeconds = -1;
};

// One scan of `root` into disk `diskId`, as the command line runs it.
Timing scannerTiming(const QString& dbPath, qint64 diskId, const QString& root,
                     DiskScanner::Mode mode, int expected) {
    CatalogConnection connection(dbPath, "bench");
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpuStart = std::clock();
    DiskScanner scanner(connection.db(), diskId, root);
    scanner.mode = mode;
    scanner.volume = mountedvolumes::volumeAt(root);
    scanner.onStep = [](const QString&) { return true; };
    scanner.NavigateTree(root);
    const Timing timing{timer.nsecsElapsed() / 1e9,
                        static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC};
    if (scanner.counts().files != expected) {
        std::fprintf(stderr, "scan stored %d tracks, expected %d\n", scanner.counts().files,
                     expected);
        return {};
    }
    return timing;
}

// The files of the tree given by --tree DIR, kept there for the next run; or of a new tree of
// --files N files in `work`.
QStringList benchTree(const QStringList& options, const QTemporaryDir& work, QString& root) {
    const int files = intOption(options, "--files", 10000);
    const int treeAt = options.indexOf("--tree");
    root = treeAt >= 0 ? options.value(treeAt + 1) : work.filePath("disk");
    QStringList paths;
    if (treeAt >= 0 && QFileInfo::exists(root)) {
        QDirIterator it(root, {"*.mp3"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            paths << it.next();
    } else {
        QElapsedTimer timer;
        timer.start();
        paths = writeTree(root, files);
        std::fprintf(stderr, "wrote %d files in %.1f s\n", files, timer.nsecsElapsed() / 1e9);
    }
    return paths;
}

// A catalogue at `dbPath` with one disk, Bench, read from `root`; the disk's DiskID, or 0.
qint64 benchCatalogue(const QString& dbPath, const QString& root) {
    if (!catalogdb::prepare(dbPath).ok)
        return 0;
    CatalogConnection c(dbPath, "bench");
    return catalogdb::run(c.db(), "INSERT INTO Disks (DiskName, Drive) VALUES ('Bench', ?)", {root})
        .lastInsertId()
        .toLongLong();
}

} // namespace

int benchReplace(const QStringList& options) {
    QTemporaryDir work;
    QString root;
    const QStringList paths = benchTree(options, work, root);
    const int files = static_cast<int>(paths.size());
    warmCache(paths);
    const QString dbPath = work.filePath("bench.mdb");
    const qint64 diskId = benchCatalogue(dbPath, root);
    ::sync();
    const Timing scan = scannerTiming(dbPath, diskId, root, DiskScanner::Mode::Add, files);
    ::sync();
    const Timing replace = scannerTiming(dbPath, diskId, root, DiskScanner::Mode::Replace, files);
    if (catalogdb::countTracks(dbPath, nullptr) != files)
        std::fprintf(stderr, "the catalogue holds %lld tracks, expected %d\n",
                     catalogdb::countTracks(dbPath, nullptr), files);
    // A fresh scan once more, into a new catalogue: what the order of the runs changes.
    const QString againPath = work.filePath("again.mdb");
    ::sync();
    const Timing again = scannerTiming(againPath, benchCatalogue(againPath, root), root,
                                       DiskScanner::Mode::Add, files);
    std::printf("scan_s %.3f\nscan_cpu %.3f\n", scan.seconds, scan.cpuSeconds);
    std::printf("replace_s %.3f\nreplace_cpu %.3f\n", replace.seconds, replace.cpuSeconds);
    std::printf("scan_again_s %.3f\nscan_again_cpu %.3f\n", again.seconds, again.cpuSeconds);
    std::printf("ratio %.2f\n", replace.seconds / scan.seconds);
    std::printf("cpu_ratio %.2f\n", replace.cpuSeconds / scan.cpuSeconds);
    std::printf("rss_mb %.1f\n", peakRssMb());
    return scan.seconds < 0 || replace.seconds < 0 || again.seconds < 0 ? 1 : 0;
}

int benchScan(const QStringList& options) {
    QTemporaryDir work;
    QString root;
    const QStringList paths = benchTree(options, work, root);

    warmCache(paths);
    floorSeconds(paths); // once more, so both figures start from the same warm state
    // Both figures start with nothing left for the kernel to write back from earlier work.
    ::sync();
    const double floor = floorSeconds(paths);
    ::sync();
    const double scan = scanSeconds(root, work.filePath("bench.mdb"), paths.size());
    std::printf("floor_s %.3f\n", floor);
    std::printf("scan_s %.3f\n", scan);
    std::printf("ratio %.2f\n", scan / floor);
    std::printf("files_per_s %.0f\n", paths.size() / scan);
    std::printf("rss_mb %.1f\n", peakRssMb());
    // --catalogue URI: the same scan into a server catalogue, emptied first.
    const int at = options.indexOf("--catalogue");
    if (at < 0)
        return scan < 0 ? 1 : 0;
    const QString server = options.value(at + 1);
    if (!catalogdb::prepare(server).ok)
        return 1;
    {
        CatalogConnection connection(server, "bench");
        catalogedits::emptyCatalogue(connection.db());
    }
    ::sync();
    const double serverScan = scanSeconds(root, server, paths.size());
    std::printf("server_scan_s %.3f\n", serverScan);
    std::printf("server_to_file %.2f\n", serverScan / scan);
    return scan < 0 || serverScan < 0 ? 1 : 0;
}
