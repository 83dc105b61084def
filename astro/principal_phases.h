#pragma once

#include <array>

// The four principal phases of the Moon, in the order of a lunation.
enum class PrincipalPhase { NewMoon, FirstQuarter, FullMoon, LastQuarter };

struct PhaseInstant {
    PrincipalPhase kind = PrincipalPhase::NewMoon;
    double julianDate = 0.0;  // universal time
};

// The next new moon, first quarter, full moon and last quarter after `julianDate` (UT),
// in time order: the instants at which the Moon's apparent geocentric longitude exceeds
// the Sun's by 0, 90, 180 and 270 degrees (the sky model of moon_sky.h), within two
// minutes of the true ones. A phase at `julianDate` itself (within a second) is not
// "next": its successor a lunation later is given.
//
// The pictures are chosen by ComputeMoonPhase's low-precision model, whose phases lie up to
// about 40 minutes (its quarters up to about an hour) from these: at the instant given
// here the picture shown may still be that of the moment before the phase.
std::array<PhaseInstant, 4> NextPrincipalPhases(double julianDate);
// The next instant of one of them after `julianDate`, as above.
double NextPhaseInstant(double julianDate, PrincipalPhase kind);
