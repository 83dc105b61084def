#include <gtest/gtest.h>

#include <windows.h>

#include <thread>

#include "tests/common/win_test_support.h"
#include "wallpaper/wallpaper_fit.h"
#include "wallpaper/image_encoder_win.h"
#include "wallpaper/wallpaper_maker.h"

using namespace wintest;
using Gdiplus::ARGB;

namespace {

constexpr ARGB kBlack = 0xFF000000;
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

TEST_F(WallpaperRender, PictureFittedAndCentredOnBlackAtScreenSize) {
    // Tall picture: left half red, right half blue. Letterboxed left and right.
    const std::string picture = scratch.Path("tall.png"), output = scratch.Path("Quellwick.bmp");
    ASSERT_TRUE(SavePicture(picture, 100, 200, {{0, 0, 50, 200, kRed}, {50, 0, 50, 200, kBlue}}));
    ASSERT_EQ(1, CWallpaperMaker().RenderWallpaper(picture, output, ""));
    EXPECT_EQ("BM", ReadFileBytes(output).substr(0, 2));
    const GdipBitmapPtr result = OpenBitmap(output);
    ASSERT_TRUE(result);
    const SIZE size = ImagePixelSize(result.get());
    EXPECT_TRUE(size.cx == screenWidth && size.cy == screenHeight);
    const FitRect fit = ComputeFit(screenWidth, screenHeight, 100, 200);
    ASSERT_GT(fit.x, 4u);
    for (POINT p :
         {POINT{0, 0}, POINT{static_cast<LONG>(fit.x) - 2, screenHeight / 2}, POINT{screenWidth - 1, screenHeight - 1}})
        EXPECT_TRUE(ColourNear(PixelAt(result.get(), p.x, p.y), kBlack)) << p.x << "," << p.y;
    EXPECT_TRUE(ColourNear(At(result.get(), 100, 200, 0.25, 0.5), kRed));
    EXPECT_TRUE(ColourNear(At(result.get(), 100, 200, 0.75, 0.1), kBlue));
    // The whole height is used.
    EXPECT_TRUE(ColourNear(PixelAt(result.get(), static_cast<int>(fit.x + fit.width / 4), 1), kRed, 40));
    EXPECT_EQ(fit.height, static_cast<uint32_t>(screenHeight));
}

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

TEST_F(WallpaperRender, UnknownOutputExtensionIsReportedAndNothingWritten) {
    const std::string picture = scratch.Path("ok.png"), output = scratch.Path("wallpaper.xyz");
    ASSERT_TRUE(SavePicture(picture, 32, 32, {{0, 0, 32, 32, kRed}}));
    // Closes the message box captioned "Quellwick" with Cancel and keeps its text.
    std::string text;
    std::thread closer([&text] {
        HWND box = nullptr;
        if (WaitFor([&] { return (box = FindWindowA("#32770", "Quellwick")) != nullptr; })) {
            char buffer[512] = {};
            GetDlgItemTextA(box, 0xFFFF, buffer, sizeof(buffer));
            text = buffer;
            PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
        }
    });
    EXPECT_EQ(0, CWallpaperMaker().RenderWallpaper(picture, output, ""));
    closer.join();
    EXPECT_EQ("Failed to determine the image encoder for " + output, text);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(output.c_str()));
}

TEST_F(WallpaperRender, EncodersAreFoundByExtensionIgnoringCase) {
    CLSID bmp, bmpUpper, jpeg, png, none;
    ASSERT_TRUE(FindEncoderForExtension(L".bmp", &bmp) && FindEncoderForExtension(L".BMP", &bmpUpper) &&
                FindEncoderForExtension(L".jpg", &jpeg) && FindEncoderForExtension(L".Png", &png));
    EXPECT_TRUE(IsEqualCLSID(bmp, bmpUpper));
    EXPECT_FALSE(IsEqualCLSID(bmp, jpeg) || IsEqualCLSID(jpeg, png));
    EXPECT_FALSE(FindEncoderForExtension(L".xyz", &none) || FindEncoderForExtension(L"", &none));
}

}  // namespace
