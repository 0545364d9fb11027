#pragma once

#include <QString>

class ProgramState;

// The program's start: make sure a catalogue and a CD drive are known, then open the player
// window when the catalogue holds tracks, the cataloguing window when it holds none.
class Startup {
public:
    // `requested` is a catalogue named on the command line, used instead of the setting.
    explicit Startup(ProgramState& state, const QString& requested = {})
        : m_state(state), m_requested(requested) {}

    // False when the program ended during start-up (no catalogue or no drive chosen).
    bool run();
    // The start again after the catalogue was found unreadable: a catalogue is asked for.
    bool runWithAnotherCatalogue();

    // Makes DBPath name a usable catalogue, asking for one when the setting has none. A file
    // that is not a catalogue is reported and the question asked again. The setting keeps the
    // catalogue chosen, a server's without its password. False: none chosen.
    bool ChooseDatabase();
    // Mode 1 asks only when no drive is known; mode 2 always asks, in the drive-only layout.
    bool ChooseDrive(int mode);

private:
    void forgetCatalogue();

    ProgramState& m_state;
    QString m_requested;
};
