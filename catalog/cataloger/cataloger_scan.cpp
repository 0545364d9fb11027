// The cataloguing window's scan: "Catalog &Disk" walks the highlighted directory into the
// disk selected in the disks grid, with the window guarded while it runs.
#include "cataloger.h"

#include "catalogdb.h"
#include "directorylist.h"
#include "dirlisting.h"
#include "diskscanner.h"
#include "drivelist.h"
#include "gridmodels.h"
#include "programstate.h"
#include "prompts.h"
#include "scanprogress.h"
#include "statuspanels.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

void Cataloger::catalogDisk() {
    if (isScanning())
        return;
    if (!currentDiskId()) {
        m_state.prompts.message("Please select a Disk.");
        return;
    }
    // The scan walks only what the directory list shows; with its drive unplugged it shows
    // nothing, and nothing is scanned.
    const QString start = Dir1->highlightedPath();
    if (Dir1->path().isEmpty() || !QFileInfo(start).isDir()) {
        m_state.prompts.message(
            QStringLiteral("The drive %1 cannot be read. Insert its disk or choose another drive.")
                .arg(Drive1->drive()),
            Prompts::Buttons::Ok, windowTitle());
        return;
    }
    std::optional<DiskScanner::Mode> mode;
    try {
        mode = askHowToScan(*currentDiskId(), start);
    } catch (const CatalogError& e) {
        refreshAfterFailure(currentDiskId(), e);
        return;
    }
    if (!mode)
        return;
    Dirs->setRecordSource("Dirs");
    Tracks->setRecordSource("Tracks");
    Dirs->refresh();
    Tracks->refresh();
    NavigateTree(start, *mode);
    // A cancelled scan keeps its rows: the player is worth opening once any track is stored.
    if (!m_cancelRequested || Tracks->rowCount() > 0)
        mnuPlayer->setEnabled(true);
    if (m_closeAfterScan)
        close();
}

void Cataloger::NavigateTree(const QString& strPath, DiskScanner::Mode mode) {
    runScan(
        strPath, [](DiskScanner& scanner, const QString& path) { scanner.NavigateTree(path); },
        mode);
}

void Cataloger::addFiles() {
    runScan(Dir1->path(),
            [](DiskScanner& scanner, const QString& path) { scanner.addFiles(path); });
}

void Cataloger::cancelScan() {
    if (isScanning())
        m_cancelRequested = true;
}

// Directory names are stored below the disk's drive when `start` lies on it, else below the
// volume holding `start`: it may be a mount point below the directory the browser is in.
void Cataloger::runScan(const QString& start, const ScanWalk& walk, DiskScanner::Mode mode) {
    const std::optional<qint64> diskId = currentDiskId();
    if (!diskId || isScanning())
        return;
    const dirlisting::ScanStart from =
        dirlisting::scanStart(start, Disks->drive(DBGrid1->currentIndex().row()));
    std::optional<CatalogError> failure;
    m_cancelRequested = false;
    CatalogConnection connection(m_state.DBPath, "scan");
    try {
        if (!connection.isOpen())
            throw CatalogError(connection.lastError());
        DiskScanner scanner(connection.db(), *diskId, from.root);
        scanner.mode = mode;
        scanner.volume = volumeAt(from.root);
        scanner.onStep = [this](const QString& directory) { return scanStep(directory); };
        m_scanner = &scanner;
        setScanning(true);
        try {
            walk(scanner, from.path);
        } catch (const CatalogError& e) {
            failure = e;
        }
        StatusBar1->setPanelText(1, scanSummary(scanner));
    } catch (const CatalogError& e) {
        failure = e;
    }
    m_scanner = nullptr;
    setScanning(false);
    Dirs->refresh();
    Tracks->refresh();
    Resize_Grid();
    if (failure)
        showError(scanStoppedText(mode) + "\n" + catalogdb::plainMessage(m_state.DBPath, *failure));
}

// Between directory entries: show progress, keep the window responsive, and stop when the
// person asked to. The window is brought up to date 25 times a second: doing it at every step
// only paints what nobody sees, and took a third of a fast scan's time.
bool Cataloger::scanStep(const QString& directory) {
    if (m_sinceEvents.isValid() && m_sinceEvents.elapsed() < scanEventsEveryMs)
        return !m_cancelRequested;
    m_sinceEvents.restart();
    if (m_scanner)
        showScanProgress(directory);
    QApplication::processEvents();
    return !m_cancelRequested;
}

// The bar follows every step shown; the texts change at most ten times a second. Until the walk has
// listed its files the bar only shows that it is busy.
void Cataloger::showScanProgress(const QString& directory) {
    m_progress.update(m_scanner->counts().files, m_scanner->filesListed(), m_scanClock.elapsed());
    if (m_progress.total() > 0) {
        scanProgress->setMaximum(m_progress.total());
        scanProgress->setValue(m_progress.done());
    }
    if (m_sinceStatus.isValid() && m_sinceStatus.elapsed() < 100)
        return;
    StatusBar1->setPanelText(1, (m_progress.total() > 0 ? "Scanning " : "Listing ") +
                                    QDir::toNativeSeparators(directory));
    scanRate->setText(m_progress.rateText());
    scanRate->setVisible(!scanRate->text().isEmpty());
    m_sinceStatus.restart();
}

void Cataloger::setScanning(bool scanning) {
    if (scanning)
        m_playerWasEnabled = mnuPlayer->isEnabled();
    mnuDB->menuAction()->setEnabled(!scanning);
    mnuCatalog->setEnabled(!scanning);
    mnuPlayer->setEnabled(!scanning && m_playerWasEnabled);
    const QList<QWidget*> guarded = {Drive1, Dir1, DBGrid1, DBGrid2, DBGrid3};
    for (QWidget* widget : guarded)
        widget->setEnabled(!scanning);
    cancelButton->setVisible(scanning);
    scanProgress->setVisible(scanning);
    scanRate->setVisible(false);
    if (scanning) {
        m_progress = ScanProgress();
        m_scanClock.start();
        scanProgress->setRange(0, 0);
        m_sinceStatus.invalidate();
        m_sinceEvents.invalidate();
        m_scanRefresh->start();
    } else {
        m_scanRefresh->stop();
    }
}
