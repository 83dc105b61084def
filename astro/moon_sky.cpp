#include "astro/moon_sky.h"

#include <cmath>

#include "astro/sky_positions.h"

namespace {

constexpr double kEarthEquatorialRadiusKm = 6378.14;
constexpr double kEarthPolarRatio = 0.99664719;  // polar over equatorial radius
// Inclination of the Moon's mean equator on the ecliptic.
constexpr double kLunarEquatorInclination = 1.54242 / kRadian;
constexpr double kStandardRefraction = (34.0 / 60.0) / kRadian;

double Deg(double radians) {
    return radians * kRadian;
}

// Radians to degrees in [-180, 180).
double SignedDeg(double radians) {
    return Deg(Revolution(radians + kPi)) - 180.0;
}

// The physical libration's angles rho, sigma and tau (Meeus 53), in radians.
struct PhysicalLibration {
    double rho, sigma, tau;
};

PhysicalLibration ComputePhysicalLibration(const LunarArguments& a) {
    const double d = a.elongation, m = a.sunAnomaly, mp = a.moonAnomaly, f = a.latitudeArg;
    const double k1 = (119.75 + 131.849 * a.centuries) / kRadian;
    const double k2 = (72.56 + 20.186 * a.centuries) / kRadian;
    PhysicalLibration l;
    l.rho = -0.02752 * std::cos(mp) - 0.02245 * std::sin(f) + 0.00684 * std::cos(mp - 2 * f) -
            0.00293 * std::cos(2 * f) - 0.00085 * std::cos(2 * f - 2 * d) - 0.00054 * std::cos(mp - 2 * d) -
            0.00020 * std::sin(mp + f) - 0.00020 * std::cos(mp + 2 * f) - 0.00020 * std::cos(mp - f) +
            0.00014 * std::cos(mp + 2 * f - 2 * d);
    l.sigma = -0.02816 * std::sin(mp) + 0.02244 * std::cos(f) - 0.00682 * std::sin(mp - 2 * f) -
              0.00279 * std::sin(2 * f) - 0.00083 * std::sin(2 * f - 2 * d) + 0.00069 * std::sin(mp - 2 * d) +
              0.00040 * std::cos(mp + f) - 0.00025 * std::sin(2 * mp) - 0.00023 * std::sin(mp + 2 * f) +
              0.00020 * std::cos(mp - f) + 0.00019 * std::sin(mp - f) + 0.00013 * std::sin(mp + 2 * f - 2 * d) -
              0.00010 * std::cos(mp - 3 * f);
    l.tau = 0.02520 * a.eccentricity * std::sin(m) + 0.00473 * std::sin(2 * mp - 2 * f) - 0.00467 * std::sin(mp) +
            0.00396 * std::sin(k1) + 0.00276 * std::sin(2 * mp - 2 * d) + 0.00196 * std::sin(a.node) -
            0.00183 * std::cos(mp - f) + 0.00115 * std::sin(mp - 2 * d) - 0.00096 * std::sin(mp - d) +
            0.00046 * std::sin(2 * f - 2 * d) - 0.00039 * std::sin(mp - f) - 0.00032 * std::sin(mp - m - d) +
            0.00027 * std::sin(2 * mp - m - 2 * d) + 0.00023 * std::sin(k2) - 0.00014 * std::sin(2 * d) +
            0.00014 * std::cos(2 * mp - 2 * f) - 0.00012 * std::sin(mp - 2 * f) - 0.00012 * std::sin(2 * mp) +
            0.00011 * std::sin(2 * mp - 2 * m - 2 * d);
    l.rho /= kRadian;
    l.sigma /= kRadian;
    l.tau /= kRadian;
    return l;
}

struct Selenographic {
    double longitude, latitude;  // radians
};

// The selenographic point under a body from which the Moon is seen in the apparent
// direction (longitude, latitude): the optical libration of Meeus 53.1 and the physical
// one of 53.2.
Selenographic SubPoint(double longitude, double latitude, const SkyPositions& p, const PhysicalLibration& l) {
    const double w = longitude - p.nutationLongitude - p.moonArgs.node;
    const double i = kLunarEquatorInclination;
    const double a = std::atan2(std::sin(w) * std::cos(latitude) * std::cos(i) - std::sin(latitude) * std::sin(i),
                                std::cos(w) * std::cos(latitude));
    const double opticalLatitude =
        std::asin(-std::sin(w) * std::cos(latitude) * std::sin(i) - std::sin(latitude) * std::cos(i));
    const double physicalLongitude = -l.tau + (l.rho * std::cos(a) + l.sigma * std::sin(a)) * std::tan(opticalLatitude);
    const double physicalLatitude = l.sigma * std::cos(a) - l.rho * std::sin(a);
    return {a - p.moonArgs.latitudeArg + physicalLongitude, opticalLatitude + physicalLatitude};
}

struct Topocentric {
    Equatorial position;
    double distanceKm, hourAngle;
};

// The Moon seen from a place on the reference ellipsoid (Meeus 11 for the place).
Topocentric SeenFrom(const SkyPositions& p, const GeoPlace& place) {
    const Equatorial moon = ToEquatorial(p.moonLongitude, p.moonLatitude, p.obliquity);
    const double u = std::atan(kEarthPolarRatio * std::tan(place.latitudeDeg / kRadian));
    const double siderealTime = p.siderealTime + place.longitudeDeg / kRadian;
    const double rhoCos = kEarthEquatorialRadiusKm * std::cos(u);
    const double x =
        p.moonDistanceKm * std::cos(moon.declination) * std::cos(moon.rightAscension) - rhoCos * std::cos(siderealTime);
    const double y =
        p.moonDistanceKm * std::cos(moon.declination) * std::sin(moon.rightAscension) - rhoCos * std::sin(siderealTime);
    const double z =
        p.moonDistanceKm * std::sin(moon.declination) - kEarthEquatorialRadiusKm * kEarthPolarRatio * std::sin(u);
    Topocentric t;
    t.distanceKm = std::sqrt(x * x + y * y + z * z);
    t.position.rightAscension = Revolution(std::atan2(y, x));
    t.position.declination = std::asin(z / t.distanceKm);
    t.hourAngle = siderealTime - t.position.rightAscension;
    return t;
}

double Altitude(const Topocentric& t, double latitude) {
    return std::asin(std::sin(latitude) * std::sin(t.position.declination) +
                     std::cos(latitude) * std::cos(t.position.declination) * std::cos(t.hourAngle));
}

// Altitude of the upper limb above the refracted horizon, in radians.
double UpperLimbAboveHorizon(double julianDateUt, const GeoPlace& place) {
    const Topocentric t = SeenFrom(ComputeSkyPositions(julianDateUt), place);
    return Altitude(t, place.latitudeDeg / kRadian) + std::asin(kMoonRadiusKm / t.distanceKm) + kStandardRefraction;
}

}  // namespace

