#include <gtest/gtest.h>

#include "refresh/tray_text.h"
#include "tests/unit/catalog_fixture.h"
#include "wallpaper/wallpaper_choice.h"

namespace {

class WallpaperChoiceTest : public ::testing::Test {
protected:
    const std::vector<MoonEntry> entries = {Entry("new.jpg", 0, "new_a.png"), Entry("half.jpg", 50),
                                            Entry("full.jpg", 100, "full_a.png")};
    const MoonEntry current = entries[2];
    WallpaperChoice choice;
};

TEST_F(WallpaperChoiceTest, FollowsThePresentUnlessPinned) {
    ASSERT_TRUE(ChooseWallpaper(current, entries, 0, 1, 0, &choice));
    EXPECT_EQ("full.jpg", choice.paper);
    EXPECT_EQ("", choice.annotated);

    ASSERT_TRUE(ChooseWallpaper(current, entries, 1, 0, 0, &choice));
    EXPECT_EQ("new.jpg", choice.paper);

    // Only 1 pins; any other stored value follows the present phase.
    ASSERT_TRUE(ChooseWallpaper(current, entries, 2, 0, 0, &choice));
    EXPECT_EQ("full.jpg", choice.paper);
}

TEST_F(WallpaperChoiceTest, PinnedIndexOutsideTheListFollowsThePresent) {
    for (int index : {-1, 3, 1000}) {
        ASSERT_TRUE(ChooseWallpaper(current, entries, 1, index, 0, &choice)) << index;
        EXPECT_EQ("full.jpg", choice.paper) << index;
    }
}

TEST_F(WallpaperChoiceTest, NothingToShowWithoutAnEntry) {
    choice.paper = "untouched";
    EXPECT_FALSE(ChooseWallpaper(MoonEntry(), {}, 0, 0, 1, &choice));
    EXPECT_FALSE(ChooseWallpaper(MoonEntry(), {}, 1, 0, 1, &choice));
    EXPECT_FALSE(ChooseWallpaper(MoonEntry(), entries, 1, 7, 1, &choice));
    EXPECT_EQ("untouched", choice.paper);
}

TEST_F(WallpaperChoiceTest, OverlayOnlyWhenAnnotatingAndTheEntryHasOne) {
    ASSERT_TRUE(ChooseWallpaper(current, entries, 0, 0, 1, &choice));
    EXPECT_EQ("full_a.png", choice.annotated);
    ASSERT_TRUE(ChooseWallpaper(current, entries, 0, 0, 5, &choice));
    EXPECT_EQ("full_a.png", choice.annotated);
    ASSERT_TRUE(ChooseWallpaper(current, entries, 1, 1, 1, &choice));
    EXPECT_EQ("half.jpg", choice.paper);
    EXPECT_EQ("", choice.annotated);
}

}  // namespace
