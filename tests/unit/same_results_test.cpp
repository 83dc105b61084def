// The shipped 32-bit program must compute what the 64-bit one computes. The expected values
// were written out once from the 64-bit build; every build runs this against them. What goes
// through sine, cosine and arctangent (whose last bits differ between processors'
// instructions and emulators) is compared to nine significant digits. The pure arithmetic of
// fitting and zooming is held to exact values by its own tables, which every build runs too.
#include <gtest/gtest.h>

#include <cmath>

#include "refresh/tray_text.h"
#include "astro/moon_phase.h"
#include "astro/moon_selection.h"

namespace {

// Relative difference, so that nine significant digits count whatever the magnitude.
::testing::AssertionResult NineDigits(double expected, double actual) {
    if (std::fabs(actual - expected) <= 5e-9 * std::fabs(expected))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected " << expected << ", got " << actual;
}

struct MoonAt {
    double julianDate;
    double illuminatedFraction, ageDays, lunationFraction, moonDistanceKm;
    double phaseScale;
    const char* tooltip;
};

TEST(SameResults, MoonPhaseAgeScaleAndTooltip) {
    const MoonAt table[] = {
        {2415020.5, 0.00449712260052, 28.8997538755, 0.978637919775, 373482.870311, 199.55028774, "Quellwick (Phase: 0.4% Age: 28.9 days)"},
        {2430000.75, 0.564163212154, 7.98744129329, 0.270480259633, 405504.496325, 56.4163212154, "Quellwick (Phase: 56.4% Age: 8.0 days)"},
        {2444238.5, 0.937923774882, 12.3983718931, 0.419848450277, 379955.370296, 93.7923774882, "Quellwick (Phase: 93.8% Age: 12.4 days)"},
        {2451545, 0.22977678289, 24.8314545757, 0.840872318693, 400216.397328, 177.022321711, "Quellwick (Phase: 23.0% Age: 24.8 days)"},
        {2455197.6875, 0.997863394774, 15.1999438045, 0.514718618353, 364977.11923, 100.213660523, "Quellwick (Phase: 99.8% Age: 15.2 days)"},
        {2461384, 0.00189095383094, 0.408883571397, 0.0138461029622, 404494.5895, 0.189095383094, "Quellwick (Phase: 0.2% Age: 0.4 days)"},
        {2488069.5, 0.774907602352, 19.4119048934, 0.65734906621, 366830.149863, 122.509239765, "Quellwick (Phase: 77.5% Age: 19.4 days)"},
    };
    for (const MoonAt& m : table) {
        SCOPED_TRACE(testing::Message() << "JD " << m.julianDate);
        const PhaseInfo p = ComputeMoonPhase(m.julianDate);
        EXPECT_TRUE(NineDigits(m.illuminatedFraction, p.illuminatedFraction));
        EXPECT_TRUE(NineDigits(m.ageDays, p.ageDays));
        EXPECT_TRUE(NineDigits(m.lunationFraction, p.lunationFraction));
        EXPECT_TRUE(NineDigits(m.moonDistanceKm, p.moonDistanceKm));
        EXPECT_TRUE(NineDigits(m.phaseScale, PhaseScaleValue(p.illuminatedFraction * 100.0, p.ageDays)));
        EXPECT_EQ(m.tooltip, FormatPhaseTooltip(p.illuminatedFraction * 100.0, p.ageDays));
    }
}

}  // namespace
