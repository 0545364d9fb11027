// Lays out two panes side by side with an installed libpanefold and checks the result.
#include <panefold.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

struct Window : panefold::Host {
    double scaleWidth() const override { return 6000; }
    double scaleHeight() const override { return 4000; }
    bool setMousePointer(std::int16_t) override { return true; }
};

struct Box : panefold::Control {
    double x = 0, y = 0, w = 0, h = 0;
    double left() const override { return x; }
    double top() const override { return y; }
    double width() const override { return w; }
    double height() const override { return h; }
    bool setLeft(double v) override { return x = v, true; }
    bool setTop(double v) override { return y = v, true; }
    bool setWidth(double v) override { return w = v, true; }
    bool setHeight(double v) override { return h = v, true; }
};

} // namespace

int main() {
    if (std::strcmp(panefold::version(), PACKAGE_VERSION) != 0) {
        std::printf("library %s, package %s\n", panefold::version(), PACKAGE_VERSION);
        return 1;
    }
    auto bar = std::make_shared<Box>();
    auto left = std::make_shared<Box>();
    auto right = std::make_shared<Box>();
    bar->x = 2000;
    panefold::VSplit split;
    split.setHostPane(std::make_shared<Window>());
    split.setSplitBar(bar);
    split.setLeftPane(left);
    split.setRightPane(right);
    split.ResizePanes(500);

    const bool laidOut = bar->x == 2500 && left->w == 2500 && right->x == 2530 &&
                         right->w == 3470 && right->h == 4000;
    std::printf("bar %g, left %g wide, right at %g, %g wide\n", bar->x, left->w, right->x,
                right->w);
    return laidOut ? 0 : 1;
}
