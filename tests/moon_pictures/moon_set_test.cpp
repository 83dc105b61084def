#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "astro/moon_phase.h"
#include "astro/moon_selection.h"
#include "catalog/catalog_text.h"
#include "moon_set.h"
#include "tests/moon_pictures/picture_measure.h"

namespace {

constexpr double kSynodicMonth = 29.53058868;
constexpr double kFullMoonAge = kSynodicMonth / 2.0;
constexpr double kDegToRad = 0.017453292519943295;

const std::vector<PictureEntry>& Plan() {
    static const std::vector<PictureEntry> plan = PlanMoonSet(64);
    return plan;
}

std::vector<MoonEntry> AsCatalogue(const std::vector<PictureEntry>& plan) {
    std::vector<MoonEntry> entries;
    for (const PictureEntry& p : plan) {
        MoonEntry e;
        e.paper = p.paper;
        e.phase = p.phase;
        entries.push_back(e);
    }
    return entries;
}

TEST(MoonSet, CoversTheMonthInAscendingPhaseFromNewToNew) {
    const std::vector<PictureEntry>& plan = Plan();
    ASSERT_GE(plan.size(), 61u);
    EXPECT_EQ(0.0, std::round(plan.front().phase * 1000.0));
    EXPECT_EQ(200.0, plan.back().phase);
    int fullMoons = 0;
    for (size_t i = 0; i < plan.size(); ++i) {
        const PictureEntry& e = plan[i];
        if (i > 0) {
            EXPECT_GT(e.phase, plan[i - 1].phase) << e.title;
        }
        // Between 14 days and the full moon the folded scale runs backwards.
        EXPECT_FALSE(e.ageDays > kWaningAgeDays && e.ageDays < kFullMoonAge - 1e-6) << e.title;
        EXPECT_NEAR(e.phase, PhaseScaleValue(e.illuminatedPercent, e.ageDays), 1e-9) << e.title;
        EXPECT_NEAR(e.illuminatedPercent, 50.0 * (1.0 - std::cos(e.elongationDeg * kDegToRad)), 1e-6);
        fullMoons += std::fabs(e.phase - 100.0) < 1e-6;
    }
    EXPECT_EQ(1, fullMoons);
    // Evenly spaced in age, with one step left out where the scale folds.
    const double step = kSynodicMonth / 64.0;
    int skipped = 0;
    for (size_t i = 1; i + 1 < plan.size(); ++i) {
        const double gap = plan[i].ageDays - plan[i - 1].ageDays;
        if (std::fabs(gap - 2.0 * step) < 1e-6) {
            ++skipped;
        } else {
            EXPECT_NEAR(step, gap, 1e-6) << plan[i].title;
        }
    }
    EXPECT_EQ(1, skipped);
}

TEST(MoonSet, ProgramsNearestEntrySearchFindsThePictureOfTheNearestAge) {
    const std::vector<PictureEntry>& plan = Plan();
    const std::vector<MoonEntry> catalogue = AsCatalogue(plan);
    const double step = kSynodicMonth / 64.0;
    // Walk through a lunation far from the one the set was planned on.
    const double start = 2461000.0;
    for (double jd = start; jd < start + kSynodicMonth; jd += 0.07) {
        const PhaseInfo info = ComputeMoonPhase(jd);
        const double percent = info.illuminatedFraction * 100.0;
        const int index = FindNearestEntry(catalogue, PhaseScaleValue(percent, info.ageDays));
        ASSERT_GE(index, 0) << info.ageDays;
        const double shownAge = plan[index].ageDays;
        const double error = std::fabs(shownAge - info.ageDays);
        if (info.ageDays > kWaningAgeDays && info.ageDays < kFullMoonAge) {
            EXPECT_LT(std::fabs(plan[index].illuminatedPercent - percent), 1.0);  // the scale folds here
        } else if (percent > 5.0 && percent < 95.0) {
            EXPECT_LT(error, 0.55 * step) << info.ageDays;
        } else {
            EXPECT_LT(std::min(error, kSynodicMonth - error), 1.0 * step) << info.ageDays;
        }
    }
}

TEST(MoonSet, NamesAndDescribesEachNight) {
    const std::pair<double, const char*> names[] = {
        {0.1, "New Moon"},        {4.0, "Waxing Crescent"},  {7.4, "First Quarter"},
        {11.0, "Waxing Gibbous"}, {14.8, "Full Moon"},       {18.0, "Waning Gibbous"},
        {22.1, "Last Quarter"},   {26.0, "Waning Crescent"}, {29.4, "New Moon"}};
    for (const auto& [age, name] : names)
        EXPECT_EQ(name, PhaseName(age)) << age;
    std::set<std::string> titles, papers;
    for (const PictureEntry& e : Plan()) {
        titles.insert(e.title);
        papers.insert(e.paper);
        EXPECT_EQ(0u, e.title.find(PhaseName(e.ageDays))) << e.title;
        EXPECT_EQ(0u, e.description.find(PhaseName(e.ageDays) + "<br>Age ")) << e.description;
        EXPECT_NE(std::string::npos, e.description.find("% illuminated.<br>")) << e.description;
        EXPECT_GT(e.description.size(), e.description.rfind("<br>") + 40) << "a sentence after the figures";
    }
    EXPECT_EQ(Plan().size(), titles.size());
    EXPECT_EQ(Plan().size() - 1, papers.size());  // the last entry shows the first picture again
    EXPECT_EQ(Plan().front().paper, Plan().back().paper);
    // The features that catch the rising Sun at first quarter are named.
    bool namedTerminator = false;
    for (const PictureEntry& e : Plan())
        if (e.title.rfind("First Quarter", 0) == 0 &&
            e.description.find("Sunrise along the terminator") != std::string::npos)
            namedTerminator = true;
    EXPECT_TRUE(namedTerminator);
}

TEST(MoonSet, CatalogueFileFollowsTheLoadersRules) {
    std::vector<PictureEntry> plan = Plan();
    plan[3].title = "Odd \"title\" <with> & marks";
    const std::string xml = CatalogueXml(plan);
    EXPECT_EQ(0u, xml.find("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Quellwicks>"));
    for (char c : xml)
        EXPECT_TRUE(c == '\n' || (c >= 32 && c < 127)) << "plain ASCII text";
    // Written beside the staged data folder and read back by the program's own loader.
    const std::string dataDir = QW_TEST_DATA_DIR;
    const std::string path = dataDir.substr(0, dataDir.rfind('/')) + "/loader_rules_test.xml";
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, file) << path;
    std::fwrite(xml.data(), 1, xml.size(), file);
    std::fclose(file);
    const std::vector<MoonEntry> loaded = LoadCatalogue(path);
    std::remove(path.c_str());
    ASSERT_EQ(plan.size(), loaded.size());
    for (size_t i = 0; i < loaded.size(); ++i) {
        EXPECT_EQ(plan[i].paper, loaded[i].paper);
        EXPECT_EQ(plan[i].ann, loaded[i].ann);
        EXPECT_EQ(plan[i].title, loaded[i].title);
        EXPECT_EQ(ExpandLineBreaks(NormalizeWhitespace(plan[i].description)), loaded[i].description);
        EXPECT_NEAR(plan[i].phase, loaded[i].phase, 0.0005);
    }
}

}  // namespace
