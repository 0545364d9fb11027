#include "catalogueload.h"

#include "catalogdb.h"
#include "diskvolumes.h"
#include "listloading.h"

#include <QMetaObject>
#include <system_error>

CatalogueLoad::CatalogueLoad(const QString& location, Prepare prepare) {
    std::future<void> tree = m_treeRead.get_future();
    try {
        m_thread = std::thread([this, location, prepare] { read(location, prepare); });
    } catch (const std::system_error&) { // no thread to be had: read it all here
        read(location, prepare);
    }
    try {
        tree.get(); // rethrows what stopped the tree's part
    } catch (...) {
        wait(); // the thread ends at once, and must be joined before it is destroyed
        throw;
    }
}

CatalogueLoad::~CatalogueLoad() {
    m_stop = true;
    wait();
}

CatalogLists CatalogueLoad::takeTree() {
    return std::move(m_tree);
}

std::vector<DiskVolume> CatalogueLoad::takeVolumes() {
    return std::move(m_volumes);
}

void CatalogueLoad::wait() {
    if (m_thread.joinable())
        m_thread.join();
}

TrackList CatalogueLoad::takeTracks() {
    wait();
    if (m_error)
        std::rethrow_exception(m_error);
    return std::move(m_tracks);
}

// Runs on the load's own thread.
void CatalogueLoad::read(const QString& location, Prepare prepare) {
    bool treeHandedOver = false;
    try {
        // The tables' own pages are read here; the indexes and free pages are checked meanwhile.
        std::future<void> pages;
        try {
            pages = std::async(std::launch::async, catalogdb::checkPages, location);
        } catch (const std::system_error&) { // no thread to be had: check after reading
            pages = std::async(std::launch::deferred, catalogdb::checkPages, location);
        }
        {
            CatalogConnection connection(location, "load");
            if (!connection.isOpen())
                throw CatalogError(connection.lastError());
            const QSqlDatabase db = connection.db();
            // Programs scanning meanwhile add whole directories: one state shows each whole.
            Transaction snapshot(db, Transaction::Mode::Snapshot);
            LoadCatalogTree(db, m_tree);
            m_volumes = loadDiskVolumes(db);
            treeHandedOver = true;
            m_treeRead.set_value();
            readTracks(db, prepare);
        }
        pages.get();
    } catch (const LoadStopped&) {
        m_error = std::make_exception_ptr(LoadStopped());
    } catch (...) {
        m_error = std::current_exception();
        if (!treeHandedOver)
            m_treeRead.set_exception(m_error);
    }
    QMetaObject::invokeMethod(this, &CatalogueLoad::finished, Qt::QueuedConnection);
}

void CatalogueLoad::readTracks(const QSqlDatabase& db, Prepare prepare) {
    LoadTracks(db, m_tracks, [this](int percent) { return report(percent); });
    if (m_stop)
        throw LoadStopped();
    if (prepare == Prepare::TracksOnly)
        return;
    m_groups.rebuild();
    m_search.prepare();
}

bool CatalogueLoad::report(int percent) {
    if (percent != m_reported) {
        m_reported = percent;
        QMetaObject::invokeMethod(
            this, [this, percent] { Q_EMIT progressed(percent); }, Qt::QueuedConnection);
    }
    return !m_stop;
}
