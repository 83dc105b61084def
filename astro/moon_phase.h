#pragma once

// The Moon's state for one instant, as seen from the Earth.
struct PhaseInfo {
    double illuminatedFraction = 0.0;  // lit fraction of the disc, 0 (new) to 1 (full)
    double ageDays = 0.0;              // days since the last new moon
    double lunationFraction = 0.0;     // part of the synodic month elapsed, [0, 1)
    double moonDistanceKm = 0.0;
    double moonAngularDiameter = 0.0;  // degrees
    double sunDistanceKm = 0.0;
    double sunAngularDiameter = 0.0;  // degrees
};

// angle - 360 * floor(angle / 360): an angle reduced to [0, 360).
double FixAngle(double angleDegrees);

// Eccentric anomaly (radians) for a mean anomaly (degrees) by Newton's method.
// When `iterations` is given it receives the number of corrections made.
double SolveKepler(double meanAnomalyDegrees, double eccentricity, int* iterations = nullptr);

// The Moon's phase, age, distances and apparent diameters at a Julian date (UT),
// by the classical low-precision model referred to the epoch 1980 January 0.0.
PhaseInfo ComputeMoonPhase(double julianDate);
