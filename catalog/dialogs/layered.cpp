#include "layered.h"

#include <QVariant>
#include <QWidget>

namespace {

constexpr char LayeredProperty[] = "catalogLayered";
constexpr char OpacityProperty[] = "catalogOpacity";

} // namespace

namespace Layered {

void SetTranslucent(QWidget* window, bool layered, quint8 opacity) {
    if (!window)
        return;
    window->setProperty(LayeredProperty, layered);
    window->setProperty(OpacityProperty, static_cast<uint>(opacity));
    // A window that is not layered ignores its opacity.
    window->setWindowOpacity(layered ? opacity / 255.0 : 1.0);
}

int SetTopmost(QWidget* window, bool topmost) {
    if (!window)
        return 0;
    // Changing a window's flags hides it; show it again as it was.
    const bool shown = window->isVisible();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
    if (shown)
        window->show();
    return topmost ? 1 : 0;
}

bool isLayered(const QWidget* window) {
    return window && window->property(LayeredProperty).toBool();
}

quint8 opacity(const QWidget* window) {
    if (!isLayered(window))
        return 255;
    return static_cast<quint8>(window->property(OpacityProperty).toUInt());
}

} // namespace Layered
