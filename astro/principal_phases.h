#pragma once

#include <array>

// The four principal phases of the Moon, in the order of a lunation.
enum class PrincipalPhase { NewMoon, FirstQuarter, FullMoon, LastQuarter };

struct PhaseInstant {
    PrincipalPhase kind = PrincipalPhase::NewMoon;
    double julianDate = 0.0;  // universal time
};

// The next new moon, first quarter, full moon and last quarter after `julianDate` (UT),
// in time order. They are the instants at which ComputeMoonPhase's elongation of the Moon
// from the Sun reaches 0, 90, 180 and 270 degrees, found to well under a minute, so that
// they agree with the pictures that the same model picks. A phase at `julianDate` itself
// (within a second) is not "next": its successor a lunation later is given.
//
// The model is a low-precision one: its new and full moons lie within about 40 minutes
// of the true instants from 1900 to 2100, and its quarters, where the model's terms leave
// a larger error, within about an hour.
std::array<PhaseInstant, 4> NextPrincipalPhases(double julianDate);
