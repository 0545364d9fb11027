#pragma once

#include <QtGlobal>

class QWidget;

// Per-window opacity and the stay-on-top band. The values are kept on the window as well, so
// they hold where the window system cannot show them (no compositor, the offscreen platform).
namespace Layered {

// Makes `window` layered with `opacity` (0 invisible, 255 opaque), or plain and opaque again
// when `layered` is off.
void SetTranslucent(QWidget* window, bool layered, quint8 opacity);
// Keeps `window` above all others or releases it; nonzero when it was made topmost.
int SetTopmost(QWidget* window, bool topmost);

// What SetTranslucent last made of the window: whether it is layered, and how opaque it is.
bool isLayered(const QWidget* window);
quint8 opacity(const QWidget* window);

} // namespace Layered
