#pragma once

#include "programstate.h"

#include <QPointer>

class Cataloger;
class Stats;
class TreePlayer;

// The program's main windows, one instance each: created on first use, destroyed when closed.
class Windows : public WindowSwitch {
public:
    explicit Windows(ProgramState& state) : m_state(state) {}

    Cataloger* cataloger();
    TreePlayer* player();
    TreePlayer* existingPlayer() const;
    Stats* stats();
    Stats* existingStats() const;

    void showPlayer() override;
    void showCataloger(bool playerEnabled = true) override;
    void showStats() override;
    void closeStats() override;
    void catalogueUnreadable() override;

private:
    ProgramState& m_state;
    QPointer<Cataloger> m_cataloger;
    QPointer<TreePlayer> m_player;
    QPointer<Stats> m_stats;
};
