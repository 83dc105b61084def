#include <gtest/gtest.h>

#include "settings_dialog/settings_choice.h"

namespace {

TEST(SettingsDialogPlacement, CentresInTheWorkAreaAndStaysInsideIt) {
    // A work area that does not start at the screen's origin (a task bar at the top).
    const ScreenRect workArea = {0, 40, 1280, 800};
    const ScreenPoint centred = CentreInWorkArea(workArea, 400, 300);
    EXPECT_EQ(440, centred.x);
    EXPECT_EQ(270, centred.y);

    // Odd sizes round the same way on both axes.
    const ScreenPoint odd = CentreInWorkArea({10, 10, 111, 111}, 51, 51);
    EXPECT_EQ(35, odd.x);
    EXPECT_EQ(35, odd.y);

    // Too wide or too tall: the top-left corner of the area wins.
    const ScreenPoint large = CentreInWorkArea(workArea, 1500, 900);
    EXPECT_EQ(0, large.x);
    EXPECT_EQ(40, large.y);

    const ScreenPoint exact = CentreInWorkArea(workArea, 1280, 760);
    EXPECT_EQ(0, exact.x);
    EXPECT_EQ(40, exact.y);
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
    EXPECT_TRUE(chosen.storeMoonType);
    EXPECT_EQ(1, chosen.moonType);
    EXPECT_TRUE(chosen.storeSelectedMoon);
    EXPECT_EQ(4, chosen.selectedMoon);
    EXPECT_EQ(0, chosen.annotate);

    for (const int selection : {-1, 5, 7}) {
        const ApplyPlan none = PlanApply(false, true, selection, 5);
        EXPECT_FALSE(none.storeMoonType) << selection;
        EXPECT_FALSE(none.storeSelectedMoon) << selection;
        EXPECT_EQ(1, none.annotate) << selection;
    }
    const ApplyPlan empty = PlanApply(false, false, 0, 0);
    EXPECT_FALSE(empty.storeMoonType);
    EXPECT_FALSE(empty.storeSelectedMoon);
    // The current-time mode needs no index, so an empty catalogue does not stop it.
    EXPECT_TRUE(PlanApply(true, false, -1, 0).storeMoonType);
}

TEST(PreviewBackground, FillsOnlyWhatThePictureLeavesUncovered) {
    // The picture in the corner of a larger control: the strip to its right as high as
    // the picture, then the full width below it.
    const PreviewStrips strips = PreviewBackgroundStrips(133, 128 + 5, 128, 128);
    ASSERT_TRUE(strips.right.used);
    EXPECT_EQ(128, strips.right.rect.left);
    EXPECT_EQ(0, strips.right.rect.top);
    EXPECT_EQ(133, strips.right.rect.right);
    EXPECT_EQ(128, strips.right.rect.bottom);
    ASSERT_TRUE(strips.below.used);
    EXPECT_EQ(0, strips.below.rect.left);
    EXPECT_EQ(128, strips.below.rect.top);
    EXPECT_EQ(133, strips.below.rect.right);
    EXPECT_EQ(133, strips.below.rect.bottom);

    // No picture: the strip below is the whole control.
    const PreviewStrips blank = PreviewBackgroundStrips(133, 125, 0, 0);
    ASSERT_TRUE(blank.below.used);
    EXPECT_EQ(0, blank.below.rect.top);
    EXPECT_EQ(125, blank.below.rect.bottom);
    EXPECT_EQ(133, blank.below.rect.right);

    // A strip one pixel wide or less is left alone, as is a control the picture covers.
    const PreviewStrips narrow = PreviewBackgroundStrips(129, 129, 128, 128);
    EXPECT_FALSE(narrow.right.used);
    EXPECT_FALSE(narrow.below.used);
    const PreviewStrips covered = PreviewBackgroundStrips(120, 110, 128, 128);
    EXPECT_FALSE(covered.right.used);
    EXPECT_FALSE(covered.below.used);
    EXPECT_TRUE(PreviewBackgroundStrips(130, 100, 128, 128).right.used);
}

}  // namespace
