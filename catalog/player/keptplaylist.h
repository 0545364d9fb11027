#pragma once

#include <QString>
#include <vector>

// A play-list row as it is kept from one run of the program to the next: the track it names,
// and what the row shows.
struct KeptRow {
    qint32 trackId = 0;
    QString key;
    QString text; // the track's file name
    bool ticked = false;
};

// Writes the rows to `file`, making its folder, whole or not at all: a failure (with `error`
// set) leaves the file as it was.
bool writeKeptPlaylist(const QString& file, const std::vector<KeptRow>& rows, QString* error);
// The rows kept in `file`, in order; none when there is no such file or it cannot be read.
// Rows without a track or a key are passed over.
std::vector<KeptRow> readKeptPlaylist(const QString& file);
