#include "astro/moon_phase.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Agreement to at least nine significant digits.
void ExpectSignificant(double expected, double actual) {
    EXPECT_NEAR(expected, actual, std::fabs(expected) * 1e-9 + 1e-12) << "expected " << expected;
}

TEST(FixAngle, ReducesIntoOneTurn) {
    EXPECT_EQ(0.0, FixAngle(0.0));
    EXPECT_EQ(0.0, FixAngle(360.0));
    EXPECT_EQ(0.0, FixAngle(-360.0));
    EXPECT_EQ(0.0, FixAngle(720.0));
    EXPECT_DOUBLE_EQ(359.5, FixAngle(-0.5));
    EXPECT_DOUBLE_EQ(10.0, FixAngle(370.0));
    EXPECT_DOUBLE_EQ(350.0, FixAngle(-730.0));
}

TEST(SolveKepler, SatisfiesKeplersEquationAndCountsItsCorrections) {
    for (double meanAnomaly : {0.0, 1.0, 45.0, 179.9, 200.0, 356.237137}) {
        const double e = SolveKepler(meanAnomaly, 0.016718);
        EXPECT_NEAR(meanAnomaly * 0.017453292519943295, e - 0.016718 * std::sin(e), 1e-9) << meanAnomaly;
    }
    int iterations = 0;
    EXPECT_EQ(0.0, SolveKepler(0.0, 0.016718, &iterations));
    EXPECT_EQ(1, iterations);                        // always one correction
    SolveKepler(356.237137, 0.016718, &iterations);  // the Sun's mean anomaly at the epoch
    EXPECT_EQ(2, iterations);
}

TEST(ComputeMoonPhase, AtTheEpoch) {
    const PhaseInfo info = ComputeMoonPhase(2444238.5);
    ExpectSignificant(0.937923775, info.illuminatedFraction);
    ExpectSignificant(12.398371893, info.ageDays);
    ExpectSignificant(0.41984845, info.lunationFraction);
    ExpectSignificant(379955.3703, info.moonDistanceKm);
    ExpectSignificant(0.524161977, info.moonAngularDiameter);
    ExpectSignificant(147103088.556, info.sunDistanceKm);
    ExpectSignificant(0.542171819, info.sunAngularDiameter);
}

TEST(ComputeMoonPhase, KnownMoments) {
    struct Case {
        double julianDate, illuminated, age;
    };
    const Case cases[] = {
        {2451545.0, 0.229776783, 24.831454576},          // 2000-01-01 12:00 UT
        {2451550.259722222, 0.000001052, 29.520947786},  // new moon, 2000-01-06 18:14 UT
        {2451564.6944444445, 0.99999999, 14.764365115},  // full moon, 2000-01-21 04:40 UT
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.julianDate);
        const PhaseInfo info = ComputeMoonPhase(c.julianDate);
        EXPECT_NEAR(c.illuminated, info.illuminatedFraction, 1e-9);
        ExpectSignificant(c.age, info.ageDays);
        ExpectSignificant(c.age / 29.53058868, info.lunationFraction);
    }
}

TEST(ComputeMoonPhase, StaysInRangeOverCenturies) {
    for (double jd = 2305447.5; jd < 2524593.5; jd += 97.37) {
        const PhaseInfo info = ComputeMoonPhase(jd);
        ASSERT_GE(info.illuminatedFraction, 0.0) << jd;
        ASSERT_LE(info.illuminatedFraction, 1.0) << jd;
        ASSERT_GE(info.ageDays, 0.0) << jd;
        ASSERT_LT(info.ageDays, 29.53058868) << jd;
        ASSERT_GE(info.lunationFraction, 0.0) << jd;
        ASSERT_LT(info.lunationFraction, 1.0) << jd;
        ASSERT_GT(info.moonDistanceKm, 363297.0) << jd;
        ASSERT_LT(info.moonDistanceKm, 405505.0) << jd;
        ASSERT_GT(info.sunDistanceKm, 147097512.0) << jd;
        ASSERT_LT(info.sunDistanceKm, 152099488.0) << jd;
    }
}

}  // namespace
