#pragma once

// Apparent geocentric positions of the Moon and the Sun, after Meeus, "Astronomical
// Algorithms" (2nd ed.): the main periodic terms of the lunar theory (chapter 47), the
// Sun's low-accuracy theory (chapter 25, good to about 0.01 degree), nutation (chapter 22),
// sidereal time (chapter 12) and a polynomial fit of the difference between dynamical and
// universal time. Angles are in radians here.

// The Moon's mean arguments at an instant, which its orientation also needs.
struct LunarArguments {
    double elongation = 0.0;    // D
    double sunAnomaly = 0.0;    // M
    double moonAnomaly = 0.0;   // M'
    double latitudeArg = 0.0;   // F
    double node = 0.0;          // Omega, the mean ascending node
    double eccentricity = 0.0;  // E, the factor of the terms in M
    double centuries = 0.0;     // T, Julian centuries of dynamical time since J2000.0
};

struct SkyPositions {
    LunarArguments moonArgs;
    // Apparent ecliptic coordinates of date; the Sun's latitude (under a second of arc) is
    // taken as 0.
    double moonLongitude = 0.0;
    double moonLatitude = 0.0;
    double moonDistanceKm = 0.0;
    double sunLongitude = 0.0;
    double sunDistanceKm = 0.0;
    double nutationLongitude = 0.0;  // delta psi
    double obliquity = 0.0;          // true obliquity of the ecliptic
    double siderealTime = 0.0;       // apparent sidereal time at Greenwich
};

struct Equatorial {
    double rightAscension = 0.0;
    double declination = 0.0;
};

constexpr double kPi = 3.14159265358979323846;
constexpr double kRadian = 180.0 / kPi;  // degrees in a radian
constexpr double kMoonRadiusKm = 1737.4;

// Dynamical minus universal time in seconds for a decimal year (polynomials of Espenak and
// Meeus, 1900 to 2150; a parabola outside).
double DeltaTSeconds(double year);

SkyPositions ComputeSkyPositions(double julianDateUt);

Equatorial ToEquatorial(double longitude, double latitude, double obliquity);

// Position angle of `to` seen from `from`, from north through east, in [0, 2 pi).
double PositionAngle(const Equatorial& from, const Equatorial& to);

// The angle in [0, 2 pi).
double Revolution(double radians);
