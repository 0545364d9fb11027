#pragma once

#include "diskscanner.h"
#include "scanprogress.h"
#include "volumeidentity.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>

class CatalogConnection;
class CatalogError;
class DirectoryList;
class DiskGridModel;
class DriveList;
class FileList;
class ProgramState;
class QAction;
class QFrame;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QTableView;
class QTimer;
class RecordSourceModel;
class StatusPanels;
class VolumeWatch;

// "Cataloger": scans disks into the catalogue and shows its three tables as grids, where disks
// are entered and disks, directories and tracks are deleted with their dependants.
class Cataloger : public QMainWindow {
    Q_OBJECT
public:
    explicit Cataloger(ProgramState& state, QWidget* parent = nullptr);
    ~Cataloger() override;

    // Scans `strPath` and everything below it into the disk selected in the disks grid.
    void NavigateTree(const QString& strPath, DiskScanner::Mode mode = DiskScanner::Mode::Add);
    // Catalogues the MP3 files of the directory list's current directory.
    void addFiles();
    bool isScanning() const { return m_scanner != nullptr; }
    void cancelScan();
    // How often, at most, a scan lets the window show its progress and handle its events.
    int scanEventsEveryMs = 40;

    // The menu commands, callable as the menu calls them.
    void catalogDisk();
    void compactDatabase();
    void emptyDatabase();
    void switchToPlayer();

    QFrame* Frame1 = nullptr;
    QFrame* Frame2 = nullptr;
    DriveList* Drive1 = nullptr;
    DirectoryList* Dir1 = nullptr;
    FileList* File1 = nullptr;
    QTableView* DBGrid1 = nullptr;
    QTableView* DBGrid2 = nullptr;
    QTableView* DBGrid3 = nullptr;
    DiskGridModel* Disks = nullptr;
    RecordSourceModel* Dirs = nullptr;
    RecordSourceModel* Tracks = nullptr;
    StatusPanels* StatusBar1 = nullptr;
    QMenu* mnuDB = nullptr;
    QAction* mnuEmpty = nullptr;
    QAction* mnuCompact = nullptr;
    QAction* mnuCatalog = nullptr;
    QAction* mnuPlayer = nullptr;
    QPushButton* cancelButton = nullptr;
    // Beside Cancel while a scan runs: files stored of the files listed, then rate and time left.
    QProgressBar* scanProgress = nullptr;
    QLabel* scanRate = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void load();
    void layoutControls();
    void Resize_Grid();
    void bindDataControls();
    void refreshAll();
    void refreshDisks(std::optional<qint64> current = std::nullopt);
    // After a failed command: every grid shows what is stored, and the disk whose rows the
    // other grids show stays the current one.
    void refreshAfterFailure(std::optional<qint64> diskId, const CatalogError& error);
    void showError(const QString& message);

    // Grid clicks and deletions. The disk of the disks grid's current row, if it has one.
    std::optional<qint64> currentDiskId() const;
    void disksGridClicked();
    void dirsGridClicked();
    void deleteCurrentDisk();
    void deleteCurrentDirectory();
    void deleteCurrentTrack();
    void handleGridRightClick(QTableView* grid);

    // Scanning.
    void setScanning(bool scanning);
    bool scanStep(const QString& directory);
    void showScanProgress(const QString& directory);
    using ScanWalk = std::function<void(DiskScanner&, const QString& path)>;
    // Runs `walk` into the disk selected in the disks grid, storing the volume's identity with
    // it. With Mode::Replace the walk takes the place of the disk's rows, or keeps them all.
    void runScan(const QString& start, const ScanWalk& walk,
                 DiskScanner::Mode mode = DiskScanner::Mode::Add);

    // Compaction.
    bool compactNow();

    // The mounted volumes.
    void watchVolumes();
    std::optional<VolumeIdentity> driveVolume() const;
    VolumeIdentity volumeAt(const QString& root) const;
    void rereadDrive(const QList<VolumeIdentity>& appeared, const QList<VolumeIdentity>& gone);
    void recogniseDrive();
    std::optional<DiskScanner::Mode> askHowToScan(qint64 diskId, const QString& start);

    ProgramState& m_state;
    // The directories and tracks grids read through one connection, fetching rows as they
    // are scrolled to, so a statement of theirs may stay open; a connection with an open
    // statement cannot write once another program has committed. The disks grid and every
    // change go through a connection of their own that never keeps a statement open.
    std::unique_ptr<CatalogConnection> m_connection;
    std::unique_ptr<CatalogConnection> m_edits;
    DiskScanner* m_scanner = nullptr; // the scan under way, if any
    QTimer* m_scanRefresh = nullptr;
    QTimer* m_gridResize = nullptr;
    bool m_cancelRequested = false;
    bool m_closeAfterScan = false;
    bool m_playerWasEnabled = true;
    QElapsedTimer m_sinceStatus;
    QElapsedTimer m_sinceEvents; // since the scan last let the window handle its events
    QElapsedTimer m_scanClock;
    ScanProgress m_progress;
    VolumeWatch* m_volumeWatch = nullptr;
    QString m_recognisedVolume; // the drive's volume last recognised, or tried
};
