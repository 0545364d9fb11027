#include "commandline.h"
#include "programstate.h"
#include "qtprompts.h"
#include "settingsstore.h"
#include "startup.h"
#include "windows.h"

#include <QApplication>
#include <clocale>

int main(int argc, char* argv[]) {
    // "--catalogue X" alone opens the windows on X; any other argument names a command, which
    // runs without windows.
    const QString requested = argc == 3 && qstrcmp(argv[1], "--catalogue") == 0
                                  ? QString::fromLocal8Bit(argv[2])
                                  : QString();
    if (argc > 1 && requested.isEmpty())
        return runCommandLine(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName("Catalog");
    QApplication::setOrganizationName("Catalog");
    // Lets the desktop match the windows to the installed menu entry and its icon.
    QApplication::setDesktopFileName("io.github.catalog.Catalog");
    // Closing a window ends the program only through the windows' own rule.
    QApplication::setQuitOnLastWindowClosed(false);
    std::setlocale(LC_NUMERIC, "C"); // the media player needs C number formatting

    QtPrompts prompts;
    SettingsStore settings;
    ProgramState state(prompts, settings);
    Windows windows(state);
    state.windows = &windows;

    if (!Startup(state, requested).run())
        return 0;
    return QApplication::exec();
}
