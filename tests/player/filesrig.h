#pragma once

// A player window on disk "One": a.mp3 (by Édith Piaf), b.mp3 and c.mp3 in /a, another b.mp3
// in /b; the play list holds /a's three.

#include "playbackrig.h"
#include "statuspanels.h"

#include <QAction>

struct FilesRig : PlaybackRig {
    TreePlayer* w = nullptr;
    FilesRig() {
        addDisk(1, "One");
        dirOn(1, 1, "/a");
        dirOn(2, 1, "/b");
        for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
            addTrack(qint32(state.lists.tracks.size()) + 1, 1, name, "00:01:00");
        addTrack(4, 2, "b.mp3", "00:04:00");
        state.lists.tracks[0].Artist = "Édith Piaf";
        state.lists.tracks[0].Title = "Hymne";
        w = openWithPlayer();
        showDir(1);
        w->mnuAddVolume->trigger();
    }
    QString panel(int number) const { return window->StatusBar1->panelText(number); }
    void reopen() {
        window->close();
        QTest::qWait(0);
        w = openShown();
    }
};
