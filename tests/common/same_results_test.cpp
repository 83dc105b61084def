// The shipped 32-bit program must compute what the 64-bit one computes. The expected values
// were written out once from the 64-bit build; every build runs this against them. What goes
// through sine, cosine and arctangent (whose last bits differ between processors'
// instructions and emulators) is compared to nine significant digits, and what a search
// finds (a rise, an eclipse) to within two seconds. The pure arithmetic of
// fitting and zooming is held to exact values by its own tables, which every build runs too.
#include <gtest/gtest.h>

#include <cmath>

#include "refresh/tray_text.h"
#include "astro/moon_phase.h"
#include "astro/moon_selection.h"
#include "astro/moon_sky.h"

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
        {2415020.5, 0.00449712260052, 28.8997538755, 0.978637919775, 373482.870311, 199.55028774,
         "Quellwick (Phase: 0.4% Age: 28.9 days)"},
        {2430000.75, 0.564163212154, 7.98744129329, 0.270480259633, 405504.496325, 56.4163212154,
         "Quellwick (Phase: 56.4% Age: 8.0 days)"},
        {2444238.5, 0.937923774882, 12.3983718931, 0.419848450277, 379955.370296, 93.7923774882,
         "Quellwick (Phase: 93.8% Age: 12.4 days)"},
        {2451545, 0.22977678289, 24.8314545757, 0.840872318693, 400216.397328, 177.022321711,
         "Quellwick (Phase: 23.0% Age: 24.8 days)"},
        {2455197.6875, 0.997863394774, 15.1999438045, 0.514718618353, 364977.11923, 100.213660523,
         "Quellwick (Phase: 99.8% Age: 15.2 days)"},
        {2461384, 0.00189095383094, 0.408883571397, 0.0138461029622, 404494.5895, 0.189095383094,
         "Quellwick (Phase: 0.2% Age: 0.4 days)"},
        {2488069.5, 0.774907602352, 19.4119048934, 0.65734906621, 366830.149863, 122.509239765,
         "Quellwick (Phase: 77.5% Age: 19.4 days)"},
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

struct SkyAt {
    double julianDate;
    GeoPlace place;
    // ComputeMoonSky's fields, ComputeMoonInPlace's and ComputeEarthShadow's in their order.
    double values[16];
    double found[6];  // rise, set; the next eclipse's peak and stages in minutes
    int eclipseKind;
};

TEST(SameResults, SkyModel) {
    const SkyAt table[] = {
        {2433500.25,
         {-77.846, 166.676},
         {0.41454880781, 75.9391100447, 346.141602273, 0.0973482243128, -5.42502473712, -99.6812620785, 1.12442706831,
          404236.651169, 0.492513449826, -12.0890243194, 17.6498920369, -176.004340026, 255.939110045, 229.139388366,
          3.90099922153, 3.53081196734},
         {0.000000, 0.000000, 2433550.678104, 350.7385, 210.4980, 45.9338},
         2},
        {2451545,
         {51.478, -0.001},
         {0.230118629404, 110.481619502, 16.898961128, 5.02116057096, -6.69882968329, -117.815641352, 0.614180368773,
          402446.863464, 0.494703801053, 9.24889683143, 237.782245234, 32.5481421105, 290.481619502, 194.707896138,
          4.30555125987, 3.1186776708},
         {2451545.656436, 2451545.050352, 2451564.697145, 318.8562, 204.0051, 77.9150},
         2},
        {2461000.6,
         {69.649, 18.956},
         {0.00788118405722, 308.604992483, 9.44683617311, -1.16519567774, 6.5528781963, 169.947347934, -1.53106328008,
          406377.684754, 0.489918587168, -38.8939394051, 60.8154255165, -19.9557381818, 128.604992483, 41.253483086,
          4.79133849236, 2.62378564118},
         {0.000000, 0.000000, 2461102.982231, 339.2139, 207.7734, 59.2163},
         2},
        {2488000.9,
         {-33.869, 151.209},
         {0.809103761846, 246.646885299, 339.344086112, 3.71602609213, 1.93504248686, 55.459243285, -0.922087628254,
          404449.164221, 0.49225466284, 62.3237908844, 29.4603884122, -155.572352633, 66.6468852995, 183.283281199,
          3.05303714251, 4.39466685329},
         {2488001.698791, 2488001.209255, 2488124.126369, 245.4346, 0.0000, 0.0000},
         0},
    };
    constexpr double kTwoSeconds = 2.0 / 86400.0;
    for (const SkyAt& c : table) {
        SCOPED_TRACE(testing::Message() << "JD " << c.julianDate);
        const MoonSky s = ComputeMoonSky(c.julianDate);
        const MoonInPlace m = ComputeMoonInPlace(c.julianDate, c.place);
        const EarthShadow e = ComputeEarthShadow(c.julianDate);
        const double computed[] = {
            s.illuminatedFraction,    s.brightLimbAngleDeg,   s.axisAngleDeg,        s.librationLongitudeDeg,
            s.librationLatitudeDeg,   s.subSolarLongitudeDeg, s.subSolarLatitudeDeg, s.distanceKm,
            s.apparentDiameterDeg,    m.altitudeDeg,          m.azimuthDeg,          m.parallacticAngleDeg,
            e.centrePositionAngleDeg, e.centreDistance,       e.umbraRadius,         e.penumbraRadius};
        for (size_t i = 0; i < 16; ++i)
            EXPECT_TRUE(NineDigits(c.values[i], computed[i])) << "value " << i;
        const MoonRiseSet r = NextMoonRiseSet(c.julianDate, c.place);
        const LunarEclipse l = NextLunarEclipse(c.julianDate);
        const double searched[] = {r.riseJulianDate, r.setJulianDate, l.peakJulianDate};
        for (size_t i = 0; i < 3; ++i)
            EXPECT_NEAR(c.found[i], searched[i], kTwoSeconds) << "instant " << i;
        EXPECT_NEAR(c.found[3], l.penumbralMinutes, kTwoSeconds * 1440.0);
        EXPECT_NEAR(c.found[4], l.partialMinutes, kTwoSeconds * 1440.0);
        EXPECT_NEAR(c.found[5], l.totalMinutes, kTwoSeconds * 1440.0);
        EXPECT_EQ(c.eclipseKind, static_cast<int>(l.kind));
    }
}

}  // namespace
