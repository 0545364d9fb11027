#include "programstate.h"

#include "catalogengine.h"
#include "diskvolumes.h"
#include "listloading.h"
#include "mountedvolumes.h"
#include "prompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <future>
#include <system_error>
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

bool ProgramState::loadCatalogue() {
    try {
        CatalogConnection* connection = queryConnection();
        if (!connection || !connection->isOpen())
            throw CatalogError(connection ? connection->lastError() : QString());
        // Loading reads only the tables' own pages: the indexes and the free pages are checked
        // meanwhile, on a second core.
        std::future<void> pages;
        try {
            pages = std::async(std::launch::async, catalogdb::checkPages, DBPath);
        } catch (const std::system_error&) { // no thread to be had: check after loading
            pages = std::async(std::launch::deferred, catalogdb::checkPages, DBPath);
        }
        // A reload starts from nothing: loading leaves a list as it was when its table is
        // empty, which would keep disks that were deleted meanwhile.
        lists = {};
        LoadCatalog(connection->db(), lists);
        knownVolumes = loadDiskVolumes(connection->db());
        pages.get();
        return true;
    } catch (const CatalogError& e) {
        lists = {};
        knownVolumes.clear();
        closeQueryConnection();
        prompts.message(catalogdb::unreadableMessage(DBPath, e));
        return false;
    }
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
