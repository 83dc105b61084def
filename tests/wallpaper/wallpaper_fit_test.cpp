#include <gtest/gtest.h>

#include "wallpaper/wallpaper_fit.h"

namespace {

struct FitCase {
    uint32_t canvasWidth, canvasHeight, pictureWidth, pictureHeight;
    double scale;
    uint32_t width, height, x, y;
};

void PrintTo(const FitCase& c, std::ostream* os) {
    *os << c.pictureWidth << "x" << c.pictureHeight << " on " << c.canvasWidth << "x" << c.canvasHeight;
}

class FitTable : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitTable, ScalesToTheSmallerRatioAndCentres) {
    const FitCase& c = GetParam();
    const FitRect fit = ComputeFit(c.canvasWidth, c.canvasHeight, c.pictureWidth, c.pictureHeight);
    EXPECT_DOUBLE_EQ(c.scale, fit.scale);
    EXPECT_EQ(c.width, fit.width);
    EXPECT_EQ(c.height, fit.height);
    EXPECT_EQ(c.x, fit.x);
    EXPECT_EQ(c.y, fit.y);
}

INSTANTIATE_TEST_SUITE_P(Wallpaper, FitTable,
                         ::testing::Values(FitCase{1024, 768, 640, 480, 1.6, 1024, 768, 0, 0},
                                           FitCase{1024, 768, 600, 600, 1.28, 768, 768, 128, 0},
                                           FitCase{1280, 1024, 500, 300, 2.56, 1280, 768, 0, 128},
                                           // 716.8 and 1022.976 are truncated, not rounded
                                           FitCase{1024, 768, 1000, 700, 1.024, 1024, 716, 0, 26},
                                           FitCase{1024, 768, 333, 250, 3.072, 1022, 768, 1, 0},
                                           FitCase{800, 600, 1600, 1200, 0.5, 800, 600, 0, 0}));

TEST(WallpaperFit, PictureWithoutPixelsDrawsNothing) {
    for (const FitRect& fit : {ComputeFit(1024, 768, 0, 480), ComputeFit(1024, 768, 640, 0)}) {
        EXPECT_EQ(0u, fit.width);
        EXPECT_EQ(0u, fit.height);
    }
}

TEST(WallpaperFit, ExtremeProportionsStayInsideTheCanvas) {
    const FitRect tall = ComputeFit(3840, 2160, 1, 65535);
    EXPECT_EQ(2160u, tall.height);
    EXPECT_LE(tall.x + tall.width, 3840u);
    const FitRect wide = ComputeFit(1280, 800, 100000, 3);
    EXPECT_EQ(1280u, wide.width);
    EXPECT_LE(wide.y + wide.height, 800u);
}

TEST(EncoderExtension, ListPiecesMatchIgnoringCase) {
    const std::wstring bmpList = L"*.BMP;*.DIB;*.RLE";
    EXPECT_TRUE(ExtensionListMatches(bmpList, L".bmp"));
    EXPECT_TRUE(ExtensionListMatches(L"*.jpg;*.jpeg", L".JPEG"));
    EXPECT_FALSE(ExtensionListMatches(bmpList, L".bm"));
    EXPECT_FALSE(ExtensionListMatches(bmpList, L".png"));
    // A path without extension asks for "*" alone, which only a "*" piece answers.
    EXPECT_FALSE(ExtensionListMatches(bmpList, L""));
    EXPECT_TRUE(ExtensionListMatches(L"*.TIF;*", L""));
    EXPECT_FALSE(ExtensionListMatches(L"", L".bmp"));
}

}  // namespace
