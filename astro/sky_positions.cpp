#include "astro/sky_positions.h"

#include <cmath>

namespace {

constexpr double kAuKm = 149597870.7;
constexpr double kArcsecond = 1.0 / (3600.0 * kRadian);

// Multiples of D, M, M', F and the coefficients of one periodic term: longitude in 1e-6
// degree and distance in metres (table 47.A), or latitude in 1e-6 degree (table 47.B).
struct LunarTerm {
    signed char d, m, mp, f;
    int sine, cosine;
};

constexpr LunarTerm kLongitudeDistance[] = {
    {0, 0, 1, 0, 6288774, -20905355},
    {2, 0, -1, 0, 1274027, -3699111},
    {2, 0, 0, 0, 658314, -2955968},
    {0, 0, 2, 0, 213618, -569925},
    {0, 1, 0, 0, -185116, 48888},
    {0, 0, 0, 2, -114332, -3149},
    {2, 0, -2, 0, 58793, 246158},
    {2, -1, -1, 0, 57066, -152138},
    {2, 0, 1, 0, 53322, -170733},
    {2, -1, 0, 0, 45758, -204586},
    {0, 1, -1, 0, -40923, -129620},
    {1, 0, 0, 0, -34720, 108743},
    {0, 1, 1, 0, -30383, 104755},
    {2, 0, 0, -2, 15327, 10321},
    {0, 0, 1, 2, -12528, 0},
    {0, 0, 1, -2, 10980, 79661},
    {4, 0, -1, 0, 10675, -34782},
    {0, 0, 3, 0, 10034, -23210},
    {4, 0, -2, 0, 8548, -21636},
    {2, 1, -1, 0, -7888, 24208},
    {2, 1, 0, 0, -6766, 30824},
    {1, 0, -1, 0, -5163, -8379},
    {1, 1, 0, 0, 4987, -16675},
    {2, -1, 1, 0, 4036, -12831},
    {2, 0, 2, 0, 3994, -10445},
    {4, 0, 0, 0, 3861, -11650},
    {2, 0, -3, 0, 3665, 14403},
    {0, 1, -2, 0, -2689, -7003},
    {2, 0, -1, 2, -2602, 0},
    {2, -1, -2, 0, 2390, 10056},
    {1, 0, 1, 0, -2348, 6322},
    {2, -2, 0, 0, 2236, -9884},
    {0, 1, 2, 0, -2120, 5751},
    {0, 2, 0, 0, -2069, 0},
    {2, -2, -1, 0, 2048, -4950},
    {2, 0, 1, -2, -1773, 4130},
    {2, 0, 0, 2, -1595, 0},
    {4, -1, -1, 0, 1215, -3958},
    {0, 0, 2, 2, -1110, 0},
    {3, 0, -1, 0, -892, 3258},
    {2, 1, 1, 0, -810, 2616},
    {4, -1, -2, 0, 759, -1897},
    {0, 2, -1, 0, -713, -2117},
    {2, 2, -1, 0, -700, 2354},
    {2, 1, -2, 0, 691, 0},
    {2, -1, 0, -2, 596, 0},
    {4, 0, 1, 0, 549, -1423},
    {0, 0, 4, 0, 537, -1117},
    {4, -1, 0, 0, 520, -1571},
    {1, 0, -2, 0, -487, -1739},
    {2, 1, 0, -2, -399, 0},
    {0, 0, 2, -2, -381, -4421},
    {1, 1, 1, 0, 351, 0},
    {3, 0, -2, 0, -340, 0},
    {4, 0, -3, 0, 330, 0},
    {2, -1, 2, 0, 327, 0},
    {0, 2, 1, 0, -323, 1165},
    {1, 1, -1, 0, 299, 0},
    {2, 0, 3, 0, 294, 0},
    {2, 0, -1, -2, 0, 8752},
};

constexpr LunarTerm kLatitude[] = {
    {0, 0, 0, 1, 5128122, 0}, {0, 0, 1, 1, 280602, 0},  {0, 0, 1, -1, 277693, 0}, {2, 0, 0, -1, 173237, 0},
    {2, 0, -1, 1, 55413, 0},  {2, 0, -1, -1, 46271, 0}, {2, 0, 0, 1, 32573, 0},   {0, 0, 2, 1, 17198, 0},
    {2, 0, 1, -1, 9266, 0},   {0, 0, 2, -1, 8822, 0},   {2, -1, 0, -1, 8216, 0},  {2, 0, -2, -1, 4324, 0},
    {2, 0, 1, 1, 4200, 0},    {2, 1, 0, -1, -3359, 0},  {2, -1, -1, 1, 2463, 0},  {2, -1, 0, 1, 2211, 0},
    {2, -1, -1, -1, 2065, 0}, {0, 1, -1, -1, -1870, 0}, {4, 0, -1, -1, 1828, 0},  {0, 1, 0, 1, -1794, 0},
    {0, 0, 0, 3, -1749, 0},   {0, 1, -1, 1, -1565, 0},  {1, 0, 0, 1, -1491, 0},   {0, 1, 1, 1, -1475, 0},
    {0, 1, 1, -1, -1410, 0},  {0, 1, 0, -1, -1344, 0},  {1, 0, 0, -1, -1335, 0},  {0, 0, 3, 1, 1107, 0},
    {4, 0, 0, -1, 1021, 0},   {4, 0, -1, 1, 833, 0},    {0, 0, 1, -3, 777, 0},    {4, 0, -2, 1, 671, 0},
    {2, 0, 0, -3, 607, 0},    {2, 0, 2, -1, 596, 0},    {2, -1, 1, -1, 491, 0},   {2, 0, -2, 1, -451, 0},
    {0, 0, 3, -1, 439, 0},    {2, 0, 2, 1, 422, 0},     {2, 0, -3, -1, 421, 0},   {2, 1, -1, 1, -366, 0},
    {2, 1, 0, 1, -351, 0},    {4, 0, 0, 1, 331, 0},     {2, -1, 1, 1, 315, 0},    {2, -2, 0, -1, 302, 0},
    {0, 0, 1, 3, -283, 0},    {2, 1, 1, -1, -229, 0},   {1, 1, 0, -1, 223, 0},    {1, 1, 0, 1, 223, 0},
    {0, 1, -2, -1, -220, 0},  {2, 1, -1, -1, -220, 0},  {1, 0, 1, 1, -185, 0},    {2, -1, -2, -1, 181, 0},
    {0, 1, 2, 1, -177, 0},    {4, 0, -2, -1, 176, 0},   {4, -1, -1, -1, 166, 0},  {1, 0, 1, -1, -164, 0},
    {4, 0, 1, -1, 132, 0},    {1, 0, -1, -1, -119, 0},  {4, -1, 0, -1, 115, 0},   {2, -2, 0, 1, 107, 0},
};

// A polynomial in degrees of the time, as an angle in [0, 2 pi).
double Degrees(double c0, double c1, double c2, double c3, double c4, double t) {
    return Revolution(std::fmod(c0 + t * (c1 + t * (c2 + t * (c3 + t * c4))), 360.0) / kRadian);
}

// The periodic terms' sums, in 1e-6 degree and metres; the terms in M are multiplied by E
// once per multiple.
void SumLunarTerms(const LunarArguments& a, double* longitude, double* distance, double* latitude) {
    const auto argument = [&a](const LunarTerm& term, double* factor) {
        *factor = term.m == 0 ? 1.0 : (std::abs(term.m) == 1 ? a.eccentricity : a.eccentricity * a.eccentricity);
        return term.d * a.elongation + term.m * a.sunAnomaly + term.mp * a.moonAnomaly + term.f * a.latitudeArg;
    };
    double factor = 1.0;
    *longitude = *distance = *latitude = 0.0;
    for (const LunarTerm& term : kLongitudeDistance) {
        const double x = argument(term, &factor);
        *longitude += factor * term.sine * std::sin(x);
        *distance += factor * term.cosine * std::cos(x);
    }
    for (const LunarTerm& term : kLatitude) {
        const double x = argument(term, &factor);
        *latitude += factor * term.sine * std::sin(x);
    }
}

}  // namespace

