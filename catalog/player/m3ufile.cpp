#include "m3ufile.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

QByteArray m3uText(const std::vector<M3uEntry>& entries) {
    QByteArray text = "#EXTM3U\n";
    for (const M3uEntry& entry : entries) {
        QString title = entry.title;
        title.replace('\n', ' ').replace('\r', ' ');
        text += "#EXTINF:" + QByteArray::number(entry.seconds) + ',' + title.toUtf8() + '\n';
        text += entry.path + '\n';
    }
    return text;
}

QString m3uTitle(const QString& artist, const QString& title, const QString& fileName) {
    if (!artist.isEmpty() && !title.isEmpty())
        return artist + QStringLiteral(" \u2013 ") + title;
    if (!title.isEmpty())
        return title;
    return QFileInfo(fileName).completeBaseName();
}

QStringList m3uPaths(const QByteArray& text, const QString& folder) {
    QStringList paths;
    QString all = QString::fromUtf8(text);
    if (all.startsWith(QChar(0xFEFF))) // a byte order mark some programs write
        all.remove(0, 1);
    const QDir base(folder);
    for (QString line : all.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith('#'))
            continue;
        if (line.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
            line = QUrl(line).toLocalFile();
        paths << QDir::cleanPath(base.absoluteFilePath(line));
    }
    return paths;
}
