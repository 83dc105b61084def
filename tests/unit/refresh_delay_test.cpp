#include <gtest/gtest.h>

#include <cstdint>

#include "refresh/refresh_rule.h"

namespace {

// The timer sleeps exactly until the rule would refresh: a tick a millisecond earlier would
// wake the program for nothing, one later would hold the refresh back.
TEST(RefreshDelay, EndsOnTheFirstTickThatRefreshes) {
    const struct {
        uint32_t now, last, delay;
    } cases[] = {
        {5000, 0, 0},               // nothing refreshed yet
        {5000, 5000, 60001},        // just refreshed
        {65000, 5000, 1},           // exactly a minute is not enough
        {65001, 5000, 0},           // due
        {100, 0xFFFFF000u, 59902},  // the counter has wrapped: counted from 1
    };
    for (const auto& c : cases) {
        const uint32_t delay = RefreshDelayMs(c.now, c.last);
        EXPECT_EQ(c.delay, delay) << c.now << " " << c.last;
        uint32_t last = c.last;
        EXPECT_TRUE(IsRefreshDue(c.now + delay, last)) << c.now << " " << c.last;
    }
}

}  // namespace
