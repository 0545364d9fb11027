#include "treeplayer.h"

#include "catalogmodels.h"
#include "directorylist.h"
#include "filelist.h"
#include "focusmark.h"
#include "localwalk.h"
#include "mediaplayer.h"
#include "paneadapters.h"
#include "playerstrip.h"
#include "programstate.h"
#include "searchresultsmodel.h"
#include "settingsstore.h"
#include "statuspanels.h"
#include "twips.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <algorithm>

namespace {

// Designed geometry, in twips.
constexpr double DesignedWidth = 9600;
constexpr double DesignedHeight = 7200;
constexpr double DesignedMainBar = 4800;
constexpr double DesignedListsBar = 2400;
constexpr double DesignedSearchBar = 3000;

template <typename W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QListView* makeList(QWidget* parent, QAbstractItemModel* model, const char* name) {
    auto* list = named(new QListView(parent), name);
    list->setModel(model);
    list->setUniformItemSizes(true); // a search can list every track of the catalogue
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

// A setting converted to a number of twips; nothing when the text is not a number.
std::optional<double> twipsSetting(const SettingsStore& settings, const QString& key,
                                   const QString& fallback = {}) {
    QString text = settings.get(key);
    if (text.isEmpty())
        text = fallback;
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

} // namespace

TreePlayer::TreePlayer(ProgramState& state, QWidget* parent)
    : QMainWindow(parent), m_state(state), m_trackLookup(state.lists.tracks),
      m_trackGroups(state.lists.tracks), m_search(state.lists.tracks, state.lists.dirs) {
    setWindowTitle("Player");
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    buildMenus();
    createSplitters();
    connectBars();
    connectExtras();
    connectCommands();
    connectPlayList();
    connectPlayback();
    connectKeyboard();
    load();
}

// The children go after this part of the window: what they tell on their way out (the play
// list emptied, the focus leaving) must not reach it.
TreePlayer::~TreePlayer() {
    lstSongs->model()->disconnect(this);
    delete focusMark;
}

void TreePlayer::buildControls() {
    auto* inner = named(new QWidget(this), "inner");
    setCentralWidget(inner);

    picLeft = named(new QWidget(inner), "picLeft");
    picRight = named(new SplitBarWidget(Qt::Vertical, inner), "picRight");
    lstSongs = named(new QListWidget(inner), "lstSongs");
    lstSongs->setUniformItemSizes(true);
    MediaPlayer1 = named(new PlayerStrip(inner), "MediaPlayer1");
    MediaPlayer1->setFrameShape(QFrame::StyledPanel);
    MediaPlayer1->resize(MediaPlayer1->width(), MediaPlayer1->sizeHint().height());

    // The status bar docks below the inner area, so the panes never run beneath it.
    StatusBar1 = named(new StatusPanels(3, this), "StatusBar1");
    setStatusBar(StatusBar1);

    // The local folder walk's browser lists; never shown.
    Dir1 = named(new DirectoryList(inner), "Dir1");
    File1 = named(new FileList("*.mp3", inner), "File1");
    Dir1->hide();
    File1->hide();

    picLeftSplit = named(new SplitBarWidget(Qt::Horizontal, picLeft), "picLeftSplit");
    frmSearch = named(new QGroupBox("Search", picLeft), "frmSearch");
    // Some styles draw the caption flush with the pane's edge; indent it inside a light frame.
    frmSearch->setStyleSheet("QGroupBox#frmSearch { border: 1px solid palette(mid); "
                             "border-radius: 3px; margin-top: 0.6em; padding-top: 0.5em; }"
                             "QGroupBox#frmSearch::title { subcontrol-origin: margin; left: 8px; "
                             "padding: 0 3px; }");
    picFrame = named(new QWidget(picLeft), "picFrame");
    picSplitter = named(new SplitBarWidget(Qt::Vertical, picFrame), "picSplitter");

    treeModel = new CatalogTreeModel(this);
    trDirs = named(new CatalogTreeView(picFrame), "trDirs");
    trDirs->setModel(treeModel);
    filesModel = new TrackListModel(this);
    lstFiles = makeList(picFrame, filesModel, "lstFiles");

    buildSearchPanel();

    // The bars lie over the edges of their panes.
    picRight->raise();
    picLeftSplit->raise();
    picSplitter->raise();

    WidgetControl(picRight, picRight->reach()).setLeft(DesignedMainBar);
    WidgetControl(picSplitter, picSplitter->reach()).setLeft(DesignedListsBar);
    WidgetControl(picLeftSplit, picLeftSplit->reach()).setTop(DesignedSearchBar);

    for (QWidget* pane : {static_cast<QWidget*>(frmSearch), picFrame, static_cast<QWidget*>(trDirs),
                          static_cast<QWidget*>(lstFiles), static_cast<QWidget*>(lstSongs),
                          static_cast<QWidget*>(lstResults)})
        pane->installEventFilter(this);

    connect(trDirs, &CatalogTreeView::buttonReleased, this, &TreePlayer::Tree_Click);
}

void TreePlayer::buildSearchPanel() {
    m_searchBody = named(new QWidget(frmSearch), "searchBody");
    frmSrchOpts = named(new QWidget(m_searchBody), "frmSrchOpts");
    optSearch[0] = named(new QRadioButton("Tracks", frmSrchOpts), "optSearch0");
    optSearch[1] = named(new QRadioButton("Directories", frmSrchOpts), "optSearch1");
    optSearch[2] = named(new QRadioButton("Tags", frmSrchOpts), "optSearch2");
    optSearch[0]->setChecked(true);
    txtSearch = named(new QLineEdit(frmSrchOpts), "txtSearch");
    txtSearch->setClearButtonEnabled(true);
    btnSearch = named(new QPushButton("&Search", frmSrchOpts), "btnSearch");
    btnSearch->setAutoDefault(false);
    resultsModel = new SearchResultsModel(this);
    lstResults = makeList(m_searchBody, resultsModel, "lstResults");

    // Designed sizes: the option buttons leave a little room before the search text, and the
    // text and the button share one height.
    const int optionWidth =
        std::max({optSearch[0]->sizeHint().width(), optSearch[1]->sizeHint().width(),
                  optSearch[2]->sizeHint().width()}) +
        8;
    for (QRadioButton* option : optSearch)
        option->resize(optionWidth, option->sizeHint().height() + 2);
    const int rowHeight =
        std::max(txtSearch->sizeHint().height(), btnSearch->sizeHint().height() - 4);
    txtSearch->resize(txtSearch->width(), rowHeight);
    btnSearch->resize(btnSearch->sizeHint().width() + 8, rowHeight);

    connect(btnSearch, &QPushButton::clicked, this, &TreePlayer::runSearch);
    connect(txtSearch, &QLineEdit::returnPressed, this, &TreePlayer::runSearch);
    for (QRadioButton* option : optSearch)
        connect(option, &QRadioButton::clicked, this, [this] {
            if (!txtSearch->text().isEmpty())
                runSearch();
        });
    connect(lstResults, &QListView::clicked, this,
            [this](const QModelIndex& index) { showResult(index.row()); });
    // Moving through the results with the keys shows each one as a click does; a click's own
    // press also makes its row current, and the click shows it.
    connect(lstResults->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (QGuiApplication::mouseButtons() == Qt::NoButton)
                    showResult(current.row());
            });
    connect(lstResults, &QListView::activated, this,
            [this](const QModelIndex& index) { playResult(index.row()); });
}

void TreePlayer::buildMenus() {
    // The commands behind these items come with playback, the play list and the other windows.
    mnuOptions = named(menuBar()->addMenu("&Options"), "mnuOptions");
    mnuWinamp = named(mnuOptions->addAction("&Winamp"), "mnuWinamp");
    mnuVolume = named(mnuOptions->addAction("&Volume"), "mnuVolume");
    mnuDrive = named(mnuOptions->addAction("&Drive"), "mnuDrive");
    mnuLayered = named(mnuOptions->addAction("&Layered"), "mnuLayered");
    mnuCredits = named(mnuOptions->addAction("&Credits"), "mnuCredits");
    for (QAction* option : {mnuWinamp, mnuVolume, mnuDrive})
        option->setCheckable(true);
    mnuLayered->setVisible(false);
    mnuCredits->setVisible(false);

    mnuWindows = named(menuBar()->addMenu("&Windows"), "mnuWindows");
    mnuStats = named(mnuWindows->addAction("S&tats"), "mnuStats");
    mnuCataloger = named(mnuWindows->addAction("&Cataloger"), "mnuCataloger");

    mnuPlaylist1 = named(new QMenu("&Playlist", this), "mnuPlaylist1");
    mnuCopy = named(mnuPlaylist1->addAction("&Copy"), "mnuCopy");
    mnuDelete = named(mnuPlaylist1->addAction("&Delete"), "mnuDelete");
    mnuClear = named(mnuPlaylist1->addAction("&Clear"), "mnuClear");
    mnuRandom = named(mnuPlaylist1->addAction("&Random"), "mnuRandom");
    mnuPlaylist1->addSeparator();
    mnuSavePlaylist = named(mnuPlaylist1->addAction("Save Play List…"), "mnuSavePlaylist");
    mnuOpenPlaylist = named(mnuPlaylist1->addAction("Open Play List…"), "mnuOpenPlaylist");

    mnuPopup = named(new QMenu("&PopUp", this), "mnuPopup");
    mnuTrack = named(mnuPopup->addAction("Add &Track"), "mnuTrack");
    mnuAddVolume = named(mnuPopup->addAction("Add &Volume"), "mnuAddVolume");
    mnuLocal = named(mnuPopup->addAction("&Local"), "mnuLocal");
    mnuLocal->setVisible(false);

    // The lookups read the drive option from the program state, which follows the check mark.
    m_state.useCdDrive = mnuDrive->isChecked();
    connect(mnuDrive, &QAction::toggled, this, [this](bool on) { m_state.useCdDrive = on; });
}

void TreePlayer::load() {
    restorePlacement();
    m_state.QuitOnClose = true;
    FillCatalogTree();
    followTrackLoading();
    WindowFade(m_state, 0, 5);
    layoutPanes();
    keepBarsReachable();
}

// Placement and bars from the seven settings, in twips. Each value that is not a number (or,
// for a size, is negative) leaves its property as designed; the others still apply.
void TreePlayer::restorePlacement() {
    const SettingsStore& settings = m_state.settings;
    WidgetControl window(this);
    window.setWidth(DesignedWidth);
    window.setHeight(DesignedHeight);

    QRect screenRect(0, 0, 1024, 768);
    if (const QScreen* screen = this->screen())
        screenRect = screen->geometry();
    const QString halfWidth = QString::number(pixelsToTwips(screenRect.width(), this) / 2);
    const QString halfHeight = QString::number(pixelsToTwips(screenRect.height(), this) / 2);

    if (const auto top = twipsSetting(settings, "Top", "0"))
        window.setTop(*top);
    if (const auto left = twipsSetting(settings, "Left", "0"))
        window.setLeft(*left);
    if (const auto width = twipsSetting(settings, "Width", halfWidth))
        window.setWidth(*width);
    if (const auto height = twipsSetting(settings, "Height", halfHeight))
        window.setHeight(*height);
    fitOnScreen();

    // The inner area takes its size from the window only once the window's layout has run.
    if (QLayout* frame = layout())
        frame->activate();

    WidgetControl mainBar(picRight, picRight->reach());
    const QString halfInner = QString::number(m_mainHost->scaleWidth() / 2);
    if (const auto one = twipsSetting(settings, "One", halfInner))
        mainBar.setLeft(*one);
    if (const auto two = twipsSetting(settings, "Two", QString::number(mainBar.left() / 2)))
        WidgetControl(picSplitter, picSplitter->reach()).setLeft(*two);
    if (const auto three = twipsSetting(settings, "Three"))
        WidgetControl(picLeftSplit, picLeftSplit->reach()).setTop(*three);
}

// A window placed off every screen (settings from another desktop, or edited by hand) comes
// back onto the screen it overlaps most, and one larger than that screen is made to fit it.
void TreePlayer::fitOnScreen() {
    const QRect placed(pos(), size());
    QScreen* best = screen();
    qint64 bestArea = 0;
    for (QScreen* candidate : QGuiApplication::screens()) {
        const QRect common = candidate->availableGeometry() & placed;
        const qint64 area = qint64(common.width()) * common.height();
        if (area > bestArea) {
            best = candidate;
            bestArea = area;
        }
    }
    if (!best)
        return;
    const QRect room = best->availableGeometry();
    const QSize fitted = size().boundedTo(room.size());
    resize(fitted);
    move(std::clamp(x(), room.left(), room.right() + 1 - fitted.width()),
         std::clamp(y(), room.top(), room.bottom() + 1 - fitted.height()));
}

void TreePlayer::savePlacement() {
    SettingsStore& settings = m_state.settings;
    const WidgetControl window(this);
    settings.set("Top", QString::number(window.top()));
    settings.set("Left", QString::number(window.left()));
    settings.set("Width", QString::number(window.width()));
    settings.set("Height", QString::number(window.height()));
    settings.set("One", QString::number(WidgetControl(picRight, picRight->reach()).left()));
    settings.set("Two", QString::number(WidgetControl(picSplitter, picSplitter->reach()).left()));
    settings.set("Three",
                 QString::number(WidgetControl(picLeftSplit, picLeftSplit->reach()).top()));
}

void TreePlayer::closeEvent(QCloseEvent* event) {
    savePlacement();
    keepPlaylist();
    WindowFade(m_state, 1, 255);
    waitForFade(m_state);
    event->accept();
    EndIfQuitting(m_state);
}

void TreePlayer::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    layoutPanes();
}

bool TreePlayer::eventFilter(QObject* watched, QEvent* event) {
    // Leaving a bar for a pane gives the pointer back.
    if (event->type() == QEvent::Enter) {
        if (watched == frmSearch || watched == picFrame) {
            splitLeft.SetPointer(panefold::PointerDefault);
        } else {
            splitLists.SetPointer(panefold::PointerDefault);
            splitLeft.SetPointer(panefold::PointerDefault);
            splitMain.SetPointer(panefold::PointerDefault);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

std::int16_t TreePlayer::mainPointer() const {
    return m_mainHost->mousePointer();
}

std::int16_t TreePlayer::leftPointer() const {
    return m_leftHost->mousePointer();
}

std::int16_t TreePlayer::listsPointer() const {
    return m_listsHost->mousePointer();
}
