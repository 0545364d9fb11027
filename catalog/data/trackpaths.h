#pragma once

#include <QString>

// Full paths of catalogued directories and tracks: the disk's drive, then the directory's
// name below it, then the file name, with one separator between each ("/" and "/Music" give
// "/Music", "E:" and "\\" give "E:\\").
QString fullDirPath(const QString& drive, const QString& dirName);
QString fullTrackPath(const QString& drive, const QString& dirName, const QString& trackName);
