#include "artwork.h"

#include <gtest/gtest.h>

namespace {

const std::map<std::string, std::vector<unsigned char>>& Generated() {
    static Image map;
    static const bool loaded = LoadImageFile(QW_TEST_MOON_MAP, 3, map);
    static const auto files = GenerateArtwork(map);
    EXPECT_TRUE(loaded);
    return files;
}

TEST(Artwork, CommittedResourcesAreWhatTheGeneratorMakes) {
    ASSERT_EQ(11u, Generated().size());
    for (const auto& file : Generated()) {
        std::vector<unsigned char> committed;
        ASSERT_TRUE(ReadFileBytes(std::string(QW_TEST_RESOURCE_DIR) + "/" + file.first, committed)) << file.first;
        EXPECT_TRUE(committed == file.second) << file.first << " differs: run the artwork generator again";
    }
}

}  // namespace
