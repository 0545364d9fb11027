#pragma once

#include "catalogmodels.h"
#include "catalogsearch.h"
#include "panefold.h"
#include "playerstrip.h"
#include "trackgroups.h"
#include "tracklookup.h"

#include <QMainWindow>
#include <QPointer>
#include <QRandomGenerator>
#include <QSet>
#include <array>
#include <functional>
#include <memory>
#include <vector>

class CatalogueLoad;
class CopyJob;
class DirectoryList;
class DiskArrival;
class frmCredits;
class FocusMark;
class FileList;
class MediaPlayer;
class LocalWalk;
class ProgramState;
class QAction;
class QGroupBox;
class QLineEdit;
class QListView;
class QListWidget;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;
class SearchResultsModel;
class QModelIndex;
class SplitBarWidget;
class StatusPanels;
class TrackPaths;
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
    // Shows search result `row` in the tree and the track list; true when it is a track, now
    // selected in the track list.
    bool showResult(int row);
    // Enter on a result: a track is shown and played, a directory's tracks get the focus.
    void playResult(int row);
    // Down in the search text: the focus goes to the results, and the first is shown.
    void enterResults();
    // Places every control for the window's current size and bar positions.
    void layoutPanes();
    // The hidden options: "&Layered" asks for the window's opacity, "&Credits" opens and
    // closes the credits window.
    void layeredCommand();
    void creditsCommand();
    frmCredits* credits() const;
    // The window's inner area below the menu bar, in screen pixels; empty while minimized.
    QRect creditsArea() const;
    // Brings a bar that lies outside its pane back inside it, where it can be grabbed.
    void keepBarsReachable();

    // The play list's commands, as its menu runs them.
    void copyPlaylist();
    // Copies the play list into TargetDir, once the folder is chosen.
    void startCopy();
    void deleteTickedRows();
    // The Delete key in the play list: the selected rows go.
    void deleteSelectedRows();
    // "Save Play List…" and "Open Play List…": the play list as an .m3u8 file other players
    // read, and the tracks of such a file that the catalogue holds added to the play list.
    void savePlaylistFile();
    void openPlaylistFile();
    // Where the play list is kept between runs, in the program's data folder.
    QString keptPlaylistPath() const;
    void clearPlaylist();
    void addRandomSongs();
    bool isCopying() const;
    CopyJob* copyJob() const;
    // Local mode: "&Local" walks `localFolder` into the lists on a worker thread, the mode
    // changing once the walk is complete (Esc stops it); "&DB" loads the catalogue again.
    void switchLocal();
    bool isLocalMode() const;
    bool isReadingLocalFolder() const;
    // Records `strPath` and every folder below it, each after its subfolders.
    void NavigateTree(const QString& strPath);
    // Records the folder Dir1 shows with the MP3 files File1 lists.
    void addFiles();
    QString localFolder;

    // Plays track-list row `row` (0-based), or with "&Volume" on the whole track list from it;
    // with "&Winamp" on, hands the file or list to the external player instead. A track whose
    // disk is not in waits for the disk for `diskWaitMs`, and plays when it comes in, unless
    // another track is played, the player stopped or an option changed meanwhile.
    void playRow(int row);
    // Plays the play list from row `row` (0-based) on, each entry highlighted as it plays.
    void playSongRow(int row);
    int diskWaitMs = 60 * 1000;
    // "Add &Track": the selected track-list row, unless its key is already in the play list.
    void addTrack();
    // "Add &Volume": every track-list row.
    void addVolume();
    // Shows the play list's count and total playing time in status panels 2 and 3.
    void UpdateTrackduration();

    // The embedded player, made on first use unless one was given.
    MediaPlayer* mediaPlayer();
    void setMediaPlayer(std::unique_ptr<MediaPlayer> player);
    // Starts the external player, detached, with exactly these arguments.
    std::function<bool(const QString& program, const QStringList& arguments)> startDetached;

    // The left half: search panel over the tree and track list.
    QWidget* picLeft = nullptr;
    SplitBarWidget* picRight = nullptr;
    QListWidget* lstSongs = nullptr;
    PlayerStrip* MediaPlayer1 = nullptr;
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
    // Shown in the status bar while the play list is being copied.
    QProgressBar* copyProgress = nullptr;
    QPushButton* copyCancel = nullptr;

    // The frame that shows which control has the keyboard focus.
    FocusMark* focusMark = nullptr;

    CatalogTreeModel* treeModel = nullptr;
    TrackListModel* filesModel = nullptr;
    SearchResultsModel* resultsModel = nullptr;

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
    QAction* mnuSavePlaylist = nullptr;
    QAction* mnuOpenPlaylist = nullptr;
    // Delete in the play list.
    QAction* removeSelectedSongs = nullptr;
    QMenu* mnuPopup = nullptr;
    QAction* mnuTrack = nullptr;
    QAction* mnuAddVolume = nullptr;
    QAction* mnuLocal = nullptr;

    // The three splitters: the window's halves, search panel over lower panel, tree beside
    // track list.
    panefold::VSplit splitMain;
    panefold::HSplit splitLeft;
    panefold::VSplit splitLists;
    // 1-based: the track-list row last started, or the tree node last clicked.
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
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void buildSearchPanel();
    void buildMenus();
    void createSplitters();
    void connectBars();
    void connectExtras();
    void load();
    void restorePlacement();
    void fitOnScreen();
    void savePlacement();
    int selectedNode() const;
    void selectNode(int node);
    bool showTrackResult(qint32 trackIndex, const QString& text);
    void showDirResult(qint32 dirIndex);
    void connectCommands();
    void toggleWinamp();
    void toggleDrive();
    void openCataloger();
    bool chooseTargetDir();
    void setCopying(bool copying);
    void connectPlayList();
    void connectKeyboard();
    void appendSongs(const std::vector<TrackItem>& items);
    void restorePlaylist();
    void keepPlaylist();
    void keepPlaylistSoon();
    void connectPlayback();
    // Which list the embedded player plays from, and so follows.
    enum class PlayingList { Tracks, Songs };
    void playItems(const std::vector<TrackItem>& items, int row, PlayingList from);
    void waitForDisk(const std::vector<TrackItem>& items, int row, PlayingList from, qint32 diskId,
                     const QByteArray& file);
    void playWaitingTrack();
    void forgetWaitingTrack();
    void onNewStream();
    void onPlayStateChange(int oldState, int newState);
    void showPlayerProblem(const QString& text);
    bool playingListShown() const;
    void handToExternalPlayer(const QString& target);
    QString writeVolumeList(const std::vector<TrackItem>& items, int first, const TrackPaths& paths,
                            const QString& chosenFile, std::vector<int>& entryRows);
    void highlightSongRow(int row);
    QString writeListFile(const QList<QByteArray>& lines);
    void selectFileRow(int row, bool selected);
    bool showTagsResult(qint32 trackIndex, const QString& text);
    void startLocalWalk();
    void finishLocalWalk(CatalogLists lists);
    void showReplacedLists();
    void loadCatalogueAgain();
    bool tracksLoading() const;
    void followTrackLoading();
    void enableTrackCommands(bool enabled);
    void showLoadingProgress(int percent);
    void takeLoadedTracks(CatalogueLoad& load);
    void showSearchResults();

    ProgramState& m_state;
    QWidget* m_searchBody = nullptr; // frmSearch's inner area, below its caption
    std::shared_ptr<WidgetHost> m_mainHost;
    std::shared_ptr<WidgetHost> m_leftHost;
    std::shared_ptr<WidgetHost> m_listsHost;
    bool m_resultsAreTracks = true; // what the rows of lstResults name
    QPointer<frmCredits> m_credits;
    QRandomGenerator m_random;     // the random songs' draws, seeded when the window loads
    QPointer<CopyJob> m_copy;      // the copy under way, if any
    QTimer* m_keepTimer = nullptr; // keeps the play list once a change is over
    TrackLookup m_trackLookup;
    TrackGroups m_trackGroups;
    CatalogSearch m_search;
    std::unique_ptr<MediaPlayer> m_player;
    // What was handed to the embedded player: the list played from (track list or play list)
    // as it was then, the row started (1-based) and, when a play list was opened, each of its
    // entries' row (1-based).
    std::vector<TrackItem> m_playingItems;
    PlayingList m_playingFrom = PlayingList::Tracks;
    int m_playingRow = 0;
    int m_highlightedSong = 0; // the play-list row highlighted as playing (1-based), or 0
    std::vector<int> m_playingEntryRows;
    QSet<QString> m_problemsShown;
    bool m_problemInView = false; // since the player was last given something to play
    // The track chosen while its disk was not in: the track list of that moment and its row.
    DiskArrival* m_diskArrival = nullptr;
    std::vector<TrackItem> m_waitingItems;
    int m_waitingRow = 0;
    PlayingList m_waitingFrom = PlayingList::Tracks;
    bool m_resultsAreTags = false; // track rows found by their tags
    QString m_searchedText;
    // Asked for while the tracks were being loaded: answered once they are in.
    bool m_clickWaiting = false;
    bool m_searchWaiting = false;
    // Last, so that it is stopped and waited for before anything else goes.
    std::unique_ptr<LocalWalk> m_localWalk;
};
