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

}  // namespace
