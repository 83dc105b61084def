#include <gtest/gtest.h>

#include "tests/unit/catalog_fixture.h"
#include "wallpaper/wallpaper_choice.h"

namespace {

TEST(WallpaperChoice, FollowsThePresentUnlessPinnedAndOverlaysOnlyWhenAsked) {
    const std::vector<MoonEntry> entries = {Entry("new.jpg", 0, "new_a.png"), Entry("half.jpg", 50),
                                            Entry("full.jpg", 100, "full_a.png")};
    const struct {
        int moonType, selectedMoon, annotate;
        const char* paper;
        const char* overlay;
    } cases[] = {
        {0, 1, 0, "full.jpg", ""},           {1, 0, 0, "new.jpg", ""},
        {2, 0, 0, "full.jpg", ""},  // only 1 pins; any other value follows the present
        {1, -1, 0, "full.jpg", ""},          {1, 3, 0, "full.jpg", ""},  // a pinned index outside the list
        {1, 1000, 0, "full.jpg", ""},        {0, 0, 1, "full.jpg", "full_a.png"},
        {0, 0, 5, "full.jpg", "full_a.png"}, {1, 1, 1, "half.jpg", ""},  // an entry without an overlay
    };
    for (const auto& c : cases) {
        WallpaperChoice choice;
        ASSERT_TRUE(ChooseWallpaper(entries[2], entries, c.moonType, c.selectedMoon, c.annotate, &choice));
        EXPECT_EQ(c.paper, choice.paper) << c.moonType << " " << c.selectedMoon << " " << c.annotate;
        EXPECT_EQ(c.overlay, choice.annotated) << c.moonType << " " << c.selectedMoon << " " << c.annotate;
    }
    // Nothing to show without an entry; the choice is left alone.
    WallpaperChoice choice;
    choice.paper = "untouched";
    EXPECT_FALSE(ChooseWallpaper(MoonEntry(), {}, 0, 0, 1, &choice));
    EXPECT_FALSE(ChooseWallpaper(MoonEntry(), {}, 1, 0, 1, &choice));
    EXPECT_FALSE(ChooseWallpaper(MoonEntry(), entries, 1, 7, 1, &choice));
    EXPECT_EQ("untouched", choice.paper);
}

}  // namespace
