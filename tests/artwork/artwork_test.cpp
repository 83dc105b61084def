#include "artwork.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "tests/artwork/artwork_files.h"

namespace {

const std::map<std::string, std::vector<unsigned char>>& Generated() {
    static Image map;
    static const bool loaded = LoadImageFile(QW_TEST_MOON_MAP, 3, map);
    static const auto files = GenerateArtwork(map);
    EXPECT_TRUE(loaded);
    return files;
}

const std::vector<unsigned char>& File(const std::string& name) {
    static const std::vector<unsigned char> none;
    const auto found = Generated().find(name);
    EXPECT_NE(Generated().end(), found) << name;
    return found == Generated().end() ? none : found->second;
}

const char* const kStrips[] = {"button_close.bmp",       "button_zoom_in.bmp",     "button_zoom_out.bmp",
                               "button_actual_size.bmp", "button_best_fit.bmp",    "button_annotations.bmp",
                               "button_next_phase.bmp",  "button_previous_phase.bmp"};

TEST(Artwork, CommittedResourcesAreWhatTheGeneratorMakes) {
    ASSERT_EQ(11u, Generated().size());
    for (const auto& file : Generated()) {
        std::vector<unsigned char> committed;
        ASSERT_TRUE(ReadFileBytes(std::string(QW_TEST_RESOURCE_DIR) + "/" + file.first, committed)) << file.first;
        EXPECT_TRUE(committed == file.second) << file.first << " differs: run the artwork generator again";
    }
}

TEST(Artwork, IconHoldsEverySizeAndColourDepth) {
    unsigned type = 0;
    const std::vector<DirectoryEntry> images = ReadDirectory(File("quellwick.ico"), type);
    EXPECT_EQ(1u, type);
    std::set<std::pair<int, unsigned>> found;
    for (const DirectoryEntry& e : images) {
        EXPECT_EQ(e.width, e.height);
        EXPECT_EQ(1u, e.planesOrHotX);
        EXPECT_LE(e.offset + e.size, File("quellwick.ico").size());
        found.insert({e.width, e.bitsOrHotY});
        if (e.bitsOrHotY == 4) {
            EXPECT_EQ(16, e.colourCount);
        }
        if (e.width < 256) {  // a DIB whose height counts the mask too
            EXPECT_EQ(static_cast<uint32_t>(2 * e.height), Read32(File("quellwick.ico"), e.offset + 8));
        }
    }
    const std::set<std::pair<int, unsigned>> wanted = {{16, 4}, {32, 4}, {16, 8}, {32, 8}, {48, 32}, {256, 32}};
    EXPECT_EQ(wanted, found);
}

// Its size and hot spot are checked on the compiled resource.
TEST(Artwork, CursorIsAMonochromeHand) {
    const std::vector<unsigned char>& cursor = File("hand.cur");
    unsigned type = 0;
    const std::vector<DirectoryEntry> images = ReadDirectory(cursor, type);
    EXPECT_EQ(2u, type);
    ASSERT_EQ(1u, images.size());
    const size_t dib = images[0].offset;
    EXPECT_EQ(1u, Read16(cursor, dib + 14));  // one bit per pixel
    // Rows are bottom-up, 4 bytes each: the colour bits, then the mask.
    auto bit = [&](size_t plane, int x, int y) {
        return (cursor[dib + 40 + 8 + plane * 128 + (31 - y) * 4 + x / 8] >> (7 - x % 8)) & 1;
    };
    EXPECT_EQ(1, bit(0, 16, 15));  // white
    EXPECT_EQ(0, bit(1, 16, 15));  // opaque
    EXPECT_EQ(1, bit(1, 0, 0));    // the corners show the screen
    EXPECT_EQ(1, bit(1, 31, 31));
    int opaque = 0, black = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (!bit(1, x, y)) {
                ++opaque;
                black += !bit(0, x, y);
            }
    EXPECT_GT(opaque, 150);
    EXPECT_GT(black, 60);  // an outline that shows on white ground
}

TEST(Artwork, EachStripShowsItsGlyphInFourDistinctStatesWithAGreyDisabledCell) {
    std::set<std::vector<int>> normalCells;
    for (const char* name : kStrips) {
        const std::vector<unsigned char>& file = File(name);
        const BitmapInfo info = ReadBitmapFile(file);
        std::vector<std::vector<int>> cells(4);
        for (int cell = 0; cell < 4; ++cell)
            for (int y = 0; y < 21; ++y)
                for (int x = 0; x < 21; ++x)
                    for (int c : BitmapPixel(file, info, cell * 21 + x, y))
                        cells[cell].push_back(c);
        for (int a = 0; a < 4; ++a)
            for (int b = a + 1; b < 4; ++b)
                EXPECT_NE(cells[a], cells[b]) << name << " cells " << a << " and " << b;
        EXPECT_TRUE(normalCells.insert(cells[0]).second) << name << " looks like another button";
        // The disabled glyph is drawn in grey: its brightest pixel has no colour cast.
        int brightest = -1;
        std::vector<int> colour;
        for (int y = 0; y < 21; ++y)
            for (int x = 0; x < 21; ++x) {
                const std::vector<int> p = BitmapPixel(file, info, 63 + x, y);
                if (p[0] + p[1] + p[2] > brightest) {
                    brightest = p[0] + p[1] + p[2];
                    colour = p;
                }
            }
        EXPECT_LE(std::abs(colour[0] - colour[2]), 16) << name;
        // The normal glyph stands out clearly from the bar behind it.
        int lightest = 0;
        for (size_t i = 0; i < cells[0].size(); i += 3)
            lightest = std::max(lightest, cells[0][i + 1]);
        EXPECT_GT(lightest, 200) << name;
    }
}

}  // namespace
