#pragma once

#include <QComboBox>

// The mounted volumes, each shown as its root path without a trailing separator ("/" for the
// root file system).
class DriveList : public QComboBox {
    Q_OBJECT
public:
    explicit DriveList(QWidget* parent = nullptr);

    static QStringList mountedDrives();
    // The local system drive, chosen when no drive is known yet.
    static QString systemDrive();
    // The drive's top directory: its text with a trailing separator.
    static QString rootOf(const QString& drive);

    QString drive() const { return currentText(); }
    // Selects `drive`, adding it to the list when it is not mounted right now.
    void setDrive(const QString& drive);
    void refresh();

Q_SIGNALS:
    void driveChanged(const QString& drive);
};
