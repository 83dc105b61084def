#include <gtest/gtest.h>

#include <windows.h>

#include <thread>

#include "tests/wallpaper/wallpaper_test_support.h"
#include "wallpaper/wallpaper_fit.h"
#include "wallpaper/wallpaper_maker.h"

using namespace wallpaper_test;
using Gdiplus::ARGB;

namespace {

constexpr ARGB kBlack = 0xFF000000;
constexpr ARGB kRed = 0xFFD02020;
constexpr ARGB kBlue = 0xFF2030D0;
constexpr ARGB kGreen = 0xFF20C040;

class WallpaperRender : public ::testing::Test {
protected:
    static void SetUpTestSuite() { session = new CGdiplusSession(); }
    static void TearDownTestSuite() {
        delete session;
        session = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(session->IsStarted());
        screenWidth = GetSystemMetrics(SM_CXSCREEN);
        screenHeight = GetSystemMetrics(SM_CYSCREEN);
    }

    // The centre of a rectangle given in picture fractions, mapped through the fit.
    POINT Mapped(const FitRect& fit, double fx, double fy) const {
        return POINT{static_cast<LONG>(fit.x + fx * fit.width), static_cast<LONG>(fit.y + fy * fit.height)};
    }

    static CGdiplusSession* session;
    CScratchFolder scratch{"qw_render"};
    int screenWidth = 0;
    int screenHeight = 0;
};

CGdiplusSession* WallpaperRender::session = nullptr;

TEST_F(WallpaperRender, PictureFittedAndCentredOnBlackAtScreenSize) {
    // Tall picture: left half red, right half blue. Letterboxed left and right.
    const std::string picture = scratch.Path("tall.png");
    ASSERT_TRUE(SavePicture(picture, 100, 200, {{0, 0, 50, 200, kRed}, {50, 0, 50, 200, kBlue}}));
    const std::string output = scratch.Path("Quellwick.bmp");

    ASSERT_EQ(1, CWallpaperMaker().RenderWallpaper(picture, output, ""));

    EXPECT_EQ("BM", ReadFileBytes(output).substr(0, 2));
    const GdipBitmapPtr result = OpenBitmap(output);
    ASSERT_TRUE(result);
    const SIZE size = ImagePixelSize(result.get());
    EXPECT_EQ(screenWidth, size.cx);
    EXPECT_EQ(screenHeight, size.cy);

    const FitRect fit = ComputeFit(screenWidth, screenHeight, 100, 200);
    ASSERT_GT(fit.x, 4u);
    for (POINT p : {POINT{0, 0}, POINT{static_cast<LONG>(fit.x) - 2, screenHeight / 2},
                    POINT{screenWidth - 1, screenHeight - 1}}) {
        EXPECT_TRUE(ColourNear(PixelAt(result.get(), p.x, p.y), kBlack)) << p.x << "," << p.y;
    }
    const POINT left = Mapped(fit, 0.25, 0.5);
    const POINT right = Mapped(fit, 0.75, 0.1);
    EXPECT_TRUE(ColourNear(PixelAt(result.get(), left.x, left.y), kRed))
        << std::hex << PixelAt(result.get(), left.x, left.y);
    EXPECT_TRUE(ColourNear(PixelAt(result.get(), right.x, right.y), kBlue));
    // The whole height is used.
    const POINT top = Mapped(fit, 0.25, 0.0);
    EXPECT_TRUE(ColourNear(PixelAt(result.get(), top.x, 1), kRed, 40));
    EXPECT_EQ(fit.height, static_cast<uint32_t>(screenHeight));
}

TEST_F(WallpaperRender, OverlayUsesThePictureSourceRectangleAndAMissingOneIsLeftOut) {
    // 200 x 200 red picture; 400 x 400 overlay whose top-left quarter is transparent but
    // for a green corner and whose other quarters are blue. Only the top-left 200 x 200
    // of the overlay may reach the canvas, so no blue shows.
    const std::string picture = scratch.Path("red.png");
    const std::string overlay = scratch.Path("overlay.png");
    ASSERT_TRUE(SavePicture(picture, 200, 200, {{0, 0, 200, 200, kRed}}));
    ASSERT_TRUE(SavePicture(overlay, 400, 400,
                            {{0, 0, 100, 100, kGreen}, {200, 0, 200, 400, kBlue}, {0, 200, 200, 200, kBlue}}));
    const std::string output = scratch.Path("annotated.bmp");

    ASSERT_EQ(1, CWallpaperMaker().RenderWallpaper(picture, output, overlay));

    const GdipBitmapPtr result = OpenBitmap(output);
    ASSERT_TRUE(result);
    const FitRect fit = ComputeFit(screenWidth, screenHeight, 200, 200);
    const POINT green = Mapped(fit, 0.25, 0.25);
    EXPECT_TRUE(ColourNear(PixelAt(result.get(), green.x, green.y), kGreen));
    for (POINT p : {Mapped(fit, 0.75, 0.25), Mapped(fit, 0.25, 0.75), Mapped(fit, 0.9, 0.9)})
        EXPECT_TRUE(ColourNear(PixelAt(result.get(), p.x, p.y), kRed)) << p.x << "," << p.y;

    // An overlay that cannot be read leaves the plain picture.
    const std::string plainOutput = scratch.Path("plain.bmp");
    ASSERT_EQ(1, CWallpaperMaker().RenderWallpaper(picture, plainOutput, scratch.Path("no_overlay.png")));
    const GdipBitmapPtr plain = OpenBitmap(plainOutput);
    ASSERT_TRUE(plain);
    EXPECT_TRUE(ColourNear(PixelAt(plain.get(), green.x, green.y), kRed));
}

TEST_F(WallpaperRender, FailuresKeepThePreviousFileAndReportFailure) {
    const std::string output = scratch.Path("keep.bmp");
    const std::string previous = "previous wallpaper";
    ASSERT_TRUE(WriteFileBytes(output, previous));

    // A picture that cannot be read would give a black wallpaper.
    EXPECT_EQ(0, CWallpaperMaker().RenderWallpaper(scratch.Path("missing.png"), output, ""));
    const std::string corrupt = scratch.Path("corrupt.png");
    ASSERT_TRUE(WriteFileBytes(corrupt, "not a picture"));
    EXPECT_EQ(0, CWallpaperMaker().RenderWallpaper(corrupt, output, ""));
    EXPECT_TRUE(previous == ReadFileBytes(output));

    // The output cannot be replaced (a folder is in the way): the save is not reported
    // as done, and the folder is left alone.
    const std::string picture = scratch.Path("ok.png");
    ASSERT_TRUE(SavePicture(picture, 32, 32, {{0, 0, 32, 32, kRed}}));
    const std::string blocked = scratch.Path("blocked.bmp");
    ASSERT_TRUE(CreateDirectoryA(blocked.c_str(), nullptr));
    EXPECT_EQ(0, CWallpaperMaker().RenderWallpaper(picture, blocked, ""));
    EXPECT_NE(0u, GetFileAttributesA(blocked.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((blocked + ".tmp").c_str()));

    // The folder does not exist: nothing can be saved.
    EXPECT_EQ(0, CWallpaperMaker().RenderWallpaper(picture, scratch.Path("absent\\x.bmp"), ""));

    // No temporary file is left behind, and a later attempt succeeds.
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((output + ".tmp").c_str()));
    EXPECT_EQ(1, CWallpaperMaker().RenderWallpaper(picture, output, ""));
    EXPECT_EQ("BM", ReadFileBytes(output).substr(0, 2));
}

TEST_F(WallpaperRender, UnknownOutputExtensionIsReportedAndNothingWritten) {
    const std::string picture = scratch.Path("ok.png");
    ASSERT_TRUE(SavePicture(picture, 32, 32, {{0, 0, 32, 32, kRed}}));
    const std::string output = scratch.Path("wallpaper.xyz");
    // Closes the message box captioned "Quellwick" with Cancel and keeps its text.
    std::string text;
    std::thread closer([&text] {
        for (int i = 0; i < 200; ++i, Sleep(50)) {
            if (const HWND box = FindWindowA("#32770", "Quellwick")) {
                char buffer[512] = {};
                GetDlgItemTextA(box, 0xFFFF, buffer, sizeof(buffer));
                text = buffer;
                PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
                return;
            }
        }
    });
    EXPECT_EQ(0, CWallpaperMaker().RenderWallpaper(picture, output, ""));
    closer.join();
    EXPECT_EQ("Failed to determine the image encoder for " + output, text);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(output.c_str()));
}

TEST(EncoderLookup, FindsEncodersByExtensionIgnoringCase) {
    CGdiplusSession session;
    CLSID bmp, bmpUpper, jpeg, png;
    ASSERT_TRUE(FindEncoderForExtension(".bmp", &bmp));
    ASSERT_TRUE(FindEncoderForExtension(".BMP", &bmpUpper));
    ASSERT_TRUE(FindEncoderForExtension(".jpg", &jpeg));
    ASSERT_TRUE(FindEncoderForExtension(".Png", &png));
    EXPECT_TRUE(IsEqualCLSID(bmp, bmpUpper));
    EXPECT_FALSE(IsEqualCLSID(bmp, jpeg));
    EXPECT_FALSE(IsEqualCLSID(jpeg, png));
    CLSID none;
    EXPECT_FALSE(FindEncoderForExtension(".xyz", &none));
    EXPECT_FALSE(FindEncoderForExtension("", &none));
}

}  // namespace
