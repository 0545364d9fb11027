#pragma once

#include "catalogdb.h"
#include "cataloglists.h"
#include "catalogueload.h"
#include "lookups.h"
#include "volumeidentity.h"
#include "volumewatch.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class Prompts;
class SettingsStore;

// Switches between the two main windows; the application provides it.
class WindowSwitch {
public:
    virtual ~WindowSwitch() = default;
    virtual void showPlayer() = 0;
    // Start-up opens the cataloguing window on an empty catalogue with "&Player" disabled.
    virtual void showCataloger(bool playerEnabled = true) = 0;
    // The statistics window, opened over the player window; closed when it is open.
    virtual void showStats() {}
    virtual void closeStats() {}
    // The tracks of the catalogue loaded behind the player could not be read, which was
    // reported: the windows go back to choosing a catalogue.
    virtual void catalogueUnreadable() {}
};

// The state the program's windows share, owned by the application.
class ProgramState {
public:
    ProgramState(Prompts& prompts, SettingsStore& settings);
    ~ProgramState();

    QString DBPath;
    QString CdDrive;
    QString WinampPath;
    QString TargetDir;
    bool QuitOnClose = false;
    bool FadeDone = false;
    // Mirrors the check mark of the player window's "&Drive" option.
    bool useCdDrive = false;
    CatalogLists lists;

    Prompts& prompts;
    SettingsStore& settings;
    WindowSwitch* windows = nullptr;

    // Where the program's temporary play lists live.
    QString tempPlaylistDir;
    // The program's data folder: the play list is kept there from one run to the next.
    QString dataDir;
    // The lists this program wrote there: its end removes these only, since another program
    // of the user may still be playing its own.
    QStringList tempPlayLists;
    // The volumes mounted now; the default asks the system.
    std::function<QList<VolumeIdentity>()> mountedVolumes;
    // How often a window waiting for a disk looks at the mounted volumes.
    int volumeWatchMs = VolumeWatch::DefaultIntervalMs;
    // The catalogued disks' volumes, where the catalogue knows them: a disk asked for is then
    // recognised by its volume, not merely by its files being there.
    std::vector<DiskVolume> knownVolumes;
    // Ends the program; the default quits the application's event loop.
    std::function<void()> endProgram;
    bool ended = false;

    // The shared query connection behind the lookups and list loads, opened on first use
    // when a file exists at DBPath.
    CatalogConnection* queryConnection();
    Lookups lookups();
    void closeQueryConnection();
    // Loads `lists` from the catalogue for the player, while another thread checks every page
    // of it. A catalogue that cannot be read completely or has a damaged page is reported (the
    // file, what is wrong, its backup), the lists are emptied rather than left part-loaded, and
    // false is returned.
    bool loadCatalogue();
    // The same in two steps, so that the player can show its tree before the tracks are in: on
    // return the disks, directories and volumes are loaded and the tracks are being read on a
    // thread of their own. False, reported as above, when the first part cannot be read.
    bool startLoadingCatalogue();
    // The load whose tracks are still being read, if any. When it ends, the tracks are moved
    // into `lists` and its tracksTaken() signal tells the windows; a catalogue whose tracks
    // cannot be read is reported, the lists emptied and the windows told catalogueUnreadable().
    CatalogueLoad* tracksLoading() const { return m_load.get(); }
    // Waits for the tracks of the load under way; false as loadCatalogue.
    bool finishLoadingCatalogue();
    // Checks every page of the catalogue without loading it; reports damage as loadCatalogue
    // does.
    bool checkCatalogue();

private:
    bool startLoading(CatalogueLoad::Prepare prepare);
    bool takeTracksFrom(CatalogueLoad& load);
    bool failLoading(const CatalogError& error);
    void takeLoadedTracks();

    std::unique_ptr<CatalogConnection> m_query;
    std::unique_ptr<CatalogueLoad> m_load;
};

// When QuitOnClose is set, deletes the temporary play lists this program wrote and ends it.
void EndIfQuitting(ProgramState& state);
// Windows appear and close without a fade: this only signals completion.
void WindowFade(ProgramState& state, int mode, int alpha);
// The unload handlers' wait for the fade.
void waitForFade(ProgramState& state);
// The default folder for temporary play lists: "catalog" in the user's runtime folder
// ($XDG_RUNTIME_DIR), else "catalog-<uid>" in the temporary folder, which is checked as it
// is used.
QString defaultTempPlaylistDir();
