#include "astro/principal_phases.h"

#include <gtest/gtest.h>

#include <cmath>

#include "astro/calendar.h"
#include "astro/moon_phase.h"

namespace {

constexpr double kMinute = 1.0 / 1440.0;

struct Published {
    int year, month, day, hour, minute;  // universal time
    PrincipalPhase kind;
};

// Published instants of principal phases, to the minute in universal time:
// NASA/GSFC (F. Espenak), "Phases of the Moon" 1901-2000 and 2001-2100 (the eclipse
// syzygies of 1970, 1973, 1991, 1999, 2000); the Old Farmer's Almanac for 1998; the
// Osservatorio di Capodimonte's ephemerides for 2004 (CET, less one hour here); the 2019
// table of timeanddate-style listings in Ashgabat time (UTC+5, taken off here); and
// lunaf.com's lunar calendar for 2049 and 2089.
constexpr Published kPublished[] = {
    {1970, 3, 7, 17, 42, PrincipalPhase::NewMoon},       {1973, 6, 30, 11, 38, PrincipalPhase::NewMoon},
    {1991, 7, 11, 19, 6, PrincipalPhase::NewMoon},       {1998, 1, 5, 14, 18, PrincipalPhase::FirstQuarter},
    {1999, 8, 11, 11, 8, PrincipalPhase::NewMoon},       {2000, 1, 21, 4, 40, PrincipalPhase::FullMoon},
    {2004, 1, 7, 15, 40, PrincipalPhase::FullMoon},      {2004, 1, 15, 4, 46, PrincipalPhase::LastQuarter},
    {2004, 1, 21, 21, 5, PrincipalPhase::NewMoon},       {2004, 1, 29, 6, 3, PrincipalPhase::FirstQuarter},
    {2004, 7, 17, 11, 24, PrincipalPhase::NewMoon},      {2004, 7, 25, 3, 37, PrincipalPhase::FirstQuarter},
    {2004, 7, 31, 18, 5, PrincipalPhase::FullMoon},      {2004, 8, 7, 22, 1, PrincipalPhase::LastQuarter},
    {2019, 1, 6, 1, 29, PrincipalPhase::NewMoon},        {2019, 1, 14, 6, 46, PrincipalPhase::FirstQuarter},
    {2019, 1, 21, 5, 17, PrincipalPhase::FullMoon},      {2019, 1, 27, 21, 12, PrincipalPhase::LastQuarter},
    {2019, 7, 2, 19, 17, PrincipalPhase::NewMoon},       {2019, 7, 9, 10, 56, PrincipalPhase::FirstQuarter},
    {2019, 7, 16, 21, 39, PrincipalPhase::FullMoon},     {2019, 7, 25, 1, 20, PrincipalPhase::LastQuarter},
    {2019, 12, 12, 5, 14, PrincipalPhase::FullMoon},     {2019, 12, 19, 4, 59, PrincipalPhase::LastQuarter},
    {2019, 12, 26, 5, 15, PrincipalPhase::NewMoon},      {2049, 1, 10, 21, 56, PrincipalPhase::FirstQuarter},
    {2049, 1, 19, 2, 29, PrincipalPhase::FullMoon},      {2089, 1, 19, 19, 47, PrincipalPhase::FirstQuarter},
    {2089, 1, 26, 11, 25, PrincipalPhase::FullMoon},
};

bool IsSyzygy(PrincipalPhase kind) {
    return kind == PrincipalPhase::NewMoon || kind == PrincipalPhase::FullMoon;
}

// Each published instant, looked for from two days before it, is the model's next phase of
// its kind within the tolerance the function's comment states.
TEST(NextPrincipalPhases, AgreeWithPublishedInstants) {
    double worstSyzygy = 0.0, worstQuarter = 0.0;
    for (const Published& p : kPublished) {
        const double published = JulianDateFromCalendar(p.year, p.month - 1, p.day, p.hour, p.minute, 0);
        const auto phases = NextPrincipalPhases(published - 2.0);
        const PhaseInstant* found = nullptr;
        for (const PhaseInstant& phase : phases)
            if (phase.kind == p.kind)
                found = &phase;
        ASSERT_NE(found, nullptr);
        const double error = std::fabs(found->julianDate - published) / kMinute;
        double& worst = IsSyzygy(p.kind) ? worstSyzygy : worstQuarter;
        worst = std::fmax(worst, error);
        EXPECT_LT(error, IsSyzygy(p.kind) ? 40.0 : 60.0) << p.year << "-" << p.month << "-" << p.day;
    }
    std::printf("largest differences: new and full moons %.0f min, quarters %.0f min\n", worstSyzygy, worstQuarter);
}

double ElongationAt(double julianDate) {
    return ComputeMoonPhase(julianDate).lunationFraction * 360.0;
}

// From any moment of a lunation: four instants after it and within one lunation, in time
// order, the kinds following each other round the cycle, each where the elongation is its
// kind's angle to well within a minute's motion (half a degree an hour).
TEST(NextPrincipalPhases, AreTheNextFourInOrderAndOfTheirKinds) {
    const double start = JulianDateFromCalendar(2026, 11, 1, 0, 0, 0);
    for (double jd = start; jd < start + 60.0; jd += 0.37) {
        const auto phases = NextPrincipalPhases(jd);
        double previous = jd;
        for (size_t i = 0; i < phases.size(); ++i) {
            const PhaseInstant& phase = phases[i];
            EXPECT_GT(phase.julianDate, previous) << jd;
            EXPECT_LT(phase.julianDate, jd + 29.9) << jd;
            if (i > 0) {
                EXPECT_EQ((static_cast<int>(phases[i - 1].kind) + 1) % 4, static_cast<int>(phase.kind)) << jd;
            }
            const double off = FixAngle(ElongationAt(phase.julianDate) - 90.0 * static_cast<int>(phase.kind) + 180.0);
            EXPECT_NEAR(180.0, off, 0.5 / 60.0) << jd;
            previous = phase.julianDate;
        }
    }
}

// At the very instant of a full moon that full moon is not "next": the one a lunation
// later is, and the last quarter comes first.
TEST(NextPrincipalPhases, AtAPhaseInstantGiveTheFollowingOne) {
    const double full = NextPrincipalPhases(JulianDateFromCalendar(2026, 11, 20, 0, 0, 0))[0].julianDate;
    const auto phases = NextPrincipalPhases(full);
    EXPECT_EQ(PrincipalPhase::LastQuarter, phases[0].kind);
    EXPECT_EQ(PrincipalPhase::FullMoon, phases[3].kind);
    EXPECT_NEAR(full + 29.5, phases[3].julianDate, 0.4);
}

}  // namespace
