#pragma once

#include <QSqlDatabase>
#include <QString>

// The shared single-value lookups of the catalogue. Each returns empty text when no row
// matches; database failures throw CatalogError.
class Lookups {
public:
    explicit Lookups(QSqlDatabase db) : m_db(db) {}

    QString GetDirName(qint64 dirId) const;
    QString GetDiskName(qint64 diskId) const;
    // With the player's "&Drive" option on, every disk is read from the chosen CD drive.
    QString GetDiskDrive(qint64 diskId, bool useCdDrive, const QString& cdDrive) const;
    QString GetTrackDuration(const QString& trackName) const;

private:
    QString column(const QString& statement, int ordinal) const;
    QSqlDatabase m_db;
};
