#include "benchcases.h"

#include <QApplication>
#include <QFile>
#include <cstdio>

int intOption(const QStringList& options, const QString& name, int fallback) {
    const int at = options.indexOf(name);
    bool ok = false;
    const int value = at >= 0 && at + 1 < options.size() ? options[at + 1].toInt(&ok) : 0;
    return ok ? value : fallback;
}

double peakRssMb() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const QStringList args = QApplication::arguments().mid(1);
    const QString which = args.value(0);
    const QStringList options = args.mid(1);
    if (which == "scan")
        return benchScan(options);
    if (which == "replace")
        return benchReplace(options);
    if (which == "player")
        return benchPlayer(options);
    if (which == "stats")
        return benchStats(options);
    if (which == "totals")
        return benchTotals(options);
    std::fprintf(stderr,
                 "usage: catalog_bench scan --files N | replace --files N | player --tracks N "
                 "| stats --tracks N | totals --rows M\n"
                 "       (scan, player and stats also measure a server catalogue with "
                 "--catalogue URI)\n");
    return 2;
}
