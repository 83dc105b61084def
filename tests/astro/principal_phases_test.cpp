#include "astro/principal_phases.h"

#include <gtest/gtest.h>

#include <cmath>

#include "astro/calendar.h"
#include "astro/moon_phase.h"
#include "astro/sky_positions.h"

namespace {

constexpr PrincipalPhase kNew = PrincipalPhase::NewMoon, kFirst = PrincipalPhase::FirstQuarter,
                         kFull = PrincipalPhase::FullMoon, kLast = PrincipalPhase::LastQuarter;

struct Published {
    int year, month, day, hour, minute;  // universal time
    PrincipalPhase kind;
};

// Published instants, to the minute in universal time: NASA/GSFC (F. Espenak), "Phases of
// the Moon" 1901-2000 and 2001-2100 (the eclipse syzygies of 1970, 1973, 1991, 1999, 2000);
// the Old Farmer's Almanac 1998; the Osservatorio di Capodimonte's ephemerides 2004 (CET,
// an hour taken off); a 2019 table in Ashgabat time (UTC+5, taken off); lunaf.com's lunar
// calendar for 2049 and 2089.
constexpr Published kPublished[] = {
    {1970, 3, 7, 17, 42, kNew}, {1973, 6, 30, 11, 38, kNew}, {1991, 7, 11, 19, 6, kNew},
    {1998, 1, 5, 14, 18, kFirst}, {1999, 8, 11, 11, 8, kNew}, {2000, 1, 21, 4, 40, kFull},
    {2004, 1, 7, 15, 40, kFull}, {2004, 1, 15, 4, 46, kLast}, {2004, 1, 21, 21, 5, kNew},
    {2004, 1, 29, 6, 3, kFirst}, {2004, 7, 17, 11, 24, kNew}, {2004, 7, 25, 3, 37, kFirst},
    {2004, 7, 31, 18, 5, kFull}, {2004, 8, 7, 22, 1, kLast}, {2019, 1, 6, 1, 29, kNew},
    {2019, 1, 14, 6, 46, kFirst}, {2019, 1, 21, 5, 17, kFull}, {2019, 1, 27, 21, 12, kLast},
    {2019, 7, 2, 19, 17, kNew}, {2019, 7, 9, 10, 56, kFirst}, {2019, 7, 16, 21, 39, kFull},
    {2019, 7, 25, 1, 20, kLast}, {2019, 12, 12, 5, 14, kFull}, {2019, 12, 19, 4, 59, kLast},
    {2019, 12, 26, 5, 15, kNew}, {2049, 1, 10, 21, 56, kFirst}, {2049, 1, 19, 2, 29, kFull},
    {2089, 1, 19, 19, 47, kFirst}, {2089, 1, 26, 11, 25, kFull},
};

// Looked for from two days before, each is the next phase of its kind within the two
// minutes that the function's comment states (the published minute is rounded).
TEST(NextPrincipalPhases, AgreeWithPublishedInstants) {
    for (const Published& p : kPublished) {
        const double published = JulianDateFromCalendar(p.year, p.month - 1, p.day, p.hour, p.minute, 0);
        for (const PhaseInstant& phase : NextPrincipalPhases(published - 2.0))
            if (phase.kind == p.kind) {
                EXPECT_NEAR(published, phase.julianDate, 2.0 / 1440.0) << p.year << "-" << p.month;
            }
    }
}

// From any moment: four instants after it within one lunation, in time order, the kinds
// following each other round the cycle, each where the elongation is its kind's angle to
// within a minute's motion. At a phase's very instant that phase is not "next".
TEST(NextPrincipalPhases, AreTheNextFourInOrderOfTheirKinds) {
    const double start = JulianDateFromCalendar(2026, 11, 1, 0, 0, 0);
    for (double jd = start; jd < start + 60.0; jd += 0.37) {
        const auto phases = NextPrincipalPhases(jd);
        for (size_t i = 0; i < phases.size(); ++i) {
            EXPECT_GT(phases[i].julianDate, i ? phases[i - 1].julianDate : jd) << jd;
            EXPECT_LT(phases[i].julianDate, jd + 29.9) << jd;
            EXPECT_EQ((static_cast<int>(phases[0].kind) + i) % 4, static_cast<size_t>(phases[i].kind)) << jd;
            const SkyPositions sky = ComputeSkyPositions(phases[i].julianDate);
            const double angle = (sky.moonLongitude - sky.sunLongitude) * kRadian;
            EXPECT_NEAR(0.0, FixAngle(angle - 90.0 * static_cast<int>(phases[i].kind) + 180.0) - 180.0, 0.5 / 60.0);
        }
    }
    const double full = NextPrincipalPhases(JulianDateFromCalendar(2026, 11, 20, 0, 0, 0))[0].julianDate;
    const auto after = NextPrincipalPhases(full);
    EXPECT_EQ(kLast, after[0].kind);
    EXPECT_EQ(kFull, after[3].kind);
    EXPECT_NEAR(full + 29.5, after[3].julianDate, 0.4);
}

}  // namespace