MoonSky ComputeMoonSky(double julianDateUt) {
    const SkyPositions p = ComputeSkyPositions(julianDateUt);
    const double lambda = p.moonLongitude, beta = p.moonLatitude;
    const Equatorial moon = ToEquatorial(lambda, beta, p.obliquity);
    const Equatorial sun = ToEquatorial(p.sunLongitude, 0.0, p.obliquity);
    MoonSky sky;

    // Meeus 48.2 and 48.3: the phase angle from the elongation and both distances.
    const double elongation = std::acos(std::cos(beta) * std::cos(lambda - p.sunLongitude));
    const double phaseAngle =
        std::atan2(p.sunDistanceKm * std::sin(elongation), p.moonDistanceKm - p.sunDistanceKm * std::cos(elongation));
    sky.illuminatedFraction = (1.0 + std::cos(phaseAngle)) / 2.0;
    sky.brightLimbAngleDeg = Deg(PositionAngle(moon, sun));

    const PhysicalLibration physical = ComputePhysicalLibration(p.moonArgs);
    const Selenographic earth = SubPoint(lambda, beta, p, physical);
    sky.librationLongitudeDeg = SignedDeg(earth.longitude);
    sky.librationLatitudeDeg = Deg(earth.latitude);

    // Meeus 53: the Moon seen from the Sun, then the same libration.
    const double ratio = p.moonDistanceKm / p.sunDistanceKm;
    const Selenographic sunPoint = SubPoint(
        p.sunLongitude + kPi + ratio * std::cos(beta) * std::sin(p.sunLongitude - lambda), ratio * beta, p, physical);
    sky.subSolarLongitudeDeg = SignedDeg(sunPoint.longitude);
    sky.subSolarLatitudeDeg = Deg(sunPoint.latitude);

    // Meeus 53.3: the axis from the node of the Moon's equator on the true equator.
    const double i = kLunarEquatorInclination;
    const double v = p.moonArgs.node + p.nutationLongitude + physical.sigma / std::sin(i);
    const double x = std::sin(i + physical.rho) * std::sin(v);
    const double y = std::sin(i + physical.rho) * std::cos(v) * std::cos(p.obliquity) -
                     std::cos(i + physical.rho) * std::sin(p.obliquity);
    const double omega = std::atan2(x, y);
    sky.axisAngleDeg = Deg(Revolution(
        std::asin(std::sqrt(x * x + y * y) * std::cos(moon.rightAscension - omega) / std::cos(earth.latitude))));

    sky.distanceKm = p.moonDistanceKm;
    sky.apparentDiameterDeg = 2.0 * Deg(std::asin(kMoonRadiusKm / p.moonDistanceKm));
    return sky;
}

