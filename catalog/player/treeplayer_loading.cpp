// The tracks of a large catalogue arrive after the window shows its tree: a click or a search
// made meanwhile answers once they are all in, never with a part of them.

#include "catalogueload.h"
#include "programstate.h"
#include "statuspanels.h"
#include "treeplayer.h"

#include <QAction>
#include <utility>

bool TreePlayer::tracksLoading() const {
    return m_state.tracksLoading() != nullptr;
}

void TreePlayer::followTrackLoading() {
    CatalogueLoad* load = m_state.tracksLoading();
    if (!load) {
        restorePlaylist();
        return;
    }
    enableTrackCommands(false);
    UpdateTrackduration();
    showLoadingProgress(0);
    connect(load, &CatalogueLoad::progressed, this, &TreePlayer::showLoadingProgress);
    connect(load, &CatalogueLoad::tracksTaken, this, [this, load] { takeLoadedTracks(*load); });
}

// These commands read the tracks, or would replace the lists the tracks are loaded into.
void TreePlayer::enableTrackCommands(bool enabled) {
    for (QAction* command : {mnuRandom, mnuLocal, mnuOpenPlaylist})
        command->setEnabled(enabled);
}

void TreePlayer::showLoadingProgress(int percent) {
    StatusBar1->setPanelText(1, tr("Loading tracks… %1%").arg(percent));
}

void TreePlayer::takeLoadedTracks(CatalogueLoad& load) {
    m_trackGroups.adopt(std::move(load.groups()));
    m_search.adoptTracks(std::move(load.search()));
    enableTrackCommands(true);
    StatusBar1->setPanelText(1, QString());
    if (std::exchange(m_clickWaiting, false))
        Tree_Click();
    if (std::exchange(m_searchWaiting, false))
        showSearchResults();
    restorePlaylist();
}
