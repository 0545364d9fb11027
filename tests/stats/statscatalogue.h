#pragma once

#include "catalogdb.h"
#include "programrig.h"
#include "statuspanels.h"

#include <QtTest>

// The statistics window's rows are read and measured on threads of their own: wait for both.
#define WAIT_SHOWN(stats)                                                                          \
    QTRY_VERIFY(!(stats).isReading() && !(stats).StatusBar1->panelText(1).contains("counting"))

// A catalogue of two disks with `dirs` directories and `tracks` tracks named "track N.mp3",
// each playing a minute.
inline void fillCatalogue(ProgramRig& rig, int dirs, int tracks) {
    rig.state.DBPath = rig.path("catalog.mdb");
    QVERIFY(catalogdb::prepare(rig.state.DBPath).ok);
    CatalogConnection c(rig.state.DBPath, "fill");
    catalogdb::run(c.db(), "INSERT INTO Disks VALUES (1, 'Disk One', '/media/one')");
    catalogdb::run(c.db(), "INSERT INTO Disks VALUES (2, 'Two', '/media/two')");
    for (int i = 1; i <= dirs; ++i)
        catalogdb::run(c.db(), "INSERT INTO Dirs VALUES (?, ?, ?)",
                       {i, 1 + i % 2, QStringLiteral("/Music/Folder %1").arg(i)});
    Transaction transaction(c.db());
    for (int i = 1; i <= tracks; ++i)
        catalogdb::run(c.db(), "INSERT INTO Tracks VALUES (?, 1, 1, 't', ?, '00:01:00', 'a', 'b')",
                       {i, QStringLiteral("track %1.mp3").arg(i)});
    transaction.commit();
}
