#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/common/win_test_support.h"
#include "wallpaper/wallpaper_fit.h"
#include "wallpaper/wallpaper_composer_win.h"

using namespace wintest;
using Gdiplus::ARGB;

namespace {

constexpr ARGB kRed = 0xFFD02020;
constexpr ARGB kBlue = 0xFF2030D0;
constexpr ARGB kGreen = 0xFF20C040;

WallpaperStatus Render(const std::string& picture, const std::string& output, const std::string& overlay = "") {
    return RenderWallpaper({picture, overlay, false}, CurrentMonitors(), output);
}

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
    ASSERT_EQ(WallpaperStatus::Ok, Render(picture, scratch.Path("annotated.bmp"), overlay));
    const GdipBitmapPtr result = OpenBitmap(scratch.Path("annotated.bmp"));
    ASSERT_TRUE(result);
    EXPECT_TRUE(ColourNear(At(result.get(), 200, 200, 0.25, 0.25), kGreen));
    for (const auto& [fx, fy] : {std::make_pair(0.75, 0.25), std::make_pair(0.25, 0.75), std::make_pair(0.9, 0.9)})
        EXPECT_TRUE(ColourNear(At(result.get(), 200, 200, fx, fy), kRed)) << fx << "," << fy;

    // An overlay that cannot be read leaves the plain picture.
    ASSERT_EQ(WallpaperStatus::Ok, Render(picture, scratch.Path("plain.bmp"), scratch.Path("none.png")));
    const GdipBitmapPtr plain = OpenBitmap(scratch.Path("plain.bmp"));
    ASSERT_TRUE(plain);
    EXPECT_TRUE(ColourNear(At(plain.get(), 200, 200, 0.25, 0.25), kRed));
}

TEST_F(WallpaperRender, FailuresKeepThePreviousFileAndSayWhatFailed) {
    const std::string output = scratch.Path("keep.bmp"), previous = "previous wallpaper";
    const std::string picture = scratch.Path("ok.png"), blocked = scratch.Path("blocked.bmp");
    const std::string readOnly = scratch.Path("read_only.bmp");
    ASSERT_TRUE(WriteFileBytes(output, previous));
    ASSERT_TRUE(WriteFileBytes(scratch.Path("corrupt.png"), "not a picture"));
    ASSERT_TRUE(SavePicture(picture, 32, 32, {{0, 0, 32, 32, kRed}}));
    ASSERT_TRUE(CreateDirectoryA(blocked.c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(readOnly, previous) && SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    // Held open by another program, without delete sharing.
    const HANDLE held = CreateFileA(output.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    const struct {
        std::string picture, output;
        WallpaperStatus status;
    } cases[] = {
        // A picture that cannot be read would give a black wallpaper.
        {scratch.Path("missing.png"), output, WallpaperStatus::PictureUnreadable},
        {scratch.Path("corrupt.png"), output, WallpaperStatus::PictureUnreadable},
        {picture, output, WallpaperStatus::FileInUse},
        {picture, readOnly, WallpaperStatus::FileReadOnly},
        {picture, blocked, WallpaperStatus::SaveFailed},  // a folder is in the way
        {picture, scratch.Path("absent\\x.bmp"), WallpaperStatus::SaveFailed},
        {picture, scratch.Path("wallpaper.xyz"), WallpaperStatus::NoEncoder},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.status, Render(c.picture, c.output)) << c.picture << " " << c.output;
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((c.output + ".tmp").c_str())) << c.output;
    }
    CloseHandle(held);
    EXPECT_TRUE(previous == ReadFileBytes(output) && previous == ReadFileBytes(readOnly));
    EXPECT_NE(0u, GetFileAttributesA(blocked.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
    // A later attempt replaces the file.
    EXPECT_EQ(WallpaperStatus::Ok, Render(picture, output));
    EXPECT_EQ("BM", ReadFileBytes(output).substr(0, 2));
}

// The live wallpaper's own BMP writer, read back by GDI+: rows bottom-up, each padded to four
// bytes (5 pixels make 15 bytes and one of padding).
TEST_F(WallpaperRender, ABmpMadeInMemoryIsReadAsDrawn) {
    CBmpFile bmp(5, 3);
    const auto paint = [&](int x, int y, ARGB colour) {
        unsigned char* p = bmp.TopRow() + y * bmp.DownStride() + x * 3;
        p[0] = colour & 0xFF, p[1] = (colour >> 8) & 0xFF, p[2] = (colour >> 16) & 0xFF;
    };
    paint(0, 0, kRed);
    paint(4, 2, kBlue);
    paint(1, 1, kGreen);
    const std::string output = scratch.Path("drawn.bmp");
    ASSERT_EQ(WallpaperStatus::Ok, SaveWallpaper(bmp, output));
    EXPECT_EQ(WallpaperStatus::SaveFailed, SaveWallpaper(bmp, scratch.Path("absent\\x.bmp")));
    const GdipBitmapPtr read = OpenBitmap(output);
    ASSERT_TRUE(read);
    EXPECT_EQ(5, ImagePixelSize(read.get()).cx);
    EXPECT_EQ(3, ImagePixelSize(read.get()).cy);
    EXPECT_EQ(kRed, PixelAt(read.get(), 0, 0));
    EXPECT_EQ(kBlue, PixelAt(read.get(), 4, 2));
    EXPECT_EQ(kGreen, PixelAt(read.get(), 1, 1));
    EXPECT_EQ(0xFF000000, PixelAt(read.get(), 2, 1));
}

}  // namespace
