#pragma once

#include <windows.h>

#include "tests/e2e/quellwick_session.h"

namespace settings_test {

// The client area of a window as the screen shows it, 0x00RRGGBB rows top down.
e2e::ScreenCapture CaptureClient(HWND window);

inline DWORD PixelOf(const e2e::ScreenCapture& capture, int x, int y) {
    return capture.pixels[static_cast<size_t>(y * capture.width + x)];
}

}  // namespace settings_test
