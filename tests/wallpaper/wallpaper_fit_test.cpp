#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wallpaper/wallpaper_fit.h"
#include "wallpaper/wallpaper_layout.h"

void PrintTo(const DrawRect& d, std::ostream* os) {
    *os << "(" << d.x << "," << d.y << " " << d.width << "x" << d.height << ")";
}

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
                                           FitCase{800, 600, 1600, 1200, 0.5, 800, 600, 0, 0},
                                           // Extreme proportions stay inside the canvas.
                                           FitCase{3840, 2160, 1, 65535, 2160.0 / 65535, 0, 2160, 1920, 0},
                                           FitCase{1280, 800, 100000, 3, 0.0128, 1280, 0, 0, 400},
                                           // A picture without pixels draws nothing.
                                           FitCase{1024, 768, 0, 480, 0.0, 0, 0, 0, 0},
                                           FitCase{1024, 768, 640, 0, 0.0, 0, 0, 0, 0}));

// A 400 x 400 picture: a draw that is not square would show the Moon out of shape.
struct LayoutCase {
    const char* name;
    std::vector<MonitorRect> monitors;
    bool canSpan;
    const char* style;
    const char* tile;
    uint32_t width, height;
    std::vector<DrawRect> draws;
};

void PrintTo(const LayoutCase& c, std::ostream* os) {
    *os << c.name;
}

class LayoutTable : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutTable, FitsTheMoonToEachMonitorOnOneBitmap) {
    const LayoutCase& c = GetParam();
    const WallpaperLayout layout = LayoutWallpaper(c.monitors, c.canSpan, 400, 400);
    EXPECT_STREQ(c.style, WallpaperStyleValue(layout.arrangement));
    EXPECT_STREQ(c.tile, TileWallpaperValue(layout.arrangement));
    EXPECT_EQ(c.width, layout.width);
    EXPECT_EQ(c.height, layout.height);
    EXPECT_EQ(c.draws, layout.draws);
    EXPECT_EQ(layout.arrangement, ArrangementFor(c.monitors, c.canSpan));
}

INSTANTIATE_TEST_SUITE_P(
    Wallpaper, LayoutTable,
    ::testing::Values(
        // One monitor keeps the screen-sized, stretched bitmap, even where spanning exists.
        LayoutCase{"single", {{0, 0, 1366, 768}}, true, "2", "0", 1366, 768, {{299, 0, 768, 768}}},
        LayoutCase{"side by side", {{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}}, true, "22", "0", 3200, 1080,
                   {{420, 0, 1080, 1080}, {2048, 0, 1024, 1024}}},
        LayoutCase{"stacked", {{0, 0, 1600, 900}, {0, 900, 1280, 1924}}, true, "22", "0", 1600, 1924,
                   {{350, 0, 900, 900}, {128, 900, 1024, 1024}}},
        // A 4K primary beside a portrait monitor of another density.
        LayoutCase{"portrait beside 4K",
                   {{0, 0, 3840, 2160}, {3840, 0, 5280, 2560}},
                   true, "22", "0", 5280, 2560,
                   {{840, 0, 2160, 2160}, {3840, 560, 1440, 1440}}},
        LayoutCase{"left of and above the primary, spanned",
                   {{0, 0, 1920, 1080}, {-1280, -200, 0, 824}},
                   true, "22", "0", 3200, 1280,
                   {{1700, 200, 1080, 1080}, {128, 0, 1024, 1024}}},
        // Tiles start at the primary's origin: the left monitor's Moon sits at the right
        // end, its top 200 rows at the bottom and the rest wrapped to the top.
        LayoutCase{"left of and above the primary, tiled",
                   {{0, 0, 1920, 1080}, {-1280, -200, 0, 824}},
                   false, "0", "1", 3200, 1280,
                   {{420, 0, 1080, 1080}, {2048, 1080, 1024, 1024}, {2048, -200, 1024, 1024}}},
        LayoutCase{"below and across the origin, tiled",
                   {{0, 0, 1920, 1080}, {-640, 1080, 1280, 2160}},
                   false, "0", "1", 2560, 2160,
                   {{420, 0, 1080, 1080}, {2340, 1080, 1080, 1080}, {-220, 1080, 1080, 1080}}},
        // Wine reports every monitor at the origin: both show the part they share.
        LayoutCase{"overlapping at the origin",
                   {{0, 0, 1600, 900}, {0, 0, 1280, 1024}},
                   true, "22", "0", 1600, 1024,
                   {{190, 0, 900, 900}, {190, 0, 900, 900}}},
        LayoutCase{"no monitors", {}, true, "2", "0", 0, 0, {}}));

}  // namespace
