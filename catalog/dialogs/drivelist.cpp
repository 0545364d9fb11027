#include "drivelist.h"

#include <QDir>
#include <QSet>
#include <QStorageInfo>

namespace {

bool isRealFileSystem(const QStorageInfo& volume) {
    static const QSet<QByteArray> virtualTypes = {
        "proc",     "sysfs",       "devtmpfs", "devpts",   "tmpfs",     "cgroup",
        "cgroup2",  "mqueue",      "debugfs",  "tracefs",  "pstore",    "securityfs",
        "configfs", "fusectl",     "bpf",      "autofs",   "hugetlbfs", "nsfs",
        "ramfs",    "binfmt_misc", "squashfs", "efivarfs", "rpc_pipefs"};
    return volume.isValid() && volume.isReady() && !virtualTypes.contains(volume.fileSystemType());
}

QString driveText(const QString& rootPath) {
    QString text = QDir::toNativeSeparators(rootPath);
    while (text.size() > 1 && text.endsWith(QDir::separator()))
        text.chop(1);
    return text;
}

} // namespace

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
    refresh();
    connect(this, &QComboBox::currentTextChanged, this, &DriveList::driveChanged);
}

QStringList DriveList::mountedDrives() {
    QStringList drives;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString text = driveText(volume.rootPath());
        if ((volume.isRoot() || isRealFileSystem(volume)) && !drives.contains(text))
            drives << text;
    }
    drives.sort();
    return drives;
}

QString DriveList::systemDrive() {
    return driveText(QDir::rootPath());
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
