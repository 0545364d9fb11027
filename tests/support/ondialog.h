#pragma once

#include "dlgfrm.h"

#include <QApplication>
#include <QTimer>
#include <functional>

// Runs `act` on the next modal drive and directory dialog as soon as it shows.
inline void onDialog(const std::function<void(DlgFrm*)>& act) {
    QTimer::singleShot(0, [act] {
        if (auto* dialog = qobject_cast<DlgFrm*>(QApplication::activeModalWidget()))
            act(dialog);
        else
            onDialog(act);
    });
}
