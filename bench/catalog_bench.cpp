#include "benchcases.h"

#include "catalogdb.h"
#include "cataloguecopy.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

int intOption(const QStringList& options, const QString& name, int fallback) {
    const int at = options.indexOf(name);
    bool ok = false;
    const int value = at >= 0 && at + 1 < options.size() ? options[at + 1].toInt(&ok) : 0;
    return ok ? value : fallback;
}

namespace {

QString copiedToServer(const QStringList& options, const QString& path) {
    const int at = options.indexOf("--catalogue");
    if (at < 0)
        return {};
    const QString server = options.value(at + 1);
    QElapsedTimer copying;
    copying.start();
    cataloguecopy::copy(path, server, cataloguecopy::Target::Replace);
    std::printf("server_copy_s %.4f\n", static_cast<double>(copying.nsecsElapsed()) / 1e9);
    return server;
}

} // namespace

int measureOnServer(const char* bench, const QStringList& options, const QString& path,
                    const std::function<int(const QString& server)>& measure) {
    QString server;
    try {
        server = copiedToServer(options, path);
    } catch (const CatalogError& e) {
        std::fprintf(stderr, "%s: %s\n", bench, qPrintable(e.message()));
        return 1;
    }
    return server.isEmpty() ? 0 : measure(server);
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
    std::fprintf(
        stderr,
        "usage: catalog_bench scan --files N | replace --files N | player --tracks N [--cold] "
        "| stats --tracks N | totals --rows M\n"
        "       (scan, player and stats also measure a server catalogue with "
        "--catalogue URI)\n");
    return 2;
}
