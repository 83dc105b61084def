// Lunar eclipses and the Earth's shadow on the Moon (declared in moon_sky.h).
#include <cmath>

#include "astro/moon_sky.h"
#include "astro/principal_phases.h"
#include "astro/sky_positions.h"

namespace {

// The atmosphere darkens the shadow beyond the solid Earth: an opaque Earth of the mean
// radius plus 88 km reproduces the shadow sizes that observers time (it enlarges the
// shadow by about 1/72, near Danjon's 1/85 of the radius).
constexpr double kShadowEarthRadiusKm = 6371.0 + 88.0;
constexpr double kSunRadiusKm = 695700.0;
constexpr double kSecond = 1.0 / 86400.0;

// The shadow cones in the plane through the Moon's centre square to the shadow's axis,
// and how far from that axis the Moon's centre lies, in kilometres.
struct ShadowAtMoon {
    double axisDistanceKm, umbraKm, penumbraKm;
};

ShadowAtMoon ShadowAt(const SkyPositions& p) {
    // The Moon in a frame whose first axis points away from the Sun through the Earth.
    const double dl = p.moonLongitude - p.sunLongitude - kPi;
    const double along = p.moonDistanceKm * std::cos(p.moonLatitude) * std::cos(dl);
    const double across = p.moonDistanceKm * std::cos(p.moonLatitude) * std::sin(dl);
    const double up = p.moonDistanceKm * std::sin(p.moonLatitude);
    ShadowAtMoon s;
    s.axisDistanceKm = std::sqrt(across * across + up * up);
    s.umbraKm = kShadowEarthRadiusKm - along * (kSunRadiusKm - kShadowEarthRadiusKm) / p.sunDistanceKm;
    s.penumbraKm = kShadowEarthRadiusKm + along * (kSunRadiusKm + kShadowEarthRadiusKm) / p.sunDistanceKm;
    return s;
}

ShadowAtMoon ShadowAt(double julianDateUt) {
    return ShadowAt(ComputeSkyPositions(julianDateUt));
}

// The Moon's limb meets a shadow's edge (radius picked by `edge`, the Moon's radius added
// by `limb`, +1 or -1) between `inside` and `outside`, found by bisection.
template <typename Edge>
double Contact(double inside, double outside, Edge edge, double limb) {
    while (std::fabs(outside - inside) > kSecond) {
        const double mid = (inside + outside) / 2.0;
        const ShadowAtMoon s = ShadowAt(mid);
        (s.axisDistanceKm < edge(s) + limb * kMoonRadiusKm ? inside : outside) = mid;
    }
    return (inside + outside) / 2.0;
}

// The instant the Moon passes nearest the shadow's axis, within a quarter of a day of the
// full moon, by golden section (the distance has a single minimum there).
double Greatest(double fullMoon) {
    return GoldenMinimum([](double t) { return ShadowAt(t).axisDistanceKm; }, fullMoon - 0.25, fullMoon + 0.25,
                         kSecond);
}

}  // namespace

EarthShadow ComputeEarthShadow(double julianDateUt) {
    const SkyPositions p = ComputeSkyPositions(julianDateUt);
    const ShadowAtMoon s = ShadowAt(p);
    const Equatorial moon = ToEquatorial(p.moonLongitude, p.moonLatitude, p.obliquity);
    const Equatorial sun = ToEquatorial(p.sunLongitude, 0.0, p.obliquity);
    // The shadow's centre lies on the great circle through the Moon and the Sun, opposite
    // the Sun.
    EarthShadow shadow;
    shadow.centrePositionAngleDeg = Revolution(PositionAngle(moon, sun) + kPi) * kRadian;
    shadow.centreDistance = s.axisDistanceKm / kMoonRadiusKm;
    shadow.umbraRadius = s.umbraKm / kMoonRadiusKm;
    shadow.penumbraRadius = s.penumbraKm / kMoonRadiusKm;
    return shadow;
}

LunarEclipse NextLunarEclipse(double julianDateUt) {
    const auto umbra = [](const ShadowAtMoon& s) { return s.umbraKm; };
    const auto penumbra = [](const ShadowAtMoon& s) { return s.penumbraKm; };
    // A full moon up to a day before the instant may still have its greatest eclipse after
    // it. Eclipse seasons come every six lunations, so twenty full moons always hold one.
    double from = julianDateUt - 1.0;
    for (int lunation = 0; lunation < 20; ++lunation) {
        const double fullMoon = NextPhaseInstant(from, PrincipalPhase::FullMoon);
        from = fullMoon;
        const double peak = Greatest(fullMoon);
        const ShadowAtMoon s = ShadowAt(peak);
        if (peak <= julianDateUt || s.axisDistanceKm >= s.penumbraKm + kMoonRadiusKm)
            continue;
        LunarEclipse eclipse;
        eclipse.peakJulianDate = peak;
        // Every stage is over within six hours of the greatest eclipse.
        const auto minutes = [peak](auto edge, double limb) {
            return (Contact(peak, peak + 0.25, edge, limb) - Contact(peak, peak - 0.25, edge, limb)) * 1440.0;
        };
        eclipse.penumbralMinutes = minutes(penumbra, 1.0);
        if (s.axisDistanceKm < s.umbraKm + kMoonRadiusKm) {
            eclipse.kind = EclipseKind::Partial;
            eclipse.partialMinutes = minutes(umbra, 1.0);
        }
        if (s.axisDistanceKm < s.umbraKm - kMoonRadiusKm) {
            eclipse.kind = EclipseKind::Total;
            eclipse.totalMinutes = minutes(umbra, -1.0);
        }
        return eclipse;
    }
    return {};
}
