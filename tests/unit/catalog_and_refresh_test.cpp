#include <gtest/gtest.h>

#include "refresh/refresh_rule.h"
#include "tests/unit/catalog_fixture.h"

namespace {

TEST(MoonEntry, DisplayNameIsTheTitleOrElseThePicture) {
    MoonEntry entry;
    entry.paper = "full.jpg";
    EXPECT_EQ("full.jpg", entry.DisplayName());
    entry.title = "Full Moon";
    EXPECT_EQ("Full Moon", entry.DisplayName());
}

TEST(RefreshRule, FirstTickThenOncePerMinute) {
    uint32_t last = 0;
    EXPECT_TRUE(IsRefreshDue(5000, last));
    last = 5000;
    EXPECT_FALSE(IsRefreshDue(5000, last));
    EXPECT_FALSE(IsRefreshDue(65000, last));  // exactly a minute is not enough
    EXPECT_TRUE(IsRefreshDue(65001, last));
    EXPECT_EQ(5000u, last);
}

TEST(RefreshRule, TickCounterWrap) {
    uint32_t last = 0xFFFFF000u;
    EXPECT_FALSE(IsRefreshDue(0xFFFFFFFFu, last));
    EXPECT_EQ(0xFFFFF000u, last);
    // After the wrap the reading is below the last refresh: restart from 1.
    EXPECT_FALSE(IsRefreshDue(100, last));
    EXPECT_EQ(1u, last);
    EXPECT_FALSE(IsRefreshDue(60001, last));
    EXPECT_TRUE(IsRefreshDue(60002, last));
}

}  // namespace
