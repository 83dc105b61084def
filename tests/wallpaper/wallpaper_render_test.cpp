#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>

#include "tests/common/win_test_support.h"
#include "wallpaper/wallpaper_fit.h"
#include "wallpaper/wallpaper_maker.h"

using namespace wintest;
using Gdiplus::ARGB;

namespace {

constexpr ARGB kRed = 0xFFD02020;
constexpr ARGB kBlue = 0xFF2030D0;
constexpr ARGB kGreen = 0xFF20C040;

class WallpaperRender : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(imaging.IsStarted()); }

    // The rendered file's pixel at picture fractions (fx, fy) of the fitted picture.
    ARGB At(Gdiplus::GpBitmap* result, int pictureWidth, int pictureHeight, double fx, double fy) const {
        const FitRect fit = ComputeFit(screenWidth, screenHeight, pictureWidth, pictureHeight);
        return PixelAt(result, static_cast<int>(fit.x + fx * fit.width), static_cast<int>(fit.y + fy * fit.height));
    }

    CGdiplusSession imaging;
    CScratchFolder scratch{"qw_render"};
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
};

TEST_F(WallpaperRender, OverlayUsesThePictureSourceRectangleAndAMissingOneIsLeftOut) {
    // 200 x 200 red picture; 400 x 400 overlay whose top-left quarter is transparent but
    // for a green corner and whose other quarters are blue. Only the top-left 200 x 200
    // of the overlay may reach the canvas, so no blue shows.
    const std::string picture = scratch.Path("red.png"), overlay = scratch.Path("overlay.png");
    ASSERT_TRUE(SavePicture(picture, 200, 200, {{0, 0, 200, 200, kRed}}));
    ASSERT_TRUE(SavePicture(overlay, 400, 400,
                            {{0, 0, 100, 100, kGreen}, {200, 0, 200, 400, kBlue}, {0, 200, 200, 200, kBlue}}));
    ASSERT_EQ(1, CWallpaperMaker().RenderWallpaper(picture, scratch.Path("annotated.bmp"), overlay));
    const GdipBitmapPtr result = OpenBitmap(scratch.Path("annotated.bmp"));
    ASSERT_TRUE(result);
    EXPECT_TRUE(ColourNear(At(result.get(), 200, 200, 0.25, 0.25), kGreen));
    for (const auto& [fx, fy] : {std::make_pair(0.75, 0.25), std::make_pair(0.25, 0.75), std::make_pair(0.9, 0.9)})
        EXPECT_TRUE(ColourNear(At(result.get(), 200, 200, fx, fy), kRed)) << fx << "," << fy;

    // An overlay that cannot be read leaves the plain picture.
    ASSERT_EQ(1, CWallpaperMaker().RenderWallpaper(picture, scratch.Path("plain.bmp"), scratch.Path("none.png")));
    const GdipBitmapPtr plain = OpenBitmap(scratch.Path("plain.bmp"));
    ASSERT_TRUE(plain);
    EXPECT_TRUE(ColourNear(At(plain.get(), 200, 200, 0.25, 0.25), kRed));
}

TEST_F(WallpaperRender, FailuresKeepThePreviousFileAndReportFailure) {
    const std::string output = scratch.Path("keep.bmp"), previous = "previous wallpaper";
    ASSERT_TRUE(WriteFileBytes(output, previous));
    // A picture that cannot be read would give a black wallpaper.
    EXPECT_EQ(0, CWallpaperMaker().RenderWallpaper(scratch.Path("missing.png"), output, ""));
    ASSERT_TRUE(WriteFileBytes(scratch.Path("corrupt.png"), "not a picture"));
    EXPECT_EQ(0, CWallpaperMaker().RenderWallpaper(scratch.Path("corrupt.png"), output, ""));
    EXPECT_TRUE(previous == ReadFileBytes(output));

    // The output cannot be replaced (a folder is in the way): the save is not reported
    // as done, and the folder is left alone.
    const std::string picture = scratch.Path("ok.png"), blocked = scratch.Path("blocked.bmp");
    ASSERT_TRUE(SavePicture(picture, 32, 32, {{0, 0, 32, 32, kRed}}));
    ASSERT_TRUE(CreateDirectoryA(blocked.c_str(), nullptr));
    EXPECT_EQ(0, CWallpaperMaker().RenderWallpaper(picture, blocked, ""));
    EXPECT_NE(0u, GetFileAttributesA(blocked.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((blocked + ".tmp").c_str()));
    // The folder does not exist: nothing can be saved.
    EXPECT_EQ(0, CWallpaperMaker().RenderWallpaper(picture, scratch.Path("absent\\x.bmp"), ""));
    // No temporary file is left behind, and a later attempt replaces the file.
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((output + ".tmp").c_str()));
    EXPECT_EQ(1, CWallpaperMaker().RenderWallpaper(picture, output, ""));
    EXPECT_EQ("BM", ReadFileBytes(output).substr(0, 2));
}

// The missing-encoder box while timer ticks keep coming, as they do in the box's own loop.
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
