#include "moon_render/moon_geometry.h"

#include <cmath>

namespace {

constexpr double kDegToRad = 0.017453292519943295;
constexpr double kRadToDeg = 57.29577951308232;

// Exact for multiples of 90 degrees, so that a half turn maps a pixel onto a pixel.
void CosSinDeg(double degrees, double& c, double& s) {
    const double quarter = std::fmod(degrees, 360.0) / 90.0;
    if (quarter == std::floor(quarter)) {
        static const double table[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
        const int k = (static_cast<int>(quarter) % 4 + 4) % 4;
        c = table[k][0];
        s = table[k][1];
        return;
    }
    c = std::cos(degrees * kDegToRad);
    s = std::sin(degrees * kDegToRad);
}

}  // namespace

Vec3 SurfaceNormal(double latitudeDeg, double longitudeDeg) {
    const double lat = latitudeDeg * kDegToRad;
    const double lon = longitudeDeg * kDegToRad;
    return {std::cos(lat) * std::sin(lon), std::sin(lat), std::cos(lat) * std::cos(lon)};
}

SelenoPoint SubSolarPointOfPictures(double elongationDeg) {
    return {0.0, std::remainder(180.0 - elongationDeg, 360.0)};
}

double SunElevationDeg(double latitudeDeg, double longitudeDeg, const SelenoPoint& subSolar) {
    const double s =
        Dot(SurfaceNormal(latitudeDeg, longitudeDeg), SurfaceNormal(subSolar.latitudeDeg, subSolar.longitudeDeg));
    return std::asin(s < -1.0 ? -1.0 : (s > 1.0 ? 1.0 : s)) * kRadToDeg;
}

double SunElevationDeg(double latitudeDeg, double longitudeDeg, double elongationDeg) {
    return SunElevationDeg(latitudeDeg, longitudeDeg, SubSolarPointOfPictures(elongationDeg));
}

DiscLayout DiscOf(const PictureSquare& square) {
    DiscLayout disc;
    disc.centreX = square.left + square.size / 2.0;
    disc.centreY = square.top + square.size / 2.0;
    disc.radius = square.size * (1900.0 / 2048.0) / 2.0;
    return disc;
}

DiscLayout MakeDiscLayout(int size) {
    return DiscOf({0, 0, size});
}

CProjection::CProjection(const MoonFrame& frame) : disc(DiscOf(frame.square)) {
    // Turn the observer's longitude to the front, then tilt its latitude down to the centre.
    double cl, sl, cb, sb;
    CosSinDeg(frame.observer.longitudeDeg, cl, sl);
    CosSinDeg(frame.observer.latitudeDeg, cb, sb);
    const double rows[3][3] = {{cl, 0.0, -sl}, {-sb * sl, cb, -sb * cl}, {cb * sl, sb, cb * cl}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            m[i][j] = rows[i][j];
    CosSinDeg(frame.turnDeg, turnCos, turnSin);
}

ScreenPoint CProjection::Project(double latitudeDeg, double longitudeDeg) const {
    const Vec3 n = ToView(SurfaceNormal(latitudeDeg, longitudeDeg));
    ScreenPoint p;
    ToScreen(n.x, n.y, p.x, p.y);
    p.visible = n.z > 0.0;
    return p;
}
