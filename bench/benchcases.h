#pragma once

#include <QStringList>
#include <functional>

// Each case takes its own options and prints one "name value" line per figure.
int benchScan(const QStringList& options);
int benchReplace(const QStringList& options);
int benchPlayer(const QStringList& options);
int benchTotals(const QStringList& options);
int benchStats(const QStringList& options);

// A catalogue of `trackCount` tracks at `path`: about 100 a disk, 12 a directory.
void fillCatalogue(const QString& path, int trackCount);

// The value of "--name N" among the options, or `fallback`.
int intOption(const QStringList& options, const QString& name, int fallback);
// Peak resident memory of this process, in megabytes.
double peakRssMb();
// With "--catalogue URI" among the options: the catalogue at `path` copied to that server, the
// copy's seconds printed as server_copy_s, then `measure`d there, whose status is returned.
// 0 without the option; 1 when the copy fails, told on stderr under `bench`'s name.
int measureOnServer(const char* bench, const QStringList& options, const QString& path,
                    const std::function<int(const QString& server)>& measure);
