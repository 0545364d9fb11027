#pragma once

#include <QStringList>

// Each case takes its own options and prints one "name value" line per figure.
int benchScan(const QStringList& options);
int benchPlayer(const QStringList& options);
int benchTotals(const QStringList& options);

// The value of "--name N" among the options, or `fallback`.
int intOption(const QStringList& options, const QString& name, int fallback);
// Peak resident memory of this process, in megabytes.
double peakRssMb();
