#pragma once

#include "cataloglists.h"
#include "catalogsearch.h"
#include "trackgroups.h"
#include "volumeidentity.h"

class QSqlDatabase;
#include <QObject>
#include <QString>
#include <atomic>
#include <exception>
#include <future>
#include <thread>
#include <vector>

// The catalogue read on a thread of its own, all of it in one state: first what the tree needs
// (disks, directories, volumes), which is small, then the tracks with the groups and folded
// names that clicks and searches use, while another thread checks every page. A million tracks
// take a second; the window shows its tree meanwhile.
class CatalogueLoad : public QObject {
    Q_OBJECT
public:
    // What is made of the tracks beside them: the groups and folded names serve a window that
    // adopts them; one that builds its own from the lists wants the tracks alone.
    enum class Prepare { TracksOnly, ForWindow };
    // Returns once the tree's part is read; throws CatalogError when it cannot be.
    CatalogueLoad(const QString& location, Prepare prepare);
    // Stops the reading and waits for it.
    ~CatalogueLoad() override;
    CatalogueLoad(const CatalogueLoad&) = delete;
    CatalogueLoad& operator=(const CatalogueLoad&) = delete;

    // Disks, directories and name bytes, without tracks; taken once.
    CatalogLists takeTree();
    std::vector<DiskVolume> takeVolumes();

    // Waits until the reading has ended. Then: the tracks, in list order with the spare
    // element, or the CatalogError that stopped them, rethrown.
    void wait();
    TrackList takeTracks();
    // Built from the tracks before they were taken, with Prepare::ForWindow; see
    // TrackGroups::adopt.
    TrackGroups& groups() { return m_groups; }
    CatalogSearch& search() { return m_search; }

Q_SIGNALS:
    // The share of the tracks read so far, in percent.
    void progressed(int percent);
    // The reading has ended, completely or not; emitted on the thread that made this load.
    void finished();
    // Emitted by whoever took the tracks, once they are where the windows read them.
    void tracksTaken();

private:
    void read(const QString& location, Prepare prepare);
    void readTracks(const QSqlDatabase& db, Prepare prepare);
    bool report(int percent);

    std::atomic<bool> m_stop{false};
    std::promise<void> m_treeRead; // the tree's part handed over
    CatalogLists m_tree;
    std::vector<DiskVolume> m_volumes;
    TrackList m_tracks;
    DirList m_noDirs; // the search's directories are folded where the tree lives
    TrackGroups m_groups{m_tracks};
    CatalogSearch m_search{m_tracks, m_noDirs};
    std::exception_ptr m_error;
    int m_reported = -1;
    std::thread m_thread;
};
