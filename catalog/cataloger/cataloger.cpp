#include "cataloger.h"

#include "catalogdb.h"
#include "cataloglists.h"
#include "cellwidth.h"
#include "columnfit.h"
#include "directorylist.h"
#include "diskscanner.h"
#include "drivelist.h"
#include "filelist.h"
#include "gridmodels.h"
#include "programstate.h"
#include "prompts.h"
#include "statuspanels.h"
#include "twips.h"

#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>

namespace {

constexpr double InitialWidthTwips = 9390;
constexpr double InitialHeightTwips = 8505;
constexpr double DirListHeightTwips = 1215;

const QStringList dirColumns = {"DirID", "DiskID", "DirName"};
const QStringList trackColumns = {"TrackID", "DirID",  "DiskID", "TrackName",
                                  "Title",   "Artist", "Album",  "Duration"};
const int DirNameColumn = 2;
const QString TypingRoom = QStringLiteral("MP3 Collection, Disk 12");
// Followed by Title, Artist and Album, the other texts.
const int TrackNameColumn = 3;

QTableView* makeGrid(QWidget* parent, QAbstractItemModel* model, bool editable) {
    auto* grid = new QTableView(parent);
    grid->setModel(model);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setAlternatingRowColors(true);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->verticalHeader()->setMinimumWidth(24);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->setEditTriggers(editable ? QAbstractItemView::DoubleClicked |
                                         QAbstractItemView::EditKeyPressed |
                                         QAbstractItemView::AnyKeyPressed
                                   : QAbstractItemView::NoEditTriggers);
    grid->setTabKeyNavigation(editable); // Tab moves between cells in the disks grid only
    grid->setWordWrap(false);
    return grid;
}

} // namespace

Cataloger::Cataloger(ProgramState& state, QWidget* parent) : QMainWindow(parent), m_state(state) {
    setWindowTitle("Cataloger");
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    buildMenus();
    resize(twipsToPixels(InitialWidthTwips, this), twipsToPixels(InitialHeightTwips, this) +
                                                       menuBar()->sizeHint().height() +
                                                       StatusBar1->sizeHint().height());
    load();
    watchVolumes();
    recogniseDrive();
}

Cataloger::~Cataloger() {
    // The grids are deleted one by one below; none may reach this window's filter meanwhile,
    // which would look at a grid already gone.
    for (QTableView* grid : {DBGrid1, DBGrid2, DBGrid3}) {
        grid->removeEventFilter(this);
        grid->viewport()->removeEventFilter(this);
    }
    // The models' queries go before the connection they run on.
    delete DBGrid1;
    delete DBGrid2;
    delete DBGrid3;
    delete Disks;
    delete Dirs;
    delete Tracks;
}

