// A laptop docked to a larger screen: the wallpaper follows the new screen size at the
// program's next tick, without waiting for the next picture.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/common/win_test_support.h"

using namespace wintest;

namespace {

SIZE WallpaperSize() {
    const GdipBitmapPtr bitmap = OpenBitmap(WindowsWallpaperPath());
    return bitmap ? ImagePixelSize(bitmap.get()) : SIZE{0, 0};
}

// Sets the virtual desktop's size.
bool SetScreenSize(SIZE screen) {
    DEVMODEA mode = {};
    mode.dmSize = sizeof(mode);
    mode.dmPelsWidth = static_cast<DWORD>(screen.cx);
    mode.dmPelsHeight = static_cast<DWORD>(screen.cy);
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    return ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
}

using DisplayChangeEndToEnd = ProgramTest;

TEST_F(DisplayChangeEndToEnd, ANewScreenSizeIsRenderedAtTheNextTick) {
    ASSERT_TRUE(WriteColourCatalogue(program));
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(WaitFor([] { return WallpaperSize().cx == kDesktopWidth; })) << "no first wallpaper";
    EXPECT_EQ(kDesktopHeight, WallpaperSize().cy);

    // The docked size, then the original one back; the registry's size again whatever happens.
    const struct Restore {
        ~Restore() { ChangeDisplaySettingsA(nullptr, 0); }
    } restore;
    for (const SIZE screen : {SIZE{1024, 768}, SIZE{kDesktopWidth, kDesktopHeight}}) {
        const FILETIME before = LastWriteTime(WindowsWallpaperPath());
        ASSERT_TRUE(SetScreenSize(screen)) << screen.cx << "x" << screen.cy;
        // Well inside the minute after which the program would look again anyway.
        ASSERT_TRUE(WallpaperRewritten(before)) << "not rendered again for " << screen.cx << "x" << screen.cy;
        EXPECT_TRUE(WaitFor([&] {
            const SIZE size = WallpaperSize();
            return size.cx == screen.cx && size.cy == screen.cy;
        })) << WallpaperSize().cx << "x" << WallpaperSize().cy;
    }
}

}  // namespace
