#include <gtest/gtest.h>

#include <cstdint>

#include "refresh/refresh_rule.h"

namespace {

// A refresh at the first tick, then once more than a minute has passed; the timer sleeps
// exactly until then (a tick sooner wakes the program for nothing, one later holds the
// refresh back). A reading below the last refresh means the counter wrapped: the rule
// counts again from 1.
TEST(RefreshRule, FirstTickThenOncePerMinuteAndTheTimerSleepsUntilThen) {
    const struct {
        uint32_t now, last;
        bool due;
        uint32_t lastAfter, delay;
    } cases[] = {
        {5000, 0, true, 0, 0},         {5000, 5000, false, 5000, 60001},
        {65000, 5000, false, 5000, 1},  // exactly a minute is not enough
        {65001, 5000, true, 5000, 0},  {100, 0xFFFFF000u, false, 1, 59902},
        {60001, 1, false, 1, 1},       {60002, 1, true, 1, 0},
    };
    for (const auto& c : cases) {
        uint32_t last = c.last, again = c.last;
        EXPECT_EQ(c.due, IsRefreshDue(c.now, last)) << c.now << " " << c.last;
        EXPECT_EQ(c.lastAfter, last) << c.now << " " << c.last;
        EXPECT_EQ(c.delay, RefreshDelayMs(c.now, c.last)) << c.now << " " << c.last;
        EXPECT_TRUE(IsRefreshDue(c.now + c.delay, again)) << c.now << " " << c.last;
    }
}

}  // namespace
