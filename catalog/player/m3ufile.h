#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// Play lists in the extended M3U form that other players read and write: UTF-8 text, a
// "#EXTM3U" header, and for each entry an "#EXTINF:seconds,shown title" line before its path.

struct M3uEntry {
    qint64 seconds = -1; // -1 when the length is not known
    QString title;       // what a player shows for the entry
    QByteArray path;     // as the file system holds it
};

QByteArray m3uText(const std::vector<M3uEntry>& entries);

// The title of a track with these tags: "artist – title" when it has both, else the title,
// else the file name without its extension.
QString m3uTitle(const QString& artist, const QString& title, const QString& fileName);

// The paths of a play list's entries, in order. Comment and directive lines are passed over,
// a path relative to the list is taken from `folder`, a "file:" URL is read as its path, and
// lines may end in CR LF.
QStringList m3uPaths(const QByteArray& text, const QString& folder);
