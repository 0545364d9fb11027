#include "startup.h"

#include "catalogdb.h"
#include "catalogengine.h"
#include "cataloglists.h"
#include "dlgfrm.h"
#include "programstate.h"
#include "prompts.h"
#include "settingsstore.h"

#include <utility>

namespace {

void endProgram(ProgramState& state, const QString& message) {
    state.prompts.message(message);
    state.ended = true;
    if (state.endProgram)
        state.endProgram();
}

} // namespace

bool Startup::run() {
    for (;;) {
        if (!ChooseDatabase())
            return false;
        m_state.CdDrive = m_state.settings.get("Drive");
        if (!ChooseDrive(1))
            return false;
        QString error;
        const qint64 tracks = catalogdb::countTracks(m_state.DBPath, &error);
        if (tracks < 0) {
            // The catalogue went bad between choosing and probing: choose again.
            m_state.prompts.message(error);
            forgetCatalogue();
            continue;
        }
        // A damaged catalogue was reported: choose another (its backup, perhaps). The player
        // shows its tree while the tracks are read.
        const bool toPlayer = tracks != 0 && !m_state.DBPath.isEmpty();
        if (!(toPlayer ? m_state.startLoadingCatalogue() : m_state.checkCatalogue())) {
            forgetCatalogue();
            continue;
        }
        if (toPlayer)
            m_state.windows->showPlayer();
        else
            m_state.windows->showCataloger(false);
        return true;
    }
}

bool Startup::runWithAnotherCatalogue() {
    forgetCatalogue();
    return run();
}

void Startup::forgetCatalogue() {
    m_state.DBPath.clear();
    m_state.settings.set("DB", QString());
}

bool Startup::ChooseDatabase() {
    if (!m_state.DBPath.isEmpty())
        return true;
    const bool requested = !m_requested.isEmpty();
    m_state.DBPath = requested ? std::exchange(m_requested, {}) : m_state.settings.get("DB");
    for (;;) {
        // A file named on the command line may be a new one.
        if (m_state.DBPath.isEmpty() || (!requested && !catalogengine::mayExist(m_state.DBPath)))
            m_state.DBPath = m_state.prompts.openFile("Show me the Database...", "*.mdb", "*.mdb");
        if (m_state.DBPath.isEmpty()) {
            endProgram(m_state, "No DB specified.");
            return false;
        }
        // Its pages are checked as it is loaded.
        const catalogdb::Preparation prepared =
            catalogdb::prepare(m_state.DBPath, catalogdb::PageCheck::Later);
        if (prepared.ok)
            break;
        m_state.prompts.message(prepared.error +
                                    "\n\nPlease choose a catalogue file, or name a new one.",
                                Prompts::Buttons::Ok, "Show me the Database...");
        m_state.DBPath.clear();
    }
    m_state.settings.set("DB", catalogengine::storable(m_state.DBPath));
    return true;
}

bool Startup::ChooseDrive(int mode) {
    if (!(mode == 2 || (mode == 1 && m_state.CdDrive.isEmpty())))
        return true;
    {
        DlgFrm dialog(m_state);
        if (mode == 2)
            dialog.setLayoutMode(DlgFrm::Layout::DriveOnly);
        dialog.exec();
    }
    if (m_state.CdDrive.isEmpty()) {
        endProgram(m_state, "No Drive specified.");
        return false;
    }
    m_state.settings.set("Drive", m_state.CdDrive);
    return true;
}
