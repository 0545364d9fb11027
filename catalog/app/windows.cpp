#include "windows.h"

#include "cataloger.h"

#include <QAction>

Cataloger* Windows::cataloger() {
    if (!m_cataloger)
        m_cataloger = new Cataloger(m_state);
    return m_cataloger;
}

Cataloger* Windows::existingCataloger() const {
    return m_cataloger;
}

void Windows::showPlayer() {
    // Until the player window exists, the cataloguing window stands in for it.
    showCataloger(false);
}

void Windows::showCataloger(bool playerEnabled) {
    Cataloger* window = cataloger();
    window->mnuPlayer->setEnabled(playerEnabled);
    window->show();
    window->raise();
    window->activateWindow();
}