double Revolution(double radians) {
    const double turn = 2.0 * kPi;
    return radians - turn * std::floor(radians / turn);
}

double DeltaTSeconds(double year) {
    if (year >= 2050.0 || year < 1900.0) {
        const double u = (year - 1820.0) / 100.0;
        return -20.0 + 32.0 * u * u - (year >= 2050.0 && year < 2150.0 ? 0.5628 * (2150.0 - year) : 0.0);
    }
    if (year >= 2005.0) {
        const double t = year - 2000.0;
        return 62.92 + t * (0.32217 + t * 0.005589);
    }
    if (year >= 1986.0) {
        const double t = year - 2000.0;
        return 63.86 + t * (0.3345 + t * (-0.060374 + t * (0.0017275 + t * (0.000651814 + t * 0.00002373599))));
    }
    if (year >= 1961.0) {
        const double t = year - 1975.0;
        return 45.45 + t * (1.067 + t * (-1.0 / 260.0 - t / 718.0));
    }
    if (year >= 1941.0) {
        const double t = year - 1950.0;
        return 29.07 + t * (0.407 + t * (-1.0 / 233.0 + t / 2547.0));
    }
    if (year >= 1920.0) {
        const double t = year - 1920.0;
        return 21.20 + t * (0.84493 + t * (-0.076100 + t * 0.0020936));
    }
    const double t = year - 1900.0;
    return -2.79 + t * (1.494119 + t * (-0.0598939 + t * (0.0061966 - t * 0.000197)));
}

