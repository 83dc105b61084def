#pragma once

// The orthographic view of the Moon's near side used by every picture: north up, east
// (positive selenographic longitude) to the right, as seen from the Earth's northern
// hemisphere. Screen coordinates are continuous pixel coordinates: pixel (i, j) covers
// [i, i + 1) x [j, j + 1) and y grows downwards.

struct Vec3 {
    double x = 0.0;  // right
    double y = 0.0;  // up (north)
    double z = 0.0;  // towards the viewer
};

inline double Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

struct DiscLayout {
    int size = 0;         // the square picture's width and height
    double centre = 0.0;  // x and y of the disc's centre
    double radius = 0.0;  // in pixels
};

// The disc of a square picture of `size` pixels: centred, 1900 pixels across at 2048.
DiscLayout MakeDiscLayout(int size);

// Outward surface normal at a selenographic latitude and east longitude, in the view frame.
Vec3 SurfaceNormal(double latitudeDeg, double longitudeDeg);

// Direction towards the Sun for an elongation of the Moon from the Sun (0 new, 90 first
// quarter, 180 full, 270 last quarter): a waxing Moon is lit from the right.
Vec3 SunDirection(double elongationDeg);

// Height of the Sun above the local horizon at a surface point, in degrees.
double SunElevationDeg(double latitudeDeg, double longitudeDeg, double elongationDeg);

struct ScreenPoint {
    double x = 0.0;
    double y = 0.0;
    bool visible = false;  // on the near side
};

ScreenPoint ProjectFeature(const DiscLayout& disc, double latitudeDeg, double longitudeDeg);
