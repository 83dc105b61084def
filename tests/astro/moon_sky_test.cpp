// The sky model against Meeus' worked examples and against tables that an independent
// library computed (tools/sky_reference/make_table.js): 250 instants from 1950 to 2100,
// each at one of ten places from 78 S to 70 N, and 60 eclipses, 20 of each kind.
#include "astro/moon_sky.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "astro/sky_positions.h"

namespace {

using Row = std::vector<double>;

std::vector<Row> ReadTable(const char* name) {
    std::vector<Row> rows;
    std::ifstream in(std::string(QW_SKY_REFERENCE_DIR "/") + name);
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        rows.emplace_back();
        for (std::string field; std::getline(fields, field, ',');)
            rows.back().push_back(std::stod(field));
    }
    EXPECT_GE(rows.size(), 60u) << name;
    return rows;
}

// The difference of two angles in degrees, folded into [0, 180].
double AngleError(double a, double b) {
    return std::fabs(std::remainder(a - b, 360.0));
}

// Meeus' examples 47.a, 48.a and 53.a: 1992 April 12, 0h dynamical time.
TEST(MoonSky, MatchesMeeusWorkedExamples) {
    const double tt = 2448724.5;
    const MoonSky sky = ComputeMoonSky(tt - DeltaTSeconds(1992.28) / 86400.0);
    EXPECT_NEAR(368409.7, sky.distanceKm, 0.5);
    EXPECT_NEAR(0.6786, sky.illuminatedFraction, 0.0001);
    EXPECT_NEAR(285.0, sky.brightLimbAngleDeg, 0.1);
    EXPECT_NEAR(15.08, sky.axisAngleDeg, 0.01);
    EXPECT_NEAR(-1.23, sky.librationLongitudeDeg, 0.01);
    EXPECT_NEAR(4.20, sky.librationLatitudeDeg, 0.01);
    EXPECT_NEAR(67.89, sky.subSolarLongitudeDeg, 0.01);
    EXPECT_NEAR(1.46, sky.subSolarLatitudeDeg, 0.01);
}

TEST(MoonSky, AgreesWithReferenceTable) {
    for (const Row& r : ReadTable("sky_reference.csv")) {
        SCOPED_TRACE(testing::Message() << "JD " << r[0]);
        const MoonSky sky = ComputeMoonSky(r[0]);
        EXPECT_NEAR(r[3], sky.illuminatedFraction, 0.002);
        if (r[3] > 0.03 && r[3] < 0.97) {
            EXPECT_LT(AngleError(r[4], sky.brightLimbAngleDeg), 0.3);
        }
        EXPECT_LT(AngleError(r[5], sky.axisAngleDeg), 0.1);
        EXPECT_LT(AngleError(r[6], sky.librationLongitudeDeg), 0.05);
        EXPECT_NEAR(r[7], sky.librationLatitudeDeg, 0.05);
        EXPECT_LT(AngleError(r[8], sky.subSolarLongitudeDeg), 0.05);
        EXPECT_NEAR(r[9], sky.subSolarLatitudeDeg, 0.05);
        EXPECT_NEAR(r[10], sky.distanceKm, 50.0);
        EXPECT_NEAR(r[11], sky.apparentDiameterDeg, 0.0005);
    }
}

// Azimuth errors are weighed by the cosine of the altitude, the length they make on the sky.
TEST(MoonInPlace, AgreesWithReferenceTable) {
    for (const Row& r : ReadTable("sky_reference.csv")) {
        SCOPED_TRACE(testing::Message() << "JD " << r[0] << " at " << r[1] << ", " << r[2]);
        const MoonInPlace m = ComputeMoonInPlace(r[0], {r[1], r[2]});
        EXPECT_NEAR(r[12], m.altitudeDeg, 0.1);
        EXPECT_LT(AngleError(r[13], m.azimuthDeg) * std::cos(r[12] / kRadian), 0.1);
        EXPECT_LT(AngleError(r[14], m.parallacticAngleDeg), 1.0);
    }
}

TEST(MoonRiseSet, AgreesWithReferenceTableAndFindsNoneWhereThereIsNone) {
    int none = 0;
    for (const Row& r : ReadTable("sky_reference.csv")) {
        SCOPED_TRACE(testing::Message() << "JD " << r[0] << " at " << r[1] << ", " << r[2]);
        const MoonRiseSet events = NextMoonRiseSet(r[0], {r[1], r[2]});
        const double found[] = {events.riseJulianDate, events.setJulianDate};
        for (int i = 0; i < 2; ++i) {
            none += r[15 + i] == 0.0;
            EXPECT_NEAR(r[15 + i], found[i], r[15 + i] == 0.0 ? 0.0 : 2.0 / 1440.0);
        }
    }
    EXPECT_GE(none, 20);
}

TEST(LunarEclipse, AgreesWithReferenceTable) {
    for (const Row& r : ReadTable("eclipse_reference.csv")) {
        SCOPED_TRACE(testing::Message() << "from JD " << r[0]);
        const LunarEclipse e = NextLunarEclipse(r[0]);
        EXPECT_EQ(static_cast<int>(r[1]), static_cast<int>(e.kind));
        EXPECT_NEAR(r[2], e.peakJulianDate, 5.0 / 1440.0);
        EXPECT_NEAR(r[3], e.penumbralMinutes, 10.0);
        EXPECT_NEAR(r[4], e.partialMinutes, 10.0);
        EXPECT_NEAR(r[5], e.totalMinutes, 10.0);
    }
}

// At each greatest eclipse, where the shadow's centre lies on the disc (as a point in lunar
// radii, east and north of the disc's centre) and how large the shadow is.
TEST(EarthShadow, AgreesWithReferenceTable) {
    for (const Row& r : ReadTable("eclipse_reference.csv")) {
        SCOPED_TRACE(testing::Message() << "JD " << r[2]);
        const EarthShadow s = ComputeEarthShadow(r[2]);
        const double angle = s.centrePositionAngleDeg / kRadian, expected = r[6] / kRadian;
        EXPECT_NEAR(r[7] * std::sin(expected), s.centreDistance * std::sin(angle), 0.05);
        EXPECT_NEAR(r[7] * std::cos(expected), s.centreDistance * std::cos(angle), 0.05);
        EXPECT_NEAR(r[8], s.umbraRadius, 0.01);
        EXPECT_NEAR(r[9], s.penumbraRadius, 0.01);
    }
}

}  // namespace
