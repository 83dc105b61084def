// The missing-encoder box while timer ticks keep coming, as they do in the box's own loop.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>

#include "tests/common/win_test_support.h"
#include "wallpaper/wallpaper_maker.h"

using namespace wintest;

namespace {

const CWallpaperMaker* maker = nullptr;
std::string picture, output;  // what each tick renders
int ticks = 0, mostBoxes = 0;

BOOL CALLBACK CloseBox(HWND window, LPARAM count) {
    char caption[32] = {};
    if (GetWindowTextA(window, caption, sizeof(caption)) && lstrcmpA(caption, "Quellwick") == 0) {
        ++*reinterpret_cast<int*>(count);
        if (ticks >= 10)
            PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    }
    return TRUE;
}

// A tick that renders again, as the tray window's refresh does; the tenth closes the boxes.
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    int boxes = 0;
    EnumThreadWindows(GetCurrentThreadId(), &CloseBox, reinterpret_cast<LPARAM>(&boxes));
    mostBoxes = std::max(mostBoxes, boxes);
    if (++ticks < 10)
        maker->RenderWallpaper(picture, output, "");
}

// The boxes open at once, at most, while a render to `path` runs with ticks coming.
int MostBoxesWhileRendering(const std::string& path) {
    ticks = mostBoxes = 0;
    output = path;
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, &Tick);
    maker->RenderWallpaper(picture, output, "");
    while (ticks < 11) {
        MSG message;
        GetMessageA(&message, nullptr, 0, 0);
        DispatchMessageA(&message);
    }
    KillTimer(nullptr, timer);
    return mostBoxes;
}

TEST(MissingEncoderBox, OneAtATimeAndNotAgainUntilASaveSucceeds) {
    const CGdiplusSession imaging;
    const CScratchFolder scratch("qw_encoder_box");
    const CWallpaperMaker wallpaperMaker;
    maker = &wallpaperMaker;
    picture = scratch.Path("moon.png");
    ASSERT_TRUE(SavePicture(picture, 32, 32, {{0, 0, 32, 32, 0xFFC03030}}));
    const std::string unknown = scratch.Path("wallpaper.xyz");
    EXPECT_EQ(1, MostBoxesWhileRendering(unknown));
    EXPECT_EQ(0, MostBoxesWhileRendering(unknown)) << "the failure was not remembered";
    EXPECT_EQ(0, MostBoxesWhileRendering(scratch.Path("wallpaper.bmp")));
    EXPECT_EQ(1, MostBoxesWhileRendering(unknown)) << "a failure after a success was not told";
}

}  // namespace