void Cataloger::buildControls() {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    Frame1 = new QFrame(central);
    Frame2 = new QFrame(central);
    Drive1 = new DriveList(Frame1);
    Dir1 = new DirectoryList(Frame1);
    File1 = new FileList("*.mp3", Frame1);
    File1->setFocusPolicy(Qt::NoFocus);

    Disks = new DiskGridModel(this);
    Dirs = new RecordSourceModel(dirColumns, this);
    Tracks = new RecordSourceModel(trackColumns, this);
    DBGrid1 = makeGrid(Frame2, Disks, true);
    DBGrid2 = makeGrid(Frame2, Dirs, false);
    DBGrid3 = makeGrid(Frame2, Tracks, false);
    for (QTableView* grid : {DBGrid1, DBGrid2, DBGrid3}) {
        grid->installEventFilter(this);
        grid->viewport()->installEventFilter(this);
    }

    StatusBar1 = new StatusPanels(1, this);
    setStatusBar(StatusBar1);
    scanProgress = new QProgressBar(StatusBar1);
    scanProgress->setFormat("%v of %m files (%p%)");
    scanProgress->setMinimumWidth(twipsToPixels(3600, this));
    scanProgress->hide();
    StatusBar1->addPermanentWidget(scanProgress);
    scanRate = new QLabel(StatusBar1);
    scanRate->hide();
    StatusBar1->addPermanentWidget(scanRate);
    cancelButton = new QPushButton("Cancel", StatusBar1);
    cancelButton->setToolTip("Stop the scan (Esc); the rows stored so far stay");
    cancelButton->hide();
    StatusBar1->addPermanentWidget(cancelButton);

    connect(Drive1, &DriveList::driveChanged, this, [this](const QString& drive) {
        // A drive that cannot be read leaves the list where it was.
        Dir1->setPath(DriveList::rootOf(drive));
    });
    connect(Dir1, &DirectoryList::pathChanged, File1, &FileList::setPath);
    // A click on a row's header selects its disk or directory as a click on a cell does.
    connect(DBGrid1, &QTableView::clicked, this, &Cataloger::disksGridClicked);
    connect(DBGrid1->verticalHeader(), &QHeaderView::sectionClicked, this,
            &Cataloger::disksGridClicked);
    connect(DBGrid2, &QTableView::clicked, this, &Cataloger::dirsGridClicked);
    connect(DBGrid2->verticalHeader(), &QHeaderView::sectionClicked, this,
            &Cataloger::dirsGridClicked);
    connect(Disks, &DiskGridModel::failed, this, &Cataloger::showError);
    connect(cancelButton, &QPushButton::clicked, this, &Cataloger::cancelScan);

    // Rows arriving can bring a scroll bar, which narrows the grid: widen the columns again.
    m_gridResize = new QTimer(this);
    m_gridResize->setSingleShot(true);
    m_gridResize->setInterval(0);
    connect(m_gridResize, &QTimer::timeout, this, &Cataloger::Resize_Grid);
    for (QAbstractItemModel* model :
         {static_cast<QAbstractItemModel*>(Disks), static_cast<QAbstractItemModel*>(Dirs),
          static_cast<QAbstractItemModel*>(Tracks)}) {
        connect(model, &QAbstractItemModel::modelReset, m_gridResize, qOverload<>(&QTimer::start));
        connect(model, &QAbstractItemModel::rowsInserted, m_gridResize,
                qOverload<>(&QTimer::start));
    }

    m_scanRefresh = new QTimer(this);
    m_scanRefresh->setInterval(500);
    connect(m_scanRefresh, &QTimer::timeout, this, [this] {
        Dirs->refresh();
        Tracks->refresh();
    });

    Drive1->setDrive(m_state.CdDrive.isEmpty() ? DriveList::systemDrive() : m_state.CdDrive);
    File1->setPath(Dir1->path());
}

void Cataloger::buildMenus() {
    mnuDB = menuBar()->addMenu("&DB Utils");
    mnuEmpty = mnuDB->addAction("&Empty DB", this, &Cataloger::emptyDatabase);
    mnuCompact = mnuDB->addAction("&Compact Database", this, &Cataloger::compactDatabase);
    mnuCatalog = menuBar()->addAction("Catalog &Disk", this, &Cataloger::catalogDisk);
    mnuPlayer = menuBar()->addAction("&Player", this, &Cataloger::switchToPlayer);
}

void Cataloger::load() {
    WindowFade(m_state, 0, 5);
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().topLeft());
    m_connection = std::make_unique<CatalogConnection>(m_state.DBPath, "cataloger");
    m_edits = std::make_unique<CatalogConnection>(m_state.DBPath, "cataloger-edits");
    if (!m_connection->isOpen())
        showError(m_connection->lastError());
    Disks->setDatabase(m_edits->db());
    Dirs->setDatabase(m_connection->db());
    Tracks->setDatabase(m_connection->db());
    Dirs->setRecordSource("Dirs");
    Tracks->setRecordSource("Tracks");
    refreshAll();
    m_state.QuitOnClose = true;
}

void Cataloger::bindDataControls() {
    m_connection->reopen();
    m_edits->reopen();
    Disks->setDatabase(m_edits->db());
    Dirs->setDatabase(m_connection->db());
    Tracks->setDatabase(m_connection->db());
}

void Cataloger::refreshAll() {
    refreshDisks();
    Dirs->refresh();
    Tracks->refresh();
    Resize_Grid();
}

