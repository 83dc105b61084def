#pragma once

#include <windows.h>

#include "win/owners_win.h"

// The screen's pixels per logical inch (96 at 100 %). The program is aware of the system
// DPI, which stays what it was when the program started: read once.
inline int ScreenDpi() {
    static const int dpi = [] {
        const CWindowDC screen(nullptr);
        const int pixels = screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSX) : 0;
        return pixels > 0 ? pixels : 96;
    }();
    return dpi;
}

// A length designed in pixels at 96 DPI, on this screen.
inline int ScaleToScreen(int pixels) {
    return MulDiv(pixels, ScreenDpi(), 96);
}
