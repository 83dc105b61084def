#pragma once

// The Moon in the sky: its apparent geocentric position from the main periodic terms of
// the lunar theory, the Sun's from the solar theory of Meeus' "Astronomical Algorithms"
// (2nd ed., chapters 22, 25, 47), with nutation and the difference between universal and
// dynamical time. Every instant is a Julian date in universal time; angles are degrees.

// The Moon's look as seen from the Earth's centre.
struct MoonSky {
    double illuminatedFraction = 0.0;  // lit fraction of the disc, 0 to 1
    // Position angle of the midpoint of the bright limb, from celestial north through
    // east, 0 to 360.
    double brightLimbAngleDeg = 0.0;
    // Position angle of the northern end of the Moon's axis of rotation, from celestial
    // north through east, 0 to 360.
    double axisAngleDeg = 0.0;
    // Selenographic longitude (-180 to 180, east positive) and latitude of the point of the
    // surface that faces the Earth's centre: optical and physical libration together.
    double librationLongitudeDeg = 0.0;
    double librationLatitudeDeg = 0.0;
    // Selenographic longitude (-180 to 180, east positive) and latitude of the point with
    // the Sun overhead.
    double subSolarLongitudeDeg = 0.0;
    double subSolarLatitudeDeg = 0.0;
    double distanceKm = 0.0;           // centre to centre
    double apparentDiameterDeg = 0.0;  // from the Earth's centre
};

MoonSky ComputeMoonSky(double julianDateUt);

// A place on the Earth's surface (the reference ellipsoid, at sea level).
struct GeoPlace {
    double latitudeDeg = 0.0;   // north positive
    double longitudeDeg = 0.0;  // east positive
};

// The Moon as seen from a place (topocentric).
struct MoonInPlace {
    double altitudeDeg = 0.0;  // of the centre, without refraction
    double azimuthDeg = 0.0;   // from north through east, 0 to 360
    // The angle at the Moon between the directions to the celestial pole and to the
    // zenith, -180 to 180; positive when the Moon is west of the meridian. Turning the
    // geocentric position angles above by minus this angle gives angles from the
    // place's vertical.
    double parallacticAngleDeg = 0.0;
};

MoonInPlace ComputeMoonInPlace(double julianDateUt, const GeoPlace& place);

// The first moonrise and the first moonset after an instant: the moments at which the
// Moon's upper limb, seen from the place, crosses a level horizon with the standard
// refraction of 34 minutes of arc, as almanacs give them. Each is 0 when there is none
// within 48 hours of the instant.
struct MoonRiseSet {
    double riseJulianDate = 0.0;
    double setJulianDate = 0.0;
};

MoonRiseSet NextMoonRiseSet(double julianDateUt, const GeoPlace& place);

enum class EclipseKind { Penumbral, Partial, Total };

// A lunar eclipse: its kind, the instant of greatest eclipse and how long each stage lasts
// (the penumbral stage from the first to the last contact with the penumbra, the partial
// one with the umbra, the total one inside it), 0 for a stage that it does not have.
struct LunarEclipse {
    EclipseKind kind = EclipseKind::Penumbral;
    double peakJulianDate = 0.0;
    double penumbralMinutes = 0.0;
    double partialMinutes = 0.0;
    double totalMinutes = 0.0;
};

// The first lunar eclipse whose greatest eclipse comes after the instant.
LunarEclipse NextLunarEclipse(double julianDateUt);

// Where the Earth's shadow lies on the Moon's disc as seen from the Earth's centre, in
// radii of the Moon's disc: the position angle (from celestial north through east) and
// the distance of the shadow's centre from the disc's centre, and the radii of the umbra
// and the penumbra. The disc is in shadow where it lies within those radii of the centre;
// at most times the shadow is far off the disc.
struct EarthShadow {
    double centrePositionAngleDeg = 0.0;
    double centreDistance = 0.0;
    double umbraRadius = 0.0;
    double penumbraRadius = 0.0;
};

EarthShadow ComputeEarthShadow(double julianDateUt);
