#pragma once

// A player window on its own settings file and in-memory catalogue, with scripted prompts.

#include "catalogmodels.h"
#include "programrig.h"
#include "programstate.h"
#include "treeplayer.h"

#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

struct PlayerRig : ProgramRig {
    QPointer<TreePlayer> window;

    ~PlayerRig() { delete window; }

    TreePlayer* open() {
        window = new TreePlayer(state);
        return window;
    }
    TreePlayer* openShown() {
        open();
        window->show();
        if (!QTest::qWaitForWindowExposed(window))
            qWarning("player window not exposed");
        return window;
    }

    void disk(qint32 id, const QString& name) { state.lists.disks.push_back({id, name, "E:"}); }
    void dirOn(qint32 id, qint32 disk, const QString& name) {
        state.lists.dirs.push_back({id, disk, name});
    }
    void track(qint32 id, qint32 dir, qint32 disk, const QString& name) {
        state.lists.tracks.push_back({id, dir, disk, "", name, "00:01:00", "", ""});
    }
    // The spare elements a load leaves at the end of each list.
    void spares() {
        state.lists.disks.emplace_back();
        state.lists.dirs.emplace_back();
        state.lists.tracks.emplace_back();
    }
};
