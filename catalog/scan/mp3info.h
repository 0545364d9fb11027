#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <atomic>

// What the catalogue records of one MP3 file.
struct Mp3Info {
    QString title, artist, album;
    QString duration = QStringLiteral("00:00:00"); // "hh:mm:ss"
    qint64 seconds = 0;                            // playing time, rounded to the nearest second
    bool readable = false;                         // an MPEG audio stream was found
};

// Reads tags and playing time through TagLib, read-only. The texts come from the ID3v1 tag, or,
// when the file has none (or one with no title, artist and album), from ID3v2, then APE. The
// playing time is TagLib's where a Xing/VBRI header that fits the stream's size or a constant
// bitrate makes that exact; otherwise libmpg123 counts the frames that are there. A file that
// cannot be read as MP3 (missing, empty, not a regular file, no MPEG frame near its start)
// gives empty texts, "00:00:00" and readable = false; texts of an ID3v2 tag it opens with are
// kept. Memory stays bounded whatever the file's size.
Mp3Info readMp3Info(const QString& path);
// The same for a file named by the bytes the file system holds (which need not be valid
// UTF-8). Setting `stop` makes a read under way end soon, its result to be thrown away.
Mp3Info readMp3Info(const QByteArray& localPath, const std::atomic<bool>& stop);

// "hh:mm:ss" with at least two hour digits ("123:04:05" past 99 hours). Negative counts as 0.
QString formatPlayingTime(qint64 seconds);
