#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "moon_geometry.h"
#include "tests/moon_pictures/picture_measure.h"

// Checks of the data folder that the build stages: what the program will load.
namespace {

const std::string kData = QW_TEST_DATA_DIR "/";

std::vector<MoonEntry> StagedCatalogue() {
    return LoadCatalogue(kData + "Quellwicks.xml");
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
        ASSERT_EQ(2048, picture.width);
        ASSERT_EQ(2048, picture.height);
        const double phase = e.phase;
        const double percent = phase <= 100.0 ? phase : 200.0 - phase;
        const LitMeasure lit = MeasureLit(picture, disc, 24.0);
        EXPECT_NEAR(percent, lit.litPercent, 3.0) << e.paper;
        if (percent > 1.0 && percent < 99.0) {
            EXPECT_EQ(phase<100.0, lit.litCentreX> 0.0) << e.paper;
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
