#include "scanprogress.h"

#include <cmath>

QString plural(qint64 count, const QString& one, const QString& many) {
    return QString::number(count) + " " + (count == 1 ? one : many);
}

namespace {

// "0:15", "12:03", "1:02:03"
QString clockText(qint64 seconds) {
    const qint64 hours = seconds / 3600;
    const QString minutesSeconds =
        QStringLiteral("%1:%2")
            .arg(hours > 0 ? (seconds / 60) % 60 : seconds / 60, hours > 0 ? 2 : 1, 10, QChar('0'))
            .arg(seconds % 60, 2, 10, QChar('0'));
    return hours > 0 ? QString::number(hours) + ":" + minutesSeconds : minutesSeconds;
}

} // namespace

void ScanProgress::update(int done, int total, qint64 nowMs) {
    if (m_startMs < 0 && total > 0) {
        m_startMs = nowMs;
        m_doneAtStart = done;
    }
    m_done = done;
    m_total = total;
    m_nowMs = nowMs;
}

int ScanProgress::percent() const {
    return m_total > 0 ? static_cast<int>(qint64(m_done) * 100 / m_total) : 0;
}

bool ScanProgress::steady() const {
    return m_startMs >= 0 && m_nowMs - m_startMs >= SteadyAfterMs && m_done > m_doneAtStart;
}

double ScanProgress::filesPerSecond() const {
    if (!steady())
        return 0;
    return (m_done - m_doneAtStart) * 1000.0 / static_cast<double>(m_nowMs - m_startMs);
}

qint64 ScanProgress::secondsLeft() const {
    const double rate = filesPerSecond();
    return rate > 0 ? static_cast<qint64>(std::ceil((m_total - m_done) / rate)) : -1;
}

QString ScanProgress::countText() const {
    return QStringLiteral("%1 of %2 (%3%)")
        .arg(m_done)
        .arg(plural(m_total, "file", "files"))
        .arg(percent());
}

QString ScanProgress::rateText() const {
    if (!steady())
        return {};
    return QStringLiteral("%1 files/s, %2 left")
        .arg(qRound(filesPerSecond()))
        .arg(clockText(secondsLeft()));
}

namespace {

// " 2 files could not be read." and the like, or nothing.
QString unreadableText(const DiskScanner::Counts& counts) {
    QString text;
    if (counts.unreadableFiles > 0)
        text += " " + plural(counts.unreadableFiles, "file", "files") + " could not be read.";
    if (counts.unreadableDirectories > 0)
        text += " " + plural(counts.unreadableDirectories, "directory", "directories") +
                " could not be read.";
    return text;
}

} // namespace

QString scanSummary(const DiskScanner::Counts& counts, bool cancelled) {
    return QStringLiteral("%1 %2 in %3.")
               .arg(cancelled ? "Scan cancelled: kept" : "Catalogued",
                    plural(counts.files, "file", "files"),
                    plural(counts.directories, "directory", "directories")) +
           unreadableText(counts);
}

QString scanStoppedText(DiskScanner::Mode mode) {
    return QStringLiteral("The scan stopped: a row could not be stored; %1.")
        .arg(mode == DiskScanner::Mode::Replace
                 ? "nothing was replaced, the disk keeps its earlier rows"
                 : "the rows stored before it are kept");
}

QString scanSummary(const DiskScanner& scanner) {
    const DiskScanner::Counts counts = scanner.counts();
    if (scanner.mode == DiskScanner::Mode::Add)
        return scanSummary(counts, scanner.cancelled());
    if (scanner.keptEarlierRows())
        return QStringLiteral("%1: nothing was replaced, the disk keeps its earlier rows.")
                   .arg(scanner.cancelled() ? "Scan cancelled" : "Scan stopped") +
               unreadableText(counts);
    const catalogedits::DiskContents& replaced = scanner.replacedRows();
    return QStringLiteral("Catalogued %1 in %2, in place of the earlier %3 in %4.")
               .arg(plural(counts.files, "file", "files"),
                    plural(counts.directories, "directory", "directories"),
                    plural(replaced.tracks, "file", "files"),
                    plural(replaced.directories, "directory", "directories")) +
           unreadableText(counts);
}
