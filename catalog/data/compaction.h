#pragma once

#include <QString>

// Rewrites the catalogue compactly. Every connection to it must be closed first. The work file
// "tDB.mdb" is made beside the catalogue, a complete backup is written to the catalogue's path
// followed by ".bak", and only when both succeeded is the catalogue replaced, in one rename.
// On failure the catalogue is left as it was and the reason is returned; success returns "".
namespace compaction {

QString workFilePath(const QString& dbPath);
QString backupPath(const QString& dbPath);
QString compact(const QString& dbPath);

} // namespace compaction
