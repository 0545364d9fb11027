#pragma once

#include "cataloglists.h"
#include "copyplan.h"

#include <QHash>
#include <QString>

// Where tracks lie and which disk holds them, read from the in-memory lists the way the copy
// reads them: in database mode the disk's drive (or the one CD drive of the "&Drive" option),
// the directory's name below it and the file name; in local mode a path under the local folder.
class TrackPaths {
public:
    TrackPaths(const CatalogLists& lists, const copyplan::Source& source);

    QString fullPath(const TrackRecord& track) const;
    // The disk to insert for a track whose file is not there, and the drive it is read from.
    QString diskName(const TrackRecord& track) const;
    QString drive(const TrackRecord& track) const;
    bool isLocal() const { return m_source.local; }

private:
    const CatalogLists& m_lists;
    copyplan::Source m_source;
    QHash<qint32, const DiskRecord*> m_disks;
    QHash<qint32, const DirRecord*> m_dirs;
};