MoonInPlace ComputeMoonInPlace(double julianDateUt, const GeoPlace& place) {
    const Topocentric t = SeenFrom(ComputeSkyPositions(julianDateUt), place);
    const double phi = place.latitudeDeg / kRadian, h = t.hourAngle, dec = t.position.declination;
    MoonInPlace m;
    m.altitudeDeg = Deg(Altitude(t, phi));
    m.azimuthDeg = Deg(Revolution(std::atan2(
        -std::cos(dec) * std::sin(h), std::sin(dec) * std::cos(phi) - std::cos(dec) * std::sin(phi) * std::cos(h))));
    m.parallacticAngleDeg = SignedDeg(std::atan2(
        std::sin(h) * std::cos(phi), std::sin(phi) * std::cos(dec) - std::cos(phi) * std::sin(dec) * std::cos(h)));
    return m;
}

MoonRiseSet NextMoonRiseSet(double julianDateUt, const GeoPlace& place) {
    // Sampled every ten minutes: between samples the altitude crosses the horizon at most
    // once, except where it turns near the horizon, which a sample nearest the turn shows.
    constexpr double kStep = 10.0 / 1440.0;
    constexpr int kSteps = 48 * 6;
    constexpr double kNearHorizon = 1.0 / kRadian;
    constexpr double kResolution = 0.1 / 86400.0;
    MoonRiseSet found;
    const auto f = [&place](double t) { return UpperLimbAboveHorizon(t, place); };
    const auto note = [&found](double t, bool rising) {
        double& slot = rising ? found.riseJulianDate : found.setJulianDate;
        if (slot == 0.0 || t < slot)
            slot = t;
    };
    // The crossing between a and b, whose values differ in sign, by bisection.
    const auto crossing = [&f](double a, double b, double fa) {
        while (b - a > kResolution) {
            const double mid = (a + b) / 2.0;
            if ((f(mid) < 0.0) == (fa < 0.0))
                a = mid;
            else
                b = mid;
        }
        return (a + b) / 2.0;
    };
    double before = 0.0, now = f(julianDateUt);
    for (int i = 1; i <= kSteps; ++i) {
        const double t = julianDateUt + i * kStep;
        const double next = f(t);
        const double tNow = t - kStep;
        if ((now < 0.0) != (next < 0.0))
            note(crossing(tNow, t, now), now < 0.0);
        const bool turns = i > 1 && (now - before) * (next - now) <= 0.0;
        if (turns && std::fabs(now) < kNearHorizon && (before < 0.0) == (now < 0.0) && (next < 0.0) == (now < 0.0)) {
            // The turn by golden section; a turn beyond the horizon is a brief rise and set.
            const double sign = now - before > 0.0 ? -1.0 : 1.0;
            const double turn = GoldenMinimum([&](double x) { return sign * f(x); }, tNow - kStep, t, kResolution);
            const double atTurn = f(turn);
            if ((atTurn < 0.0) != (now < 0.0)) {
                note(crossing(tNow - kStep, turn, before), now < 0.0);
                note(crossing(turn, t, atTurn), now >= 0.0);
            }
        }
        before = now;
        now = next;
    }
    return found;
}
