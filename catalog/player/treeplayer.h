#pragma once

#include "panefold.h"

#include <QMainWindow>
#include <array>
#include <memory>
#include <vector>

class CatalogTreeModel;
class CatalogTreeView;
class DirectoryList;
class FileList;
class ProgramState;
class QAction;
class QGroupBox;
class QLineEdit;
class QListView;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class QStringListModel;
class SplitBarWidget;
class StatusPanels;
class TrackListModel;
class WidgetHost;

// "Player": the catalogue as a tree of disks and directories, the tracks of the chosen node, a
// search panel, the play list and the media player, in panes divided by three split bars.
// It works on the in-memory lists of ProgramState and never writes the catalogue.
class TreePlayer : public QMainWindow {
    Q_OBJECT
public:
    explicit TreePlayer(ProgramState& state, QWidget* parent = nullptr);
    ~TreePlayer() override;

    // Rebuilds trDirs from the in-memory disk and directory lists.
    void FillCatalogTree();
    // Lists the tracks of the selected disk or directory in lstFiles.
    void Tree_Click();
    // Lists the tracks or directories whose names contain txtSearch's text, or the tracks
    // whose title, artist or album does.
    void runSearch();
    // Shows search result `row` in the tree and the track list.
    void showResult(int row);
    // Places every control for the window's current size and bar positions.
    void layoutPanes();

    // The left half: search panel over the tree and track list.
    QWidget* picLeft = nullptr;
    SplitBarWidget* picRight = nullptr;
    QListWidget* lstSongs = nullptr;
    QWidget* MediaPlayer1 = nullptr;
    StatusPanels* StatusBar1 = nullptr;
    DirectoryList* Dir1 = nullptr;
    FileList* File1 = nullptr;
    SplitBarWidget* picLeftSplit = nullptr;
    QGroupBox* frmSearch = nullptr;
    QWidget* frmSrchOpts = nullptr;
    std::array<QRadioButton*, 3> optSearch{}; // "Tracks", "Directories", "Tags"
    QLineEdit* txtSearch = nullptr;
    QPushButton* btnSearch = nullptr;
    QListView* lstResults = nullptr;
    QWidget* picFrame = nullptr;
    SplitBarWidget* picSplitter = nullptr;
    CatalogTreeView* trDirs = nullptr;
    QListView* lstFiles = nullptr;

    CatalogTreeModel* treeModel = nullptr;
    TrackListModel* filesModel = nullptr;
    QStringListModel* resultsModel = nullptr;

    QMenu* mnuOptions = nullptr;
    QAction* mnuWinamp = nullptr;
    QAction* mnuVolume = nullptr;
    QAction* mnuDrive = nullptr;
    QAction* mnuLayered = nullptr;
    QAction* mnuCredits = nullptr;
    QMenu* mnuWindows = nullptr;
    QAction* mnuStats = nullptr;
    QAction* mnuCataloger = nullptr;
    // Right-button menus of the play list and the track list; never on the menu bar.
    QMenu* mnuPlaylist1 = nullptr;
    QAction* mnuCopy = nullptr;
    QAction* mnuDelete = nullptr;
    QAction* mnuClear = nullptr;
    QAction* mnuRandom = nullptr;
    QMenu* mnuPopup = nullptr;
    QAction* mnuTrack = nullptr;
    QAction* mnuAddVolume = nullptr;
    QAction* mnuLocal = nullptr;

    // The three splitters: the window's halves, search panel over lower panel, tree beside
    // track list.
    panefold::VSplit splitMain;
    panefold::HSplit splitLeft;
    panefold::VSplit splitLists;
    // 1-based collection index of the tree node last clicked.
    qint32 playIndex = 0;
    // For each row of lstResults, its record's index in TrackList or DirList.
    std::vector<qint32> resultIndex;

    // The hosts' current pointer codes, as the splitters set them.
    std::int16_t mainPointer() const;
    std::int16_t leftPointer() const;
    std::int16_t listsPointer() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildSearchPanel();
    void buildMenus();
    void createSplitters();
    void connectBars();
    void load();
    void restorePlacement();
    void savePlacement();
    int selectedNode() const;
    void selectNode(int node);
    void showTrackResult(qint32 trackIndex, const QString& text);
    void showDirResult(qint32 dirIndex);
    void showTagsResult(qint32 trackIndex, const QString& text);

    ProgramState& m_state;
    QWidget* m_searchBody = nullptr; // frmSearch's inner area, below its caption
    std::shared_ptr<WidgetHost> m_mainHost;
    std::shared_ptr<WidgetHost> m_leftHost;
    std::shared_ptr<WidgetHost> m_listsHost;
    bool m_resultsAreTracks = true; // what the rows of lstResults name
    bool m_resultsAreTags = false;  // track rows found by their tags
};