// Like a data control moving to its first record, the refreshed grid makes its first row
// current, so the next scan has a disk without another click; `current`, while it is stored,
// stays current instead.
void Cataloger::refreshDisks(std::optional<qint64> current) {
    Disks->refresh();
    const int row = current ? std::max(Disks->rowOf(*current), 0) : 0;
    if (Disks->rowCount() > 0)
        DBGrid1->setCurrentIndex(Disks->index(row, DiskGridModel::DiskNameColumn));
}

void Cataloger::refreshAfterFailure(std::optional<qint64> diskId, const CatalogError& error) {
    Tracks->refresh();
    Dirs->refresh();
    refreshDisks(diskId);
    showError(catalogdb::plainMessage(m_state.DBPath, error));
}

void Cataloger::showError(const QString& message) {
    m_state.prompts.message(message, Prompts::Buttons::Ok, windowTitle());
}

void Cataloger::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    layoutControls();
}

// Left third: the browser lists stacked without gaps; right two thirds: three grids of equal
// height. Sizes that come out negative in a tiny window are skipped.
void Cataloger::layoutControls() {
    const QWidget* central = centralWidget();
    const double w = central->width();
    const int h = central->height();
    const int leftWidth = static_cast<int>(w / 3);
    Frame1->setGeometry(0, 0, leftWidth, h);
    Frame2->setGeometry(leftWidth, 0, static_cast<int>(w) - leftWidth, h);

    const int driveHeight = Drive1->sizeHint().height();
    const int dirHeight = twipsToPixels(DirListHeightTwips, this);
    Drive1->setGeometry(0, 0, leftWidth, driveHeight);
    Dir1->setGeometry(0, driveHeight, leftWidth, dirHeight);
    const int fileTop = driveHeight + dirHeight;
    if (h - fileTop >= 0)
        File1->setGeometry(0, fileTop, leftWidth, h - fileTop);

    const int gridHeight = Frame2->height() / 3;
    const int gridWidth = Frame2->width();
    DBGrid1->setGeometry(0, 0, gridWidth, gridHeight);
    DBGrid2->setGeometry(0, gridHeight, gridWidth, gridHeight);
    DBGrid3->setGeometry(0, 2 * gridHeight, gridWidth, gridHeight);
    Resize_Grid();
    // The grids lay out their viewports after this resize; widen again once they have.
    m_gridResize->start();
}

// Each column as wide as its contents within the grid's width, so Tab along a row never
// scrolls the names out of view; what is left goes to the column that closes each grid's
// row of names: the disks' Drive, the directories' DirName, the tracks' TrackName.
void Cataloger::Resize_Grid() {
    // A disk's name is typed into the new-row line: room for one of a fair length.
    columnfit::apply(DBGrid1, {DiskGridModel::DiskNameColumn, DiskGridModel::DriveColumn},
                     DiskGridModel::DriveColumn, cellWidthFor(DBGrid1, TypingRoom));
    columnfit::apply(DBGrid2, {DirNameColumn}, DirNameColumn);
    columnfit::apply(
        DBGrid3, {TrackNameColumn, TrackNameColumn + 1, TrackNameColumn + 2, TrackNameColumn + 3},
        TrackNameColumn);
}

void Cataloger::switchToPlayer() {
    // The player shows the catalogue as it is now, with the disks scanned since start-up. A
    // catalogue that cannot be read completely was reported: this window stays.
    if (!m_state.loadCatalogue())
        return;
    m_state.QuitOnClose = false;
    close();
    if (m_state.windows)
        m_state.windows->showPlayer();
}

void Cataloger::closeEvent(QCloseEvent* event) {
    if (isScanning()) {
        // The scan stops at its next step and the window closes then.
        m_closeAfterScan = true;
        cancelScan();
        event->ignore();
        return;
    }
    event->accept();
    WindowFade(m_state, 1, 255);
    waitForFade(m_state);
    EndIfQuitting(m_state);
}

void Cataloger::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && isScanning()) {
        cancelScan();
        return;
    }
    QMainWindow::keyPressEvent(event);
}