Equatorial ToEquatorial(double longitude, double latitude, double obliquity) {
    Equatorial e;
    e.rightAscension = Revolution(std::atan2(
        std::sin(longitude) * std::cos(obliquity) - std::tan(latitude) * std::sin(obliquity), std::cos(longitude)));
    e.declination = std::asin(std::sin(latitude) * std::cos(obliquity) +
                              std::cos(latitude) * std::sin(obliquity) * std::sin(longitude));
    return e;
}

double PositionAngle(const Equatorial& from, const Equatorial& to) {
    const double da = to.rightAscension - from.rightAscension;
    return Revolution(std::atan2(std::cos(to.declination) * std::sin(da),
                                 std::sin(to.declination) * std::cos(from.declination) -
                                     std::cos(to.declination) * std::sin(from.declination) * std::cos(da)));
}

SkyPositions ComputeSkyPositions(double julianDateUt) {
    const double daysUt = julianDateUt - 2451545.0;
    const double julianDateTt = julianDateUt + DeltaTSeconds(2000.0 + daysUt / 365.25) / 86400.0;
    const double t = (julianDateTt - 2451545.0) / 36525.0;

    SkyPositions p;
    LunarArguments& a = p.moonArgs;
    a.centuries = t;
    const double meanLongitude =
        Degrees(218.3164477, 481267.88123421, -0.0015786, 1.0 / 538841.0, -1.0 / 65194000.0, t);
    a.elongation = Degrees(297.8501921, 445267.1114034, -0.0018819, 1.0 / 545868.0, -1.0 / 113065000.0, t);
    a.sunAnomaly = Degrees(357.5291092, 35999.0502909, -0.0001536, 1.0 / 24490000.0, 0.0, t);
    a.moonAnomaly = Degrees(134.9633964, 477198.8675055, 0.0087414, 1.0 / 69699.0, -1.0 / 14712000.0, t);
    a.latitudeArg = Degrees(93.2720950, 483202.0175233, -0.0036539, -1.0 / 3526000.0, 1.0 / 863310000.0, t);
    a.node = Degrees(125.0445479, -1934.1362891, 0.0020754, 1.0 / 467441.0, -1.0 / 60616000.0, t);
    a.eccentricity = 1.0 - t * (0.002516 + t * 0.0000074);

    // Nutation to half a second of arc.
    const double sunMeanLongitude = Degrees(280.4665, 36000.7698, 0.0, 0.0, 0.0, t);
    const double moonMeanLongitude = Degrees(218.3165, 481267.8813, 0.0, 0.0, 0.0, t);
    p.nutationLongitude = (-17.20 * std::sin(a.node) - 1.32 * std::sin(2.0 * sunMeanLongitude) -
                           0.23 * std::sin(2.0 * moonMeanLongitude) + 0.21 * std::sin(2.0 * a.node)) *
                          kArcsecond;
    const double nutationObliquity = (9.20 * std::cos(a.node) + 0.57 * std::cos(2.0 * sunMeanLongitude) +
                                      0.10 * std::cos(2.0 * moonMeanLongitude) - 0.09 * std::cos(2.0 * a.node)) *
                                     kArcsecond;
    p.obliquity = (84381.448 + t * (-46.8150 + t * (-0.00059 + t * 0.001813))) * kArcsecond + nutationObliquity;

    double sumLongitude = 0.0, sumDistance = 0.0, sumLatitude = 0.0;
    SumLunarTerms(a, &sumLongitude, &sumDistance, &sumLatitude);
    const double a1 = Degrees(119.75, 131.849, 0.0, 0.0, 0.0, t);
    const double a2 = Degrees(53.09, 479264.290, 0.0, 0.0, 0.0, t);
    const double a3 = Degrees(313.45, 481266.484, 0.0, 0.0, 0.0, t);
    sumLongitude += 3958.0 * std::sin(a1) + 1962.0 * std::sin(meanLongitude - a.latitudeArg) + 318.0 * std::sin(a2);
    sumLatitude += -2235.0 * std::sin(meanLongitude) + 382.0 * std::sin(a3) +
                   175.0 * (std::sin(a1 - a.latitudeArg) + std::sin(a1 + a.latitudeArg)) +
                   127.0 * std::sin(meanLongitude - a.moonAnomaly) - 115.0 * std::sin(meanLongitude + a.moonAnomaly);
    p.moonLongitude = Revolution(meanLongitude + sumLongitude * 1e-6 / kRadian + p.nutationLongitude);
    p.moonLatitude = sumLatitude * 1e-6 / kRadian;
    p.moonDistanceKm = 385000.56 + sumDistance / 1000.0;

    const double m = a.sunAnomaly;
    const double centre = ((1.914602 - t * (0.004817 + t * 0.000014)) * std::sin(m) +
                           (0.019993 - t * 0.000101) * std::sin(2.0 * m) + 0.000289 * std::sin(3.0 * m)) /
                          kRadian;
    const double e = 0.016708634 - t * (0.000042037 + t * 0.0000001267);
    const double radiusAu = 1.000001018 * (1.0 - e * e) / (1.0 + e * std::cos(m + centre));
    p.sunDistanceKm = radiusAu * kAuKm;
    p.sunLongitude = Revolution(Degrees(280.46646, 36000.76983, 0.0003032, 0.0, 0.0, t) + centre + p.nutationLongitude -
                                20.4898 * kArcsecond / radiusAu);

    const double tu = daysUt / 36525.0;
    const double meanSidereal =
        std::fmod(280.46061837 + 360.98564736629 * daysUt, 360.0) + tu * tu * (0.000387933 - tu / 38710000.0);
    p.siderealTime = Revolution(meanSidereal / kRadian + p.nutationLongitude * std::cos(p.obliquity));
    return p;
}
