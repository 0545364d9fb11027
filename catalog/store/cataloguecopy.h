#pragma once

#include <QString>

// Copies a whole catalogue, file or server, into another: every disk, directory and track with
// its identifier, the bytes of names that are not UTF-8, and the disks' volumes.
namespace cataloguecopy {

struct Copied {
    qint64 disks = 0;
    qint64 directories = 0;
    qint64 tracks = 0;
};

enum class Target { MustBeEmpty, Replace };

// The source must be a catalogue already; the target becomes one if it is empty. A target that
// holds disks is refused unless replaced: its rows go in the transaction that stores the copy,
// so a failure leaves it as it was. The source is read in one state of its own while other
// programs may write to it. Throws CatalogError with the person's words.
Copied copy(const QString& from, const QString& to, Target target);

} // namespace cataloguecopy
