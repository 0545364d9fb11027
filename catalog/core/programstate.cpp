#include "programstate.h"

#include "catalogengine.h"
#include "catalogueload.h"
#include "mountedvolumes.h"
#include "prompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <unistd.h>

ProgramState::ProgramState(Prompts& prompts_, SettingsStore& settings_)
    : prompts(prompts_), settings(settings_), tempPlaylistDir(defaultTempPlaylistDir()),
      dataDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)),
      mountedVolumes(mountedvolumes::list), endProgram([] { QCoreApplication::exit(0); }) {}

ProgramState::~ProgramState() = default;

CatalogConnection* ProgramState::queryConnection() {
    if (m_query && m_query->path() != DBPath)
        m_query.reset();
    if (!m_query) {
        if (DBPath.isEmpty() || !catalogengine::mayExist(DBPath))
            return nullptr;
        m_query = std::make_unique<CatalogConnection>(DBPath, "query");
    }
    m_query->reopen();
    return m_query.get();
}

Lookups ProgramState::lookups() {
    CatalogConnection* connection = queryConnection();
    return Lookups(connection ? connection->db() : QSqlDatabase());
}

void ProgramState::closeQueryConnection() {
    m_query.reset();
}

// The window shown next fills its tree, groups and folded names from the lists itself.
bool ProgramState::loadCatalogue() {
    return startLoading(CatalogueLoad::Prepare::TracksOnly) && finishLoadingCatalogue();
}

bool ProgramState::startLoadingCatalogue() {
    return startLoading(CatalogueLoad::Prepare::ForWindow);
}

bool ProgramState::startLoading(CatalogueLoad::Prepare prepare) {
    m_load.reset();
    // A reload starts from nothing: loading leaves a list as it was when its table is empty,
    // which would keep disks that were deleted meanwhile.
    lists = {};
    knownVolumes.clear();
    try {
        if (DBPath.isEmpty() || !catalogengine::mayExist(DBPath))
            throw CatalogError(QString());
        m_load = std::make_unique<CatalogueLoad>(DBPath, prepare);
    } catch (const CatalogError& e) {
        return failLoading(e);
    }
    lists = m_load->takeTree();
    knownVolumes = m_load->takeVolumes();
    // Connected before any window can be: the tracks are in the lists when the windows hear.
    QObject::connect(m_load.get(), &CatalogueLoad::finished, m_load.get(),
                     [this, load = m_load.get()] {
                         if (m_load.get() == load)
                             takeLoadedTracks();
                     });
    return true;
}

bool ProgramState::finishLoadingCatalogue() {
    if (!m_load)
        return true;
    const std::unique_ptr<CatalogueLoad> load = std::move(m_load);
    return takeTracksFrom(*load);
}

// The load is in the middle of telling that it finished: it goes once that is over.
void ProgramState::takeLoadedTracks() {
    CatalogueLoad* load = m_load.release();
    load->deleteLater();
    if (takeTracksFrom(*load))
        Q_EMIT load->tracksTaken();
    else if (windows)
        windows->catalogueUnreadable();
}

bool ProgramState::takeTracksFrom(CatalogueLoad& load) {
    try {
        lists.tracks = load.takeTracks();
        return true;
    } catch (const CatalogError& e) {
        return failLoading(e);
    }
}

bool ProgramState::failLoading(const CatalogError& error) {
    lists = {};
    knownVolumes.clear();
    closeQueryConnection();
    prompts.message(catalogdb::unreadableMessage(DBPath, error));
    return false;
}

bool ProgramState::checkCatalogue() {
    try {
        catalogdb::checkPages(DBPath);
        return true;
    } catch (const CatalogError& e) {
        prompts.message(catalogdb::unreadableMessage(DBPath, e));
        return false;
    }
}

void EndIfQuitting(ProgramState& state) {
    if (!state.QuitOnClose)
        return;
    for (const QString& list : std::as_const(state.tempPlayLists))
        QFile::remove(list); // a list that cannot be removed does not keep the program alive
    state.tempPlayLists.clear();
    state.ended = true;
    if (state.endProgram)
        state.endProgram();
}

void WindowFade(ProgramState& state, int /*mode*/, int /*alpha*/) {
    state.FadeDone = true;
}

void waitForFade(ProgramState& state) {
    while (!state.FadeDone)
        QCoreApplication::processEvents();
}

QString defaultTempPlaylistDir() {
    // Qt checks the runtime folder's owner and mode; without the variable it would make one of
    // its own in the temporary folder, and say so on every start.
    if (qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")) {
        const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (!runtime.isEmpty())
            return QDir(runtime).filePath("catalog");
    }
    return QDir(QStandardPaths::writableLocation(QStandardPaths::TempLocation))
        .filePath("catalog-" + QString::number(::geteuid()));
}
