#include "trackpaths.h"

#include <QDir>

namespace {

QString joined(QString head, const QString& tail) {
    const QChar separator = QDir::separator();
    while (head.endsWith(separator))
        head.chop(1);
    qsizetype skip = 0;
    while (skip < tail.size() && tail.at(skip) == separator)
        ++skip;
    return head + separator + tail.mid(skip);
}

} // namespace

QString fullDirPath(const QString& drive, const QString& dirName) {
    return joined(drive, dirName);
}

QString fullTrackPath(const QString& drive, const QString& dirName, const QString& trackName) {
    return joined(fullDirPath(drive, dirName), trackName);
}
