#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>

// The stamp in a temporary play list's name: the local date and time as days since
// 30 December 1899, the time of day to the second as the fraction (noon on 1 January 2001 is
// "36892.5"), at most 15 significant digits, no trailing zeros, the locale's decimal separator.
QString playListStamp(const QDateTime& now, const QLocale& locale = QLocale());

// Writes a new file "Temp" + stamp + ".m3u" in `folder` ("Temp" + stamp + "_2.m3u" and so on
// when that name is taken, never replacing a file or following a link): one full path a line,
// each ended by CR LF, as the file system holds it (UTF-8 but for names written elsewhere). The
// folder is made with mode 0700 if missing, and refused unless it is a directory (not a link) of
// this user's that others cannot use. Returns the file's path, or empty text with `error` set.
QString writeTempPlayList(const QString& folder, const QString& stamp,
                          const QList<QByteArray>& paths, QString* error);
