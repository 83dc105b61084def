#include <gtest/gtest.h>

#include <cstdint>

#include "refresh/refresh_rule.h"

// The timer sleeps exactly until the rule refreshes: a tick sooner wakes the program for
// nothing, one later holds the refresh back.
TEST(RefreshDelay, EndsOnTheFirstTickThatRefreshes) {
    // now, last refresh, delay; the last case after the counter has wrapped (counted from 1)
    const uint32_t cases[][3] = {{5000, 0, 0}, {5000, 5000, 60001}, {65000, 5000, 1}, {65001, 5000, 0},
                                 {100, 0xFFFFF000u, 59902}};
    for (const auto& c : cases) {
        uint32_t last = c[1];
        EXPECT_EQ(c[2], RefreshDelayMs(c[0], last)) << c[0] << " " << c[1];
        EXPECT_TRUE(IsRefreshDue(c[0] + c[2], last)) << c[0] << " " << c[1];
    }
}
