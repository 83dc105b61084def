#include "astro/moon_phase.h"

#include <cmath>

namespace {

constexpr double kEpoch = 2444238.5;  // 1980 January 0.0
constexpr double kSunDailyMotion = 0.9856473320990837;
constexpr double kSunLongitudeAtEpoch = 278.83354;
constexpr double kSunLongitudeAtPerigee = 282.596403;
constexpr double kEarthEccentricity = 0.016718;
constexpr double kEccentricityRatio = 1.0340044870138985;  // (1 + e) / (1 - e)
constexpr double kOneMinusESquared = 0.999720508476;
constexpr double kEarthSemiMajorAxisKm = 149598500.0;
constexpr double kSunAngularSize = 0.533128;

constexpr double kMoonMeanLongitudeAtEpoch = 64.975464;
constexpr double kMoonDailyMotion = 13.1763966;
constexpr double kPerigeeLongitudeAtEpoch = 349.383063;
constexpr double kPerigeeDailyMotion = 0.1114041;
constexpr double kMoonEccentricity = 0.0549;
constexpr double kMoonSemiMajorAxisKm = 384401.0;
constexpr double kMoonSemiLatusRectumKm = 383242.41154199;  // a * (1 - m^2)
constexpr double kMoonAngularSize = 0.5181;
constexpr double kSynodicMonth = 29.53058868;

constexpr double kEvection = 1.2739;
constexpr double kAnnualEquation = 0.1858;
constexpr double kThirdCorrection = 0.37;
constexpr double kEquationOfCentre = 6.2886;
constexpr double kFourthCorrection = 0.214;
constexpr double kVariation = 0.6583;

constexpr double kKeplerTolerance = 1e-06;
constexpr double kDegToRad = 0.017453292519943295;
constexpr double kRadToDeg = 57.29577951308232;

double Rad(double degrees) {
    return degrees * kDegToRad;
}
double Deg(double radians) {
    return radians * kRadToDeg;
}

}  // namespace

double FixAngle(double angleDegrees) {
    return angleDegrees - 360.0 * std::floor(angleDegrees / 360.0);
}

double SolveKepler(double meanAnomalyDegrees, double eccentricity, int* iterations) {
    const double m = Rad(meanAnomalyDegrees);
    double e = m;
    double delta;
    int count = 0;
    do {
        delta = e - eccentricity * std::sin(e) - m;
        e -= delta / (1.0 - eccentricity * std::cos(e));
        ++count;
    } while (std::fabs(delta) > kKeplerTolerance);
    if (iterations)
        *iterations = count;
    return e;
}

PhaseInfo ComputeMoonPhase(double julianDate) {
    PhaseInfo info;
    const double day = julianDate - kEpoch;

    // The Sun.
    const double n = FixAngle(kSunDailyMotion * day);
    const double sunAnomaly = FixAngle(n + kSunLongitudeAtEpoch - kSunLongitudeAtPerigee);
    const double eccentric = SolveKepler(sunAnomaly, kEarthEccentricity);
    const double trueAnomaly = 2.0 * Deg(std::atan(std::sqrt(kEccentricityRatio) * std::tan(eccentric / 2.0)));
    const double sunLongitude = FixAngle(trueAnomaly + kSunLongitudeAtPerigee);
    const double distanceFactor = (1.0 + kEarthEccentricity * std::cos(Rad(trueAnomaly))) / kOneMinusESquared;
    info.sunDistanceKm = kEarthSemiMajorAxisKm / distanceFactor;
    info.sunAngularDiameter = distanceFactor * kSunAngularSize;

    // The Moon.
    const double meanLongitude = FixAngle(kMoonDailyMotion * day + kMoonMeanLongitudeAtEpoch);
    const double meanAnomaly = FixAngle(meanLongitude - kPerigeeDailyMotion * day - kPerigeeLongitudeAtEpoch);
    const double evection = kEvection * std::sin(Rad(2.0 * (meanLongitude - sunLongitude) - meanAnomaly));
    const double annualEquation = kAnnualEquation * std::sin(Rad(sunAnomaly));
    const double thirdCorrection = kThirdCorrection * std::sin(Rad(sunAnomaly));
    const double correctedAnomaly = meanAnomaly + evection - annualEquation - thirdCorrection;
    const double centre = kEquationOfCentre * std::sin(Rad(correctedAnomaly));
    const double fourthCorrection = kFourthCorrection * std::sin(Rad(2.0 * correctedAnomaly));
    const double correctedLongitude = meanLongitude + evection + centre - annualEquation + fourthCorrection;
    const double variation = kVariation * std::sin(Rad(2.0 * (correctedLongitude - sunLongitude)));
    const double trueLongitude = correctedLongitude + variation;

    // The phase, from the Moon's elongation from the Sun.
    const double ageAngle = trueLongitude - sunLongitude;
    info.illuminatedFraction = (1.0 - std::cos(Rad(ageAngle))) / 2.0;
    info.moonDistanceKm = kMoonSemiLatusRectumKm / (1.0 + kMoonEccentricity * std::cos(Rad(correctedAnomaly + centre)));
    info.moonAngularDiameter = kMoonAngularSize / (info.moonDistanceKm / kMoonSemiMajorAxisKm);
    info.lunationFraction = FixAngle(ageAngle) / 360.0;
    info.ageDays = kSynodicMonth * info.lunationFraction;
    return info;
}
