// Twips (1/1440 inch) to pixels with the screen's real resolution.
#pragma once

#include <windows.h>

#include "platform/win32/scoped.h"

namespace kelvorin::win32 {

struct ScreenScale {
    int dpiX = 96;
    int dpiY = 96;

    static ScreenScale Read() {
        ScreenScale s;
        ScopedGetDc screen(nullptr);
        s.dpiX = ::GetDeviceCaps(screen.get(), LOGPIXELSX);
        s.dpiY = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
        return s;
    }
    int X(int twips) const { return ::MulDiv(twips, dpiX, 1440); }
    int Y(int twips) const { return ::MulDiv(twips, dpiY, 1440); }
    int TwipsY(int pixels) const { return ::MulDiv(pixels, 1440, dpiY); }
    // A font height for CreateFont: negative means character height in pixels.
    int FontHeight(int points) const { return -::MulDiv(points, dpiY, 72); }
};

}  // namespace kelvorin::win32
