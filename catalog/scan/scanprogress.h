#pragma once

#include "diskscanner.h"

#include <QString>
#include <QtGlobal>

// "1 file", "2 files".
QString plural(qint64 count, const QString& one, const QString& many);

// How far a scan's storing has come, for the cataloguing window's status bar and the command
// line's progress line. The walk lists every file before it stores the first row, so the
// total is known while the rows are stored. The rate and the time left are given once the
// storing has run long enough to be steady.
class ScanProgress {
public:
    static constexpr qint64 SteadyAfterMs = 2000;

    // `done` of `total` files stored at `nowMs` on a monotonic clock. The storing starts at
    // the first update with a total.
    void update(int done, int total, qint64 nowMs);

    int done() const { return m_done; }
    int total() const { return m_total; }
    int percent() const;
    bool steady() const;
    double filesPerSecond() const;
    qint64 secondsLeft() const;

    // "120 of 5000 files (2%)"
    QString countText() const;
    // "310 files/s, 0:15 left", or empty until steady.
    QString rateText() const;

private:
    int m_done = 0;
    int m_total = 0;
    int m_doneAtStart = 0;
    qint64 m_startMs = -1;
    qint64 m_nowMs = 0;
};

// What a finished or cancelled scan reports: "Catalogued 12 files in 3 directories." and any
// files or directories it could not read.
QString scanSummary(const DiskScanner::Counts& counts, bool cancelled);
// The same for a scan that has ended, in either mode: a replace also says what it replaced
// ("Catalogued 12 files in 3 directories, in place of the earlier 10 files in 2
// directories."), or that the disk keeps its earlier rows when it did not replace them.
QString scanSummary(const DiskScanner& scanner);
// The first line of the message for a scan stopped by a row it could not store: what a scan
// in `mode` left behind.
QString scanStoppedText(DiskScanner::Mode mode);
