#include "dirlisting.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace {

QString plainPath(const QString& path) {
    return QDir::cleanPath(QDir::fromNativeSeparators(path));
}

bool isAtOrBelow(const QString& path, const QString& root) {
    return path == root || path.startsWith(root.endsWith('/') ? root : root + '/');
}

// `root` followed by what lies below `rootWithin` in `path`.
QString rebased(const QString& path, const QString& rootWithin, const QString& root) {
    QString below = path.mid(rootWithin.endsWith('/') ? rootWithin.size() - 1 : rootWithin.size());
    return below.isEmpty() ? root : (root == "/" ? QString() : root) + below;
}

} // namespace

namespace dirlisting {

QStringList subdirectories(const QString& path, bool* readable) {
    QDir dir(path);
    const bool ok = dir.exists() && dir.isReadable();
    if (readable)
        *readable = ok;
    QStringList paths;
    if (!ok)
        return paths;
    const QFileInfoList entries = dir.entryInfoList(
        QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name | QDir::IgnoreCase);
    paths.reserve(entries.size());
    for (const QFileInfo& entry : entries)
        paths << QDir::toNativeSeparators(entry.absoluteFilePath());
    return paths;
}

// A link counts as what it leads to: one to a device or a pipe would block or never end when
// read, so only regular files are listed.
QStringList files(const QString& path, const QString& pattern) {
    const QFileInfoList entries =
        QDir(path).entryInfoList({pattern}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    QStringList names;
    for (const QFileInfo& entry : entries)
        if (entry.isFile())
            names << entry.fileName();
    return names;
}

QString volumeRoot(const QString& path) {
    QString root = QDir::toNativeSeparators(QStorageInfo(path).rootPath());
    while (root.size() > 1 && root.endsWith(QDir::separator()))
        root.chop(1);
    return root;
}

QString pathBelowVolume(const QString& path, const QString& volumeRoot) {
    const QString native = QDir::toNativeSeparators(QDir::cleanPath(path));
    QString root = QDir::toNativeSeparators(volumeRoot);
    while (root.endsWith(QDir::separator()))
        root.chop(1);
    QString below = native;
    if (!root.isEmpty() && native.startsWith(root, Qt::CaseInsensitive) &&
        (native.size() == root.size() || native.at(root.size()) == QDir::separator()))
        below = native.mid(root.size());
    if (!below.startsWith(QDir::separator()))
        below.prepend(QDir::separator());
    return below;
}

ScanStart scanStart(const QString& start, const QString& drive) {
    const QString path = plainPath(start);
    for (const QString& candidate : {drive, volumeRoot(start)}) {
        if (candidate.isEmpty())
            continue;
        const QString root = plainPath(candidate);
        if (isAtOrBelow(path, root))
            return {QDir::toNativeSeparators(path), QDir::toNativeSeparators(root)};
        const QString realRoot = QFileInfo(root).canonicalFilePath();
        const QString realPath = QFileInfo(path).canonicalFilePath();
        if (!realRoot.isEmpty() && !realPath.isEmpty() && isAtOrBelow(realPath, realRoot))
            return {QDir::toNativeSeparators(rebased(realPath, realRoot, root)),
                    QDir::toNativeSeparators(root)};
    }
    return {QDir::toNativeSeparators(path), volumeRoot(start)};
}

} // namespace dirlisting
