#include "drivelist.h"

#include "mountedvolumes.h"

#include <QDir>

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
    refresh();
    connect(this, &QComboBox::currentTextChanged, this, &DriveList::driveChanged);
}

QStringList DriveList::mountedDrives() {
    QStringList drives;
    for (const VolumeIdentity& volume : mountedvolumes::list()) {
        if (!drives.contains(volume.root))
            drives << volume.root;
    }
    drives.sort();
    return drives;
}

QString DriveList::systemDrive() {
    return mountedvolumes::driveText(QDir::rootPath());
}

QString DriveList::rootOf(const QString& drive) {
    return drive.endsWith(QDir::separator()) ? drive : drive + QDir::separator();
}

void DriveList::setDrive(const QString& drive) {
    int index = findText(drive);
    if (index < 0) {
        addItem(drive);
        index = count() - 1;
    }
    if (index == currentIndex())
        Q_EMIT driveChanged(drive);
    else
        setCurrentIndex(index);
}

void DriveList::refresh() {
    const QSignalBlocker blocker(this);
    const QString current = currentText();
    clear();
    addItems(mountedDrives());
    const int index = findText(current);
    if (index >= 0)
        setCurrentIndex(index);
}
