#include "panefold.h"

namespace panefold {

Host::~Host() = default;
Control::~Control() = default;

namespace {

bool setPointer(Host* host, std::int16_t code) {
    return host && host->setMousePointer(code);
}

} // namespace

bool HSplit::SetPointer(std::int16_t pType) {
    return setPointer(host_.get(), pType);
}

bool VSplit::SetPointer(std::int16_t pType) {
    return setPointer(host_.get(), pType);
}

// Both layouts read every value from the controls when it is needed, so each step sees what
// the controls actually took in the steps before (a control may round a value). The members
// are checked where they are first used, so a layout missing only a late member still does
// the early steps.

void HSplit::ResizePanes(double Twips) {
    Host* host = host_.get();
    Control* bar = bar_.get();
    Control* top = top_.get();
    Control* bottom = bottom_.get();

    if (!bar || !bar->setLeft(0) || !bar->setTop(bar->top() + Twips) ||
        !bar->setHeight(BarThickness))
        return;
    if (!host || !bar->setWidth(host->scaleWidth()))
        return;

    // The top pane ends where the bar begins.
    if (!top || !top->setLeft(0) || !top->setTop(0) || !top->setWidth(host->scaleWidth()) ||
        !top->setHeight(bar->top()))
        return;

    // The bottom pane takes what is left below the bar.
    if (!bottom || !bottom->setLeft(0) || !bottom->setTop(bar->top() + bar->height()) ||
        !bottom->setWidth(host->scaleWidth()) ||
        !bottom->setHeight(host->scaleHeight() - (bar->height() + top->height())))
        return;
}

void VSplit::ResizePanes(double Twips) {
    Host* host = host_.get();
    Control* bar = bar_.get();
    Control* left = left_.get();
    Control* right = right_.get();

    if (!bar || !bar->setTop(0) || !bar->setLeft(bar->left() + Twips))
        return;
    if (!host || !bar->setHeight(host->scaleHeight()) || !bar->setWidth(BarThickness))
        return;

    // The left pane ends where the bar begins.
    if (!left || !left->setTop(0) || !left->setLeft(0) || !left->setHeight(host->scaleHeight()) ||
        !left->setWidth(bar->left()))
        return;

    // The right pane takes what is left beside the bar.
    if (!right || !right->setTop(0) || !right->setLeft(bar->left() + bar->width()) ||
        !right->setHeight(host->scaleHeight()) ||
        !right->setWidth(host->scaleWidth() - (bar->width() + left->width())))
        return;
}

const char* version() {
    return PANEFOLD_VERSION;
}

} // namespace panefold
