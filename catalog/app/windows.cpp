#include "windows.h"

#include "cataloger.h"
#include "startup.h"
#include "stats.h"
#include "treeplayer.h"

#include <QAction>

Cataloger* Windows::cataloger() {
    if (!m_cataloger)
        m_cataloger = new Cataloger(m_state);
    return m_cataloger;
}

TreePlayer* Windows::player() {
    if (!m_player)
        m_player = new TreePlayer(m_state);
    return m_player;
}

TreePlayer* Windows::existingPlayer() const {
    return m_player;
}

void Windows::showPlayer() {
    TreePlayer* window = player();
    window->show();
    window->raise();
    window->activateWindow();
}

void Windows::showCataloger(bool playerEnabled) {
    Cataloger* window = cataloger();
    window->mnuPlayer->setEnabled(playerEnabled);
    window->show();
    window->raise();
    window->activateWindow();
}

Stats* Windows::stats() {
    if (!m_stats)
        m_stats = new Stats(m_state, player());
    return m_stats;
}

Stats* Windows::existingStats() const {
    return m_stats;
}

void Windows::showStats() {
    Stats* window = stats();
    window->show();
    window->raise();
    window->activateWindow();
}

void Windows::closeStats() {
    if (m_stats)
        m_stats->close();
}

// The cataloguing window, when the person went there meanwhile, stays with its own work.
void Windows::catalogueUnreadable() {
    closeStats();
    const bool playerOpen = m_player && m_player->isVisible();
    if (m_player) {
        m_state.QuitOnClose = false;
        m_player->close();
        m_player = nullptr; // a new window for the next catalogue: this one goes later
    }
    if (playerOpen)
        Startup(m_state).runWithAnotherCatalogue();
}
