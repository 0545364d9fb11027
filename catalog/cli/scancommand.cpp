// "Catalog scan": walks a folder into a disk of the catalogue, as "Catalog &Disk" does.

#include "catalogdb.h"
#include "clicommon.h"
#include "commands.h"
#include "dirlisting.h"
#include "diskscanner.h"
#include "mountedvolumes.h"
#include "scanprogress.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <csignal>
#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void onInterrupt(int) {
    interrupted = 1;
}

// Ctrl-C asks the walk to stop, as Cancel does in the window, for as long as this lives.
class InterruptCatcher {
public:
    InterruptCatcher() {
        interrupted = 0;
        m_previous = std::signal(SIGINT, onInterrupt);
    }
    ~InterruptCatcher() { std::signal(SIGINT, m_previous); }
    InterruptCatcher(const InterruptCatcher&) = delete;
    InterruptCatcher& operator=(const InterruptCatcher&) = delete;

private:
    void (*m_previous)(int) = SIG_DFL;
};

// One line on standard error, rewritten in place, when standard error is a terminal.
class ProgressLine {
public:
    ProgressLine() : m_enabled(isatty(fileno(stderr)) != 0) { m_clock.start(); }
    ~ProgressLine() { clear(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void show(const DiskScanner& scanner, const QString& directory) {
        if (!m_enabled || (m_shown.isValid() && m_shown.elapsed() < 100))
            return;
        m_progress.update(scanner.counts().files, scanner.filesListed(), m_clock.elapsed());
        QString text = "Listing " + QDir::toNativeSeparators(directory);
        if (m_progress.total() > 0) {
            text = m_progress.countText();
            if (m_progress.steady())
                text += ", " + m_progress.rateText();
        }
        put(text.left(MaxWidth));
        m_shown.restart();
    }

    void clear() {
        if (m_width > 0)
            put({});
    }

private:
    static constexpr int MaxWidth = 79;

    void put(const QString& text) {
        const QString line = text.leftJustified(m_width);
        cli::writeErr("\r" + line + (text.isEmpty() ? "\r" : ""));
        m_width = static_cast<int>(text.size());
    }

    bool m_enabled;
    int m_width = 0;
    QElapsedTimer m_clock;
    QElapsedTimer m_shown;
    ScanProgress m_progress;
};

void defineScan(QCommandLineParser& parser) {
    cli::addCatalogueOption(parser);
    parser.addOption(
        {"disk",
         "The disk's name: an existing disk of that name, or a new one. A disk that holds "
         "directories already is scanned again only with --replace or --add.",
         "NAME"});
    parser.addOption({"drive",
                      "The disk's root, which the stored directory names are relative to "
                      "(default: the root of the volume holding PATH).",
                      "PATH"});
    parser.addOption({"replace",
                      "When the disk holds directories already, put this scan's rows in their "
                      "place, all at once when the walk is complete; a cancelled or failed "
                      "scan keeps them as they were."});
    parser.addOption({"add", "When the disk holds directories already, add this scan's rows beside "
                             "them, a second set."});
    parser.addPositionalArgument("PATH", "The folder to walk.");
}

// What a disk holds already, counted when it is looked up.
struct NamedDisk {
    qint64 id = 0;
    catalogedits::DiskContents held;
};

// The disk of that name, or a new disk row read from `drive`. Looking and adding are one
// write transaction, so that scans started at once under one new name make one disk.
NamedDisk diskNamed(const QSqlDatabase& db, const QString& name, const QString& drive) {
    Transaction transaction(db, Transaction::Mode::Immediate);
    NamedDisk disk;
    {
        QSqlQuery found = catalogdb::run(
            db, "SELECT DiskID FROM Disks WHERE DiskName = ? ORDER BY DiskID", {name});
        if (found.next())
            disk.id = found.value(0).toLongLong();
    }
    if (disk.id == 0) {
        disk.id =
            catalogdb::run(db, "INSERT INTO Disks (DiskName, Drive) VALUES (?, ?)", {name, drive})
                .lastInsertId()
                .toLongLong();
    } else {
        disk.held = catalogedits::diskContents(db, disk.id);
    }
    transaction.commit();
    return disk;
}

// A disk catalogued already is scanned again only when the person says how.
void refuseSecondSet(const QString& name, const NamedDisk& disk) {
    throw cli::Failure(
        QStringLiteral("The disk \"%1\" is catalogued already: it holds %2 and %3. Nothing was "
                       "stored.\nScan it again with --replace to put this scan in place of those "
                       "rows, or with --add to add this scan beside them as a second set.")
            .arg(name, plural(disk.held.directories, "directory", "directories"),
                 plural(disk.held.tracks, "track", "tracks")));
}

int runScan(const QCommandLineParser& parser) {
    if (parser.isSet("replace") && parser.isSet("add"))
        throw cli::UsageError("Choose --replace or --add, not both.");
    const QString diskName = cli::requiredValue(parser, "disk");
    const QString given = cli::operands(parser, 1, "The folder to walk (PATH)").constFirst();
    const QString start = QDir::cleanPath(QFileInfo(given).absoluteFilePath());
    const QString drive =
        parser.isSet("drive")
            ? QDir::cleanPath(QFileInfo(cli::requiredValue(parser, "drive")).absoluteFilePath())
            : QString();
    const dirlisting::ScanStart from = dirlisting::scanStart(start, drive);
    if (!drive.isEmpty() && from.root != QDir::toNativeSeparators(drive))
        throw cli::UsageError(
            QStringLiteral("%1 does not lie on the drive %2.")
                .arg(QDir::toNativeSeparators(start), QDir::toNativeSeparators(drive)));
    if (!QFileInfo(start).isDir() || !QDir(start).isReadable())
        throw cli::Failure(
            QStringLiteral("%1 is not a folder that can be read; nothing was stored.")
                .arg(QDir::toNativeSeparators(start)));

    const auto connection = cli::openCatalogue(parser, true);
    const NamedDisk disk = diskNamed(connection->db(), diskName, from.root);
    if (disk.held.directories > 0 && !parser.isSet("replace") && !parser.isSet("add"))
        refuseSecondSet(diskName, disk);
    DiskScanner scanner(connection->db(), disk.id, from.root);
    if (parser.isSet("replace"))
        scanner.mode = DiskScanner::Mode::Replace;
    scanner.volume = mountedvolumes::volumeAt(from.root);
    const InterruptCatcher catcher;
    ProgressLine progress;
    scanner.onStep = [&](const QString& directory) {
        progress.show(scanner, directory);
        return interrupted == 0;
    };
    QString failure;
    try {
        scanner.NavigateTree(from.path);
    } catch (const CatalogError& e) {
        failure = e.message();
    }
    progress.clear();
    cli::writeOut(scanSummary(scanner) + "\n");
    if (!failure.isEmpty())
        throw cli::Failure(scanStoppedText(scanner.mode) + "\n" + failure);
    return scanner.cancelled() ? cli::ExitInterrupted : cli::ExitOk;
}

} // namespace

namespace cli {
const Command scanCommand = {"scan", "Walk a folder into a disk of the catalogue.", defineScan,
                             runScan};
} // namespace cli
