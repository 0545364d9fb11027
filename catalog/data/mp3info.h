#pragma once

#include <QString>
#include <QtGlobal>

// What the catalogue records of one MP3 file.
struct Mp3Info {
    QString title, artist, album;
    QString duration = QStringLiteral("00:00:00"); // "hh:mm:ss"
    qint64 seconds = 0;                            // playing time, rounded to the nearest second
    bool readable = false;                         // an MPEG audio stream was found
};

// Reads tags and playing time through TagLib, read-only. The texts come from the ID3v1 tag, or,
// when the file has none (or one with no title, artist and album), from ID3v2, then APE. The
// playing time is TagLib's where a Xing/VBRI header or a constant bitrate makes that exact;
// a VBR stream without such a header has its frames counted instead. A file that cannot be read
// as MP3 (missing, empty, not a regular file, no MPEG frames) gives empty texts, "00:00:00" and
// readable = false; texts of a tag it does carry are kept.
Mp3Info readMp3Info(const QString& path);

// "hh:mm:ss" with at least two hour digits ("123:04:05" past 99 hours). Negative counts as 0.
QString formatPlayingTime(qint64 seconds);
