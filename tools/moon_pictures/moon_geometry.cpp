#include "moon_geometry.h"

#include <cmath>

namespace {
constexpr double kDegToRad = 0.017453292519943295;
constexpr double kRadToDeg = 57.29577951308232;
}  // namespace

DiscLayout MakeDiscLayout(int size) {
    DiscLayout disc;
    disc.size = size;
    disc.centre = size / 2.0;
    disc.radius = size * (1900.0 / 2048.0) / 2.0;
    return disc;
}

Vec3 SurfaceNormal(double latitudeDeg, double longitudeDeg) {
    const double lat = latitudeDeg * kDegToRad;
    const double lon = longitudeDeg * kDegToRad;
    return {std::cos(lat) * std::sin(lon), std::sin(lat), std::cos(lat) * std::cos(lon)};
}

Vec3 SunDirection(double elongationDeg) {
    const double e = elongationDeg * kDegToRad;
    return {std::sin(e), 0.0, -std::cos(e)};
}

double SunElevationDeg(double latitudeDeg, double longitudeDeg, double elongationDeg) {
    const double s = Dot(SurfaceNormal(latitudeDeg, longitudeDeg), SunDirection(elongationDeg));
    return std::asin(s < -1.0 ? -1.0 : (s > 1.0 ? 1.0 : s)) * kRadToDeg;
}

ScreenPoint ProjectFeature(const DiscLayout& disc, double latitudeDeg, double longitudeDeg) {
    const Vec3 n = SurfaceNormal(latitudeDeg, longitudeDeg);
    return {disc.centre + disc.radius * n.x, disc.centre - disc.radius * n.y, n.z > 0.0};
}
