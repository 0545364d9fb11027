#pragma once

#include "programstate.h"
#include "scriptedprompts.h"
#include "settingsstore.h"

#include <QTemporaryDir>

// The program-wide state on a settings file of its own in a fresh folder, with scripted
// prompts, a scripted list of mounted volumes and a count of the times the program was ended.
struct ProgramRig {
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    SettingsStore settings{dir.filePath("settings.ini")};
    ProgramState state{prompts, settings};
    QList<VolumeIdentity> volumes;
    int ends = 0;

    ProgramRig() {
        state.endProgram = [this] { ++ends; };
        state.mountedVolumes = [this] { return volumes; };
        state.tempPlaylistDir = dir.filePath("lists");
        state.dataDir = dir.filePath("data");
    }
    QString path(const QString& name) const { return dir.filePath(name); }
};
