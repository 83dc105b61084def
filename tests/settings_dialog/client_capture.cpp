#include "tests/settings_dialog/client_capture.h"

namespace settings_test {

e2e::ScreenCapture CaptureClient(HWND window) {
    const e2e::ScreenCapture whole = e2e::CaptureWindow(window);
    RECT frame = {};
    RECT client = {};
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    e2e::ScreenCapture inner;
    inner.width = client.right;
    inner.height = client.bottom;
    for (int y = 0; y < inner.height; ++y) {
        for (int x = 0; x < inner.width; ++x)
            inner.pixels.push_back(PixelOf(whole, x + origin.x - frame.left, y + origin.y - frame.top));
    }
    return inner;
}

}  // namespace settings_test
