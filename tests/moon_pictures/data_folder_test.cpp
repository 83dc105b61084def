#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "catalog/moon_catalog.h"
#include "image_io.h"
#include "moon_geometry.h"

// Checks of the data folder that the build stages: what the program will load.
namespace {

const std::string kData = QW_TEST_DATA_DIR "/";

// The staged catalogue, read with the program's own loader (Windows builds under Wine see
// the build machine's files through drive Z:).
std::vector<MoonEntry> StagedCatalogue() {
    std::string path = kData + "Quellwicks.xml";
#ifdef _WIN32
    for (char& c : path)
        c = c == '/' ? '\\' : c;
#endif
    CMoonCatalog catalog;
    EXPECT_GE(catalog.Load(path), 0) << path;
    return catalog.GetEntries();
}

TEST(DataFolder, CatalogueLoadsAndNamesOnlyFilesThatExist) {
    const std::vector<MoonEntry> entries = StagedCatalogue();
    ASSERT_GE(entries.size(), 61u);
    double previous = -1.0;
    for (const MoonEntry& e : entries) {
        EXPECT_GT(e.phase, previous) << e.title;
        previous = e.phase;
        EXPECT_TRUE(std::ifstream(kData + e.paper).good()) << e.paper;
        EXPECT_TRUE(std::ifstream(kData + e.ann).good()) << e.ann;
        EXPECT_FALSE(e.title.empty());
        EXPECT_NE(std::string::npos, e.description.find("\r\n")) << e.title;
    }
    EXPECT_EQ(0.0, entries.front().phase);
    EXPECT_EQ(200.0, entries.back().phase);
}

TEST(DataFolder, PicturesAreLitAsTheirEntriesSay) {
    const std::vector<MoonEntry> entries = StagedCatalogue();
    ASSERT_GE(entries.size(), 61u);
    const DiscLayout disc = MakeDiscLayout(2048);
    // New moon, a crescent, first quarter, full moon, last quarter.
    for (size_t index : {size_t(0), size_t(8), size_t(16), entries.size() / 2 - 1, entries.size() * 3 / 4}) {
        const MoonEntry& e = entries[index];
        Image picture, overlay;
        ASSERT_TRUE(LoadImageFile(kData + e.paper, 3, picture)) << e.paper;
        ASSERT_TRUE(picture.width == 2048 && picture.height == 2048) << e.paper;
        // The share of the disc (clear of the anti-aliased limb) that is lit, and the mean x
        // of the lit pixels relative to the disc's centre, in radii.
        long inside = 0, lit = 0;
        double sumX = 0.0;
        for (int y = 0; y < picture.height; ++y) {
            for (int x = 0; x < picture.width; ++x) {
                const double dx = x + 0.5 - disc.centre, dy = y + 0.5 - disc.centre;
                if (std::hypot(dx, dy) > disc.radius - 1.0)
                    continue;
                ++inside;
                const unsigned char* p = picture.At(x, y);
                if (p[0] + p[1] + p[2] > 3 * 24) {
                    ++lit;
                    sumX += dx / disc.radius;
                }
            }
        }
        const double percent = e.phase <= 100.0 ? e.phase : 200.0 - e.phase;
        EXPECT_NEAR(percent, 100.0 * lit / inside, 3.0) << e.paper;
        if (percent > 1.0 && percent < 99.0) {
            EXPECT_EQ(e.phase < 100.0, sumX > 0.0) << e.paper << ": waxing is lit on the right";
        }

        int channels = 0;
        ASSERT_TRUE(LoadImageFile(kData + e.ann, 4, overlay)) << e.ann;
        ASSERT_EQ(2048, overlay.width);
        for (int corner : {0, 2047})
            EXPECT_EQ(0, overlay.At(corner, corner)[3] | overlay.At(corner, corner)[0]) << e.ann;
        for (size_t at = 3; at < overlay.pixels.size(); at += 4)
            channels += overlay.pixels[at] != 0;
        EXPECT_GT(channels, 20000) << e.ann;
    }
}

}  // namespace
