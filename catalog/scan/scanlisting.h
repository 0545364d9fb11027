#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

// What a disk walk lists of one directory, through the bytes the file system holds for each
// name, so that names that are not valid UTF-8 (written on another system) are still found
// and opened. The entries and their order are those dirlisting gives the browser: ascending
// name order ignoring case, hidden entries left out; subdirectories without symbolic links to
// directories, files matching "*.mp3" case-insensitively.
namespace scanlisting {

struct Entry {
    QByteArray localPath; // as the file system holds it: for opening
    QString name;         // for people and the catalogue: see readableName
};

struct Listing {
    bool readable = false; // the directory could be listed
    std::vector<Entry> subdirectories;
    std::vector<Entry> mp3Files;
};

Listing list(const QByteArray& localPath);

// A name as UTF-8, each byte sequence that is not UTF-8 shown as the replacement character
// U+FFFD: "caf\xe9.mp3" reads "caf\uFFFD.mp3".
QString readableName(const QByteArray& bytes);

} // namespace scanlisting
