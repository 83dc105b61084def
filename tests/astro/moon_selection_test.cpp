#include "astro/moon_selection.h"

#include <gtest/gtest.h>

#include "astro/moon_phase.h"
#include "tests/catalog/catalog_fixture.h"

namespace {

std::vector<MoonEntry> Phases(std::initializer_list<double> phases) {
    std::vector<MoonEntry> entries;
    for (double phase : phases) {
        entries.emplace_back();
        entries.back().phase = phase;
    }
    return entries;
}

const std::vector<MoonEntry> kEighths = Phases({0, 25, 50, 75, 100, 125, 150, 175, 200});

TEST(FindNearestEntry, ChoosesTheNearestNeighbourOrNothingWhenNoEntryQualifies) {
    EXPECT_EQ(1, FindNearestEntry(kEighths, 30.0));
    EXPECT_EQ(7, FindNearestEntry(kEighths, 170.0));
    EXPECT_EQ(4, FindNearestEntry(kEighths, 99.0));
    EXPECT_EQ(4, FindNearestEntry(kEighths, 101.0));
    EXPECT_EQ(0, FindNearestEntry(kEighths, 0.0));
    EXPECT_EQ(8, FindNearestEntry(kEighths, 200.0));
    EXPECT_EQ(-1, FindNearestEntry({}, 10.0));
    EXPECT_EQ(-1, FindNearestEntry(Phases({50}), 50.0));
    EXPECT_EQ(-1, FindNearestEntry(Phases({0, 90, 180}), 190.0));
    EXPECT_EQ(0, FindNearestEntry(Phases({10, 40, 70}), 2.0));
}

TEST(FindNearestEntry, TiesGoToTheLaterEntry) {
    EXPECT_EQ(2, FindNearestEntry(kEighths, 37.5));
    EXPECT_EQ(1, FindNearestEntry(Phases({0, 50, 50, 100}), 50.0));
    EXPECT_EQ(1, FindNearestEntry(Phases({50, 50, 100}), 50.0));
}

TEST(SelectMoonForDate, FoldsTheScaleReportsPhaseAgeAndIndexOrLeavesTheIndexAlone) {
    // The phase scale folds once the age passes fourteen days.
    EXPECT_DOUBLE_EQ(30.0, PhaseScaleValue(30.0, 5.0));
    EXPECT_DOUBLE_EQ(170.0, PhaseScaleValue(30.0, 20.0));
    EXPECT_DOUBLE_EQ(99.0, PhaseScaleValue(99.0, 14.0));  // exactly 14.0 is not folded
    EXPECT_DOUBLE_EQ(101.0, PhaseScaleValue(99.0, 14.01));
    CTestCatalog catalog;
    catalog.Fill({0, 25, 50, 75, 100, 125, 150, 175, 200});
    double percent = -1.0, age = -1.0;
    int index = -1;
    // 2000-01-01 12:00 UT: 23 % lit, 24.8 days old (as same_results_test.cpp checks), so
    // P = 177 on the waning half.
    const MoonEntry entry = SelectMoonForDate(catalog.GetEntries(), 2451545.0, &percent, &age, &index);
    EXPECT_NEAR(22.9776783, percent, 1e-7);
    EXPECT_EQ(7, index);
    EXPECT_EQ("moon7.jpg", entry.paper);

    // Full moon, just past the fold: P is about 100.000001.
    EXPECT_EQ("moon4.jpg", SelectMoonForDate(catalog.GetEntries(), 2451564.6944444445, nullptr, nullptr, &index).paper);
    EXPECT_EQ(4, index);

    // An entry set with no qualifying entry chooses nothing and leaves the index alone.
    catalog.Fill({0, 90, 180});
    index = 42;
    // New moon of 2000-01-06 is placed at the end of the month: P is about 200.
    const MoonEntry none = SelectMoonForDate(catalog.GetEntries(), 2451550.259722222, &percent, &age, &index);
    EXPECT_EQ(42, index);
    EXPECT_TRUE(none.paper.empty());
    EXPECT_NEAR(29.520947786, age, 1e-8);

    catalog.Set({});
    EXPECT_TRUE(SelectMoonForDate(catalog.GetEntries(), 2451545.0, nullptr, nullptr, &index).paper.empty());
    EXPECT_EQ(42, index);
}

}  // namespace
