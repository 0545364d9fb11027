#include "lookups.h"

#include "catalogdb.h"

QString Lookups::column(const QString& statement, int ordinal) const {
    QSqlQuery q = catalogdb::run(m_db, statement);
    return q.next() ? q.value(ordinal).toString() : QString();
}

QString Lookups::GetDirName(qint64 dirId) const {
    return column("Select * from Dirs where DirID=" + QString::number(dirId), 2);
}

QString Lookups::GetDiskName(qint64 diskId) const {
    return column("Select * from disks where DiskID=" + QString::number(diskId), 1);
}

QString Lookups::GetDiskDrive(qint64 diskId, bool useCdDrive, const QString& cdDrive) const {
    if (useCdDrive)
        return cdDrive;
    return column("Select * from disks where DiskID=" + QString::number(diskId), 2);
}

QString Lookups::GetTrackDuration(const QString& trackName) const {
    // The name is bound: file names may hold quotes.
    QSqlQuery q =
        catalogdb::run(m_db, "Select duration from tracks where TrackName=?", {trackName});
    return q.next() ? q.value(0).toString() : QString();
}
