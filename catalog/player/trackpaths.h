#pragma once

#include "cataloglists.h"
#include "lookups.h"

#include <QHash>
#include <QString>
#include <optional>

// Full paths of tracks, for one command. In database mode a path is the disk's drive, the
// directory's name below it, a separator and the file name, each drive and directory looked
// up once per command; in local mode it lies under the local folder, the directory taken from
// the in-memory list by index. Lookups throw CatalogError when the catalogue cannot be read.
class TrackPaths {
public:
    static TrackPaths database(Lookups lookups, bool useCdDrive, const QString& cdDrive);
    static TrackPaths local(const DirList& dirs, const QString& folder);

    QString fullPath(const TrackRecord& track);
    // The drive a disk is read from; the local folder in local mode.
    QString drive(qint32 diskId);
    bool isLocal() const { return m_dirs != nullptr; }

private:
    TrackPaths() = default;

    std::optional<Lookups> m_lookups;
    bool m_useCdDrive = false;
    QString m_cdDrive;
    const DirList* m_dirs = nullptr;
    QString m_localFolder;
    QHash<qint32, QString> m_drives;
    QHash<qint32, QString> m_dirNames;
};

// The folder the local mode walks: "MP3" in the home folder (C:\MP3 on Windows).
QString localMusicFolder();
