#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <set>

#include "viewer/phase_stepping.h"

namespace {

TEST(PhaseStepping, CyclesOverAllButTheLastEntry) {
    // From the last of ten entries, next is the first and previous the ninth; from the first,
    // previous is the ninth; before anything was shown, next is the first.
    EXPECT_EQ(0, NextPhaseIndex(9, 10));
    EXPECT_EQ(0, NextPhaseIndex(-1, 10));
    EXPECT_EQ(8, PreviousPhaseIndex(9, 10));
    EXPECT_EQ(8, PreviousPhaseIndex(0, 10));
    std::set<int32_t> forward, backward;
    for (int32_t i = 0, next = 9, previous = 9; i < 30; ++i) {
        forward.insert(next = NextPhaseIndex(next, 10));
        backward.insert(previous = PreviousPhaseIndex(previous, 10));
    }
    const std::set<int32_t> expected = {0, 1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(expected, forward);
    EXPECT_EQ(expected, backward);
}

TEST(PhaseStepping, NeverLeavesTheCatalogue) {
    const struct {
        int32_t current, count, expected;
    } cases[] = {
        {0, 2, 0},   // two entries: the cycle holds the first alone
        {0, 1, 0},   // one entry is shown again whichever way
        {0, 0, -1},  // no entries: nothing to show
        {-1, 0, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, NextPhaseIndex(c.current, c.count)) << c.current << " of " << c.count;
        EXPECT_EQ(c.expected, PreviousPhaseIndex(c.current, c.count)) << c.current << " of " << c.count;
    }
    // Any index a caller showed steps back into the cycle.
    for (const int32_t current :
         {std::numeric_limits<int32_t>::min(), -2, 10, 11, std::numeric_limits<int32_t>::max()}) {
        for (const int32_t index : {NextPhaseIndex(current, 10), PreviousPhaseIndex(current, 10)})
            EXPECT_TRUE(index >= 0 && index <= 8) << current << " gives " << index;
    }
}

}  // namespace
