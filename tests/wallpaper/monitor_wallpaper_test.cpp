// What each monitor shows of the installed wallpaper, for the monitors of the display this
// runs on: one in the usual test run, two of different shapes under two_monitors.sh.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>

#include "tests/common/win_test_support.h"
#include "tests/catalog/catalog_fixture.h"
#include "services/data_directory.h"
#include "wallpaper/desktop_wallpaper_win.h"
#include "wallpaper/wallpaper_composer_win.h"
#include "wallpaper/wallpaper_maker.h"

using namespace wintest;

namespace {

constexpr Gdiplus::ARGB kGrey = 0xFF909090;

// Where the desktop takes a monitor's pixel (x, y) from, in the bitmap of `size`, for
// the style values written: stretched, the whole bitmap scaled to each monitor; spanned,
// the bitmap laid over the virtual screen; tiled, repeated from the primary's origin.
POINT Source(const std::string& style, const std::string& tile, const MonitorRect& m, POINT origin, SIZE size, int x,
             int y) {
    const LONG width = m.right - m.left, height = m.bottom - m.top;
    if (tile == "1")
        return {((m.left + x) % size.cx + size.cx) % size.cx, ((m.top + y) % size.cy + size.cy) % size.cy};
    if (style == "22")
        return {m.left - origin.x + x, m.top - origin.y + y};
    return {x * size.cx / width, y * size.cy / height};
}

// The length of the lit run along a row (or a column) of a monitor.
int LitRun(const std::function<bool(int, int)>& lit, bool row, int at, int length, int* start) {
    int first = -1, last = -1;
    for (int i = 0; i < length; ++i) {
        if (row ? lit(i, at) : lit(at, i)) {
            first = first < 0 ? i : first;
            last = i;
        }
    }
    *start = first;
    return first < 0 ? 0 : last - first + 1;
}

TEST(MonitorWallpaper, EveryMonitorShowsTheSquarePictureSquare) {
    CGdiplusSession imaging;
    CTestCatalog catalog;
    const CPictureSet pictures(ResolveProgramDataDirectory());
    CWallpaperMaker maker(catalog, pictures);
    const std::filesystem::path data = pictures.DataDirectory();
    CreateDirectoryW(data.c_str(), nullptr);
    ASSERT_TRUE(SavePicture(data / "qw_monitors.png", 400, 400, {{0, 0, 400, 400, kGrey}}));
    catalog.Set({Entry("qw_monitors.png", 0), Entry("qw_monitors.png", 200)});
    ResetUserState();
    ASSERT_EQ(WallpaperStatus::Ok, maker.UpdateWallpaper(WallpaperSettings(), nullptr, nullptr, false));

    const GdipBitmapPtr wallpaper = OpenBitmap(WallpaperOutputPath());
    ASSERT_TRUE(wallpaper);
    const SIZE size = ImagePixelSize(wallpaper.get());
    const std::string style = ReadDesktopString("WallpaperStyle"), tile = ReadDesktopString("TileWallpaper");
    const auto monitors = CurrentMonitors();
    POINT origin = {0, 0};
    for (const MonitorRect& m : monitors) {
        origin.x = std::min<LONG>(origin.x, m.left);
        origin.y = std::min<LONG>(origin.y, m.top);
    }
    for (const MonitorRect& m : monitors) {
        const int width = m.right - m.left, height = m.bottom - m.top;
        const auto lit = [&](int x, int y) {
            const POINT at = Source(style, tile, m, origin, size, x, y);
            return at.x >= 0 && at.y >= 0 && at.x < size.cx && at.y < size.cy &&
                   !ColourNear(PixelAt(wallpaper.get(), at.x, at.y), 0xFF000000, 40);
        };
        int left = 0, top = 0;
        const int litWidth = LitRun(lit, true, height / 2, width, &left);
        ASSERT_GT(litWidth, 0) << "no Moon on monitor " << width << "x" << height;
        const int litHeight = LitRun(lit, false, left + litWidth / 2, height, &top);
        EXPECT_NEAR(litWidth, litHeight, 2)
            << "an oval Moon on monitor " << width << "x" << height << ", style " << style << ", tile " << tile;
    }
    ResetUserState();
    DeleteFileW((data / "qw_monitors.png").c_str());
}

}  // namespace
