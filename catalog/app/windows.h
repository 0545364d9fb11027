#pragma once

#include "programstate.h"

#include <QPointer>

class Cataloger;
class TreePlayer;

// The program's main windows, one instance each: created on first use, destroyed when closed.
class Windows : public WindowSwitch {
public:
    explicit Windows(ProgramState& state) : m_state(state) {}

    Cataloger* cataloger();
    TreePlayer* player();
    TreePlayer* existingPlayer() const;

    void showPlayer() override;
    void showCataloger(bool playerEnabled = true) override;

private:
    ProgramState& m_state;
    QPointer<Cataloger> m_cataloger;
    QPointer<TreePlayer> m_player;
};
