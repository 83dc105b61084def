#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "settings_dialog/embedded_thumbnail.h"

namespace {

std::vector<unsigned char> Seed(const char* path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The crafted seed's 1 x 1 RGB thumbnail gives its bits a sample in 200 entries of a thousand values
// each: the reader once read them all, so that its work grew with their product, not the block's size.
TEST(EmbeddedThumbnail, CraftedCountsAreRefusedWithinABoundOfTheBlocksSize) {
    const std::vector<unsigned char> rgb = Seed(QW_THUMBNAIL_SEEDS "/overlay_with_rgb_thumbnail.png");
    EXPECT_EQ(EmbeddedThumbnail::Kind::Rgb, FindEmbeddedThumbnail(rgb.data(), rgb.size()).kind);
    const std::vector<unsigned char> crafted = Seed(QW_THUMBNAIL_SEEDS "/repeated_bits_per_sample.png");
    const EmbeddedThumbnail found = FindEmbeddedThumbnail(crafted.data(), crafted.size());
    EXPECT_EQ(EmbeddedThumbnail::Kind::None, found.kind);
    EXPECT_LE(found.reads, exif::kMaxReadsPerByte * crafted.size());
}

}  // namespace
