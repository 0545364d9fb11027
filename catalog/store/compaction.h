#pragma once

#include <QString>
#include <functional>

// Rewrites the catalogue compactly. The catalogue is held exclusively from the first step to the
// last, so no other program reads or writes it meanwhile; while another connection (another
// program, or this one) has it open, compaction refuses and says the catalogue is in use.
// A damaged catalogue is refused before anything is written. The compact copy is made in a
// work file of its own beside the catalogue ("tDB.mdb", or a free variant of that name) and
// checked, then a complete backup is written to the catalogue's path followed by ".bak", and
// only when both succeeded is the catalogue replaced, in one rename.
// On failure the catalogue is left as it was and the reason is returned; success returns "".
namespace compaction {

// The steps done while the catalogue is held, for tests that act between them.
enum class Step { Held, Compacted, BackedUp };
using StepHook = std::function<void(Step)>;

// The work file a compaction would make now: "tDB.mdb" beside the catalogue, or, when that
// name (or a log of it) is taken, the first free "tDB-2.mdb", "tDB-3.mdb", …
QString workFilePath(const QString& dbPath);
QString backupPath(const QString& dbPath);
QString compact(const QString& dbPath, const StepHook& afterStep = {});

} // namespace compaction
