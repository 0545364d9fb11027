// The cataloguing window's "&DB Utils": compacting and emptying the catalogue.
#include "cataloger.h"

#include "catalogdb.h"
#include "catalogedits.h"
#include "catalogengine.h"
#include "gridmodels.h"
#include "programstate.h"
#include "prompts.h"
#include "statuspanels.h"

void Cataloger::compactDatabase() {
    compactNow();
}

// The grids let go of the catalogue while it is rewritten and are bound again afterwards,
// with the record sources they had, whether or not the compaction succeeded.
bool Cataloger::compactNow() {
    if (isScanning())
        return false;
    // On a server there is no file to rewrite: the person is told what happens instead.
    if (const QString words = catalogengine::forLocation(m_state.DBPath).compactionWords();
        !words.isEmpty())
        m_state.prompts.message(words, Prompts::Buttons::Ok, "Compact Database");
    StatusBar1->setPanelText(1, "Compacting Database...");
    StatusBar1->repaint();
    Disks->unbind();
    Dirs->unbind();
    Tracks->unbind();
    m_connection->close();
    m_edits->close();
    m_state.closeQueryConnection();

    const QString failure = catalogengine::forLocation(m_state.DBPath).compact(m_state.DBPath);

    bindDataControls();
    refreshAll();
    if (!failure.isEmpty()) {
        StatusBar1->setPanelText(1, "Compacting failed.");
        showError(failure);
        return false;
    }
    StatusBar1->setPanelText(1, "Done Compacting.");
    return true;
}

void Cataloger::emptyDatabase() {
    if (isScanning())
        return;
    if (m_state.prompts.message("Are you sure you want to Empty the DB?", Prompts::Buttons::YesNo,
                                "Emptying DB...", Prompts::Answer::No) != Prompts::Answer::Yes)
        return;
    try {
        catalogedits::emptyCatalogue(m_edits->db());
    } catch (const CatalogError& e) {
        refreshAfterFailure(currentDiskId(), e);
        return;
    }
    Tracks->refresh();
    Dirs->refresh();
    refreshDisks();
    compactNow();
}
