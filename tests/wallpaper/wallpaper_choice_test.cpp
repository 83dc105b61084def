#include <gtest/gtest.h>

#include "tests/catalog/catalog_fixture.h"
#include "services/picture_set.h"
#include "wallpaper/wallpaper_choice.h"

namespace {

TEST(WallpaperChoice, FollowsThePresentUnlessPinnedAndItsFilesShowTheView) {
    const std::vector<MoonEntry> entries = {Entry("new.jpg", 0, "new_a.png"), Entry("half.jpg", 50),
                                            Entry("full.jpg", 100, "full_a.png")};
    const struct {
        int moonType, selectedMoon;
        const char* paper;
    } cases[] = {
        {0, 1, "full.jpg"},  {1, 0, "new.jpg"},  {2, 0, "full.jpg"},     // only 1 pins; any other value follows
        {1, -1, "full.jpg"}, {1, 3, "full.jpg"}, {1, 1000, "full.jpg"},  // a pinned index outside the list
    };
    for (const auto& c : cases) {
        MoonEntry chosen;
        ASSERT_TRUE(ChooseWallpaper(entries[2], entries, {c.moonType, c.selectedMoon, {}}, &chosen));
        EXPECT_EQ(c.paper, chosen.paper) << c.moonType << " " << c.selectedMoon;
    }
    // Nothing to show without an entry; the choice is left alone.
    MoonEntry chosen;
    chosen.paper = "untouched";
    EXPECT_FALSE(ChooseWallpaper(MoonEntry(), {}, {0, 0, {}}, &chosen));
    EXPECT_FALSE(ChooseWallpaper(MoonEntry(), entries, {1, 7, {}}, &chosen));
    EXPECT_EQ("untouched", chosen.paper);

    // The overlay only when annotated and there is one; the southern view turns the picture
    // and takes the southern overlay.
    const CPictureSet pictures("D/");
    const struct {
        int entry;
        ViewSettings view;
        const char* overlay;
    } views[] = {{2, {false, false}, ""},
                 {2, {true, false}, "D/full_a.png"},
                 {1, {true, false}, ""},
                 {2, {true, true}, "D/full_a_south.png"},
                 {0, {false, true}, ""}};
    for (const auto& v : views) {
        const PictureFiles files = pictures.FilesFor(entries[v.entry], v.view);
        EXPECT_EQ("D/" + entries[v.entry].paper, files.picture.string());
        EXPECT_EQ(v.overlay, files.overlay.string()) << v.entry << v.view.annotated << v.view.southern;
        EXPECT_EQ(v.view.southern, files.turned);
    }
}

// A failed picture waits an hour (by the wrapping tick count) unless forced; another picture
// or other monitors are tried at once.
TEST(WallpaperChoice, AFailedPictureIsTriedAgainOnlyWhenForcedChangedOrAnHourLater) {
    const std::vector<MonitorRect> one = {{0, 0, 1280, 800}}, two = {{0, 0, 1280, 800}, {1280, 0, 2560, 800}};
    const RenderedFor installed{{"a.jpg", "", false}, one}, failedOne{{"b.jpg", "", false}, one};
    const uint32_t hour = kFailedRetryMs;
    const struct {
        RenderedFor wanted;
        uint32_t failedAt, now;
        bool force, expected;
    } cases[] = {
        {installed, 1000, 2000, false, false},
        {installed, 1000, 2000, true, true},
        {failedOne, 1000, 2000, false, false},
        {failedOne, 1000, 1000 + hour - 1, false, false},
        {failedOne, 1000, 1000 + hour, false, true},
        {failedOne, 0xFFFFF000u, 0x1000u, false, false},
        {failedOne, 1000, 2000, true, true},
        {{{"c.jpg", "", false}, one}, 1000, 2000, false, true},
        {{{"b.jpg", "", false}, two}, 1000, 2000, false, true},
        {{{"b.jpg", "b_ann.png", false}, one}, 1000, 2000, false, true},
    };
    for (const auto& c : cases) {
        const FailedAttempt failed{true, failedOne, c.failedAt, WallpaperStatus::FileInUse};
        EXPECT_EQ(c.expected, WallpaperNeedsInstall(c.wanted, installed, failed, c.now, c.force))
            << c.wanted.files.picture << " " << c.wanted.monitors.size() << " " << c.now << " " << c.force;
    }
}

// A live wallpaper is drawn again once its disc's edge would move by a pixel, and every ten
// minutes while the Earth's shadow lies on it.
TEST(WallpaperChoice, ALiveMoonIsDrawnAgainOnceItsEdgeMovesAPixelOrTheShadowMoves) {
    const LiveState last{2461000.0, 10.0, 1.0, 3.0, -2.0, 20.0, false};
    const double radius = 500.0;  // a pixel at the edge is 0.115 degrees
    const struct {
        LiveState now;
        bool expected;
    } cases[] = {
        {{2461000.01, 10.1, 1.0, 3.0, -2.0, 20.0, false}, false},
        {{2461000.01, 10.2, 1.0, 3.0, -2.0, 20.0, false}, true},
        {{2461000.01, 10.0, 1.0, 3.0, -2.0, 20.0 - 0.2, false}, true},
        {{2461000.01, 10.0, 1.0, 3.2, -2.0, 20.0, false}, true},
        {{2461000.01, 10.0, 1.0, 3.0, -2.0, 20.0 + 360.0, false}, false},  // a whole turn is no turn
        {{2461000.001, 10.0, 1.0, 3.0, -2.0, 20.0, true}, true},           // the shadow arrives
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, LiveNeedsRedraw(last, c.now, radius)) << c.now.julianDate << " " << c.now.turnDeg;
    LiveState eclipse = last;
    eclipse.inShadow = true;
    LiveState later = eclipse;
    later.julianDate += 9.0 / 1440.0;
    EXPECT_FALSE(LiveNeedsRedraw(eclipse, later, radius));
    later.julianDate += 1.0 / 1440.0;
    EXPECT_TRUE(LiveNeedsRedraw(eclipse, later, radius));
}

}  // namespace
