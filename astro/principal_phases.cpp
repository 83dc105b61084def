#include "astro/principal_phases.h"

#include <algorithm>
#include <cmath>

#include "astro/moon_phase.h"
#include "astro/sky_positions.h"

namespace {

constexpr double kMeanElongationPerDay = 360.0 / 29.53058868;
constexpr double kSecond = 1.0 / 86400.0;
// Newton's steps stop below a hundredth of a second.
constexpr double kConvergence = 0.01 * kSecond;
constexpr int kMaxSteps = 30;

// The Moon's apparent longitude less the Sun's, in degrees.
double Elongation(double julianDate) {
    const SkyPositions p = ComputeSkyPositions(julianDate);
    return (p.moonLongitude - p.sunLongitude) * kRadian;
}

// An angle difference folded into [-180, 180).
double Wrapped(double degrees) {
    return FixAngle(degrees + 180.0) - 180.0;
}

// The instant near `guess` at which the elongation reaches `target` degrees. The
// elongation rises by 10 to 15 degrees a day, so Newton's method with a numerical slope
// converges from a guess within a few days.
double SolveElongation(double target, double guess) {
    constexpr double kStep = 1.0 / 24.0;
    double t = guess;
    for (int i = 0; i < kMaxSteps; ++i) {
        const double slope = Wrapped(Elongation(t + kStep) - Elongation(t - kStep)) / (2.0 * kStep);
        const double correction = Wrapped(Elongation(t) - target) / slope;
        t -= correction;
        if (std::fabs(correction) < kConvergence)
            break;
    }
    return t;
}

// The next instant after `julianDate`, whose elongation is `now`, of the phase `kind`.
double PhaseAfter(double julianDate, double now, PrincipalPhase kind) {
    const double target = 90.0 * static_cast<int>(kind);
    const double ahead = FixAngle(target - now);
    const double instant = SolveElongation(target, julianDate + ahead / kMeanElongationPerDay);
    return instant > julianDate + kSecond ? instant : SolveElongation(target, instant + 360.0 / kMeanElongationPerDay);
}

}  // namespace

double NextPhaseInstant(double julianDate, PrincipalPhase kind) {
    return PhaseAfter(julianDate, Elongation(julianDate), kind);
}

std::array<PhaseInstant, 4> NextPrincipalPhases(double julianDate) {
    std::array<PhaseInstant, 4> phases;
    const double now = Elongation(julianDate);
    for (int k = 0; k < 4; ++k) {
        const PrincipalPhase kind = static_cast<PrincipalPhase>(k);
        phases[static_cast<size_t>(k)] = {kind, PhaseAfter(julianDate, now, kind)};
    }
    std::sort(phases.begin(), phases.end(),
              [](const PhaseInstant& a, const PhaseInstant& b) { return a.julianDate < b.julianDate; });
    return phases;
}
