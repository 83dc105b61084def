#include <gtest/gtest.h>

#include "settings_dialog/settings_choice.h"

namespace {

TEST(SettingsDialogPlacement, CentresInTheWorkAreaAndStaysInsideIt) {
    // A work area that does not start at the screen's origin (a task bar at the top).
    const ScreenRect workArea = {0, 40, 1280, 800};
    const struct {
        ScreenRect area;
        int width, height, x, y;
    } cases[] = {
        {workArea, 400, 300, 440, 270},
        {{10, 10, 111, 111}, 51, 51, 35, 35},  // odd sizes round the same way on both axes
        {workArea, 1500, 900, 0, 40},          // too large: the area's top-left corner wins
        {workArea, 1280, 760, 0, 40},
    };
    for (const auto& c : cases) {
        const WindowCorner corner = CentreInWorkArea(c.area, c.width, c.height);
        EXPECT_EQ(c.x, corner.x) << c.width << " x " << c.height;
        EXPECT_EQ(c.y, corner.y) << c.width << " x " << c.height;
    }
}

TEST(SettingsDialogShownEntry, FollowsTheModeAndNeverLeavesTheCatalogue) {
    // Current-time mode shows the present moment's entry whatever the list says.
    EXPECT_EQ(2, ShownEntryIndex(true, 2, 4, 5));
    EXPECT_EQ(-1, ShownEntryIndex(true, -1, 4, 5));
    // Choose mode shows the selected line.
    EXPECT_EQ(4, ShownEntryIndex(false, 2, 4, 5));
    EXPECT_EQ(0, ShownEntryIndex(false, 2, 0, 5));
    // No line, a line past the end, an empty catalogue: nothing to show.
    EXPECT_EQ(-1, ShownEntryIndex(false, 2, -1, 5));
    EXPECT_EQ(-1, ShownEntryIndex(false, 2, 5, 5));
    EXPECT_EQ(-1, ShownEntryIndex(false, 0, 0, 0));
    EXPECT_EQ(-1, ShownEntryIndex(true, 0, 0, 0));
}

TEST(SettingsDialogApply, StoresTheModeAndIndexOnlyForAValidLine) {
    const ApplyPlan current = PlanApply(true, true, 3, 5);
    EXPECT_TRUE(current.storeMoonType);
    EXPECT_EQ(0, current.moonType);
    EXPECT_FALSE(current.storeSelectedMoon) << "current-time mode keeps the pinned index";
    EXPECT_EQ(1, current.annotate);

    const ApplyPlan chosen = PlanApply(false, false, 4, 5);
    EXPECT_TRUE(chosen.storeMoonType && chosen.storeSelectedMoon);
    EXPECT_EQ(1, chosen.moonType);
    EXPECT_EQ(4, chosen.selectedMoon);
    EXPECT_EQ(0, chosen.annotate);

    for (const int selection : {-1, 5, 7}) {
        const ApplyPlan none = PlanApply(false, true, selection, 5);
        EXPECT_FALSE(none.storeMoonType || none.storeSelectedMoon) << selection;
        EXPECT_EQ(1, none.annotate) << selection;
    }
    const ApplyPlan empty = PlanApply(false, false, 0, 0);
    EXPECT_FALSE(empty.storeMoonType || empty.storeSelectedMoon);
    // The current-time mode needs no index, so an empty catalogue does not stop it.
    EXPECT_TRUE(PlanApply(true, false, -1, 0).storeMoonType);
}

}  // namespace
