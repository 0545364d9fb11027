#pragma once

#include <QPaintDevice>
#include <cmath>

// Layout rules are kept in twips (1/1440 inch); at 96 dots per inch 15 twips make a pixel.
inline int twipsToPixels(double twips, const QPaintDevice* device) {
    const int dpi = device ? device->logicalDpiY() : 96;
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

inline double pixelsToTwips(int pixels, const QPaintDevice* device) {
    const int dpi = device ? device->logicalDpiY() : 96;
    return pixels * 1440.0 / dpi;
}
