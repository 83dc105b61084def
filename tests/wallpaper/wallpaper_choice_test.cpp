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

// A failed picture waits an hour (by the wrapping tick count) unless forced; another picture
// or other monitors are tried at once.
TEST(WallpaperChoice, AFailedPictureIsTriedAgainOnlyWhenForcedChangedOrAnHourLater) {
    const std::vector<MonitorRect> one = {{0, 0, 1280, 800}}, two = {{0, 0, 1280, 800}, {1280, 0, 2560, 800}};
    const RenderedFor installed{"a.jpg", one}, failedOne{"b.jpg", one};
    const uint32_t hour = kFailedRetryMs;
    const struct {
        RenderedFor wanted;
        uint32_t failedAt, now;
        bool force, expected;
    } cases[] = {
        {installed, 1000, 2000, false, false},       {installed, 1000, 2000, true, true},
        {failedOne, 1000, 2000, false, false},       {failedOne, 1000, 1000 + hour - 1, false, false},
        {failedOne, 1000, 1000 + hour, false, true}, {failedOne, 0xFFFFF000u, 0x1000u, false, false},
        {failedOne, 1000, 2000, true, true},         {{"c.jpg", one}, 1000, 2000, false, true},
        {{"b.jpg", two}, 1000, 2000, false, true},
    };
    for (const auto& c : cases) {
        const FailedAttempt failed{true, failedOne, c.failedAt, WallpaperStatus::FileInUse};
        EXPECT_EQ(c.expected, WallpaperNeedsInstall(c.wanted, installed, failed, c.now, c.force))
            << c.wanted.paper << " " << c.wanted.monitors.size() << " " << c.now << " " << c.force;
    }
}

}  // namespace
