#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <set>

#include "viewer/phase_stepping.h"

namespace {

TEST(PhaseStepping, CyclesOverAllButTheLastEntry) {
    // Opened on the last of ten entries: next shows the first, previous from there the ninth.
    EXPECT_EQ(0, NextPhaseIndex(9, 10));
    EXPECT_EQ(8, PreviousPhaseIndex(0, 10));
    EXPECT_EQ(8, PreviousPhaseIndex(9, 10));

    std::set<int32_t> forward;
    std::set<int32_t> backward;
    int32_t next = 9;
    int32_t previous = 9;
    for (int i = 0; i < 30; ++i) {
        next = NextPhaseIndex(next, 10);
        previous = PreviousPhaseIndex(previous, 10);
        forward.insert(next);
        backward.insert(previous);
    }
    const std::set<int32_t> expected = {0, 1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(expected, forward);
    EXPECT_EQ(expected, backward);

    // Two entries: the cycle holds the first alone.
    EXPECT_EQ(0, NextPhaseIndex(0, 2));
    EXPECT_EQ(0, PreviousPhaseIndex(0, 2));
    // Before anything was shown.
    EXPECT_EQ(0, NextPhaseIndex(-1, 10));
}

TEST(PhaseStepping, NeverLeavesASmallCatalogue) {
    // One entry: it is shown again whichever way the user steps.
    EXPECT_EQ(0, NextPhaseIndex(0, 1));
    EXPECT_EQ(0, PreviousPhaseIndex(0, 1));
    // No entries: there is nothing to show.
    EXPECT_EQ(-1, NextPhaseIndex(0, 0));
    EXPECT_EQ(-1, PreviousPhaseIndex(0, 0));
    EXPECT_EQ(-1, NextPhaseIndex(-1, 0));
}

TEST(PhaseStepping, AnyCurrentIndexStepsBackIntoTheCatalogue) {
    const int32_t extremes[] = {std::numeric_limits<int32_t>::min(), -2, 10, 11, std::numeric_limits<int32_t>::max()};
    for (const int32_t current : extremes) {
        const int32_t next = NextPhaseIndex(current, 10);
        const int32_t previous = PreviousPhaseIndex(current, 10);
        EXPECT_GE(next, 0) << current;
        EXPECT_LE(next, 8) << current;
        EXPECT_GE(previous, 0) << current;
        EXPECT_LE(previous, 8) << current;
    }
}

}  // namespace
