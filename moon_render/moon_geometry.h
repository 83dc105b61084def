#pragma once

// How the globe of the Moon faces the screen. Three frames:
//  - the Moon's own (body) frame: x towards selenographic longitude 90 E, y towards the north
//    pole, z towards longitude 0 on the equator;
//  - the north-up view frame: x right, y up, z towards the viewer, with the sub-observer
//    point at the disc's centre and the Moon's north pole projected straight up; seen from
//    the Earth's centre, selenographic east (Mare Crisium) lies to the right;
//  - the screen: the north-up view turned counterclockwise by the turn angle, in target
//    pixels (continuous: pixel (i, j) covers [i, i + 1) x [j, j + 1), y grows downwards).
// With the sub-observer point at latitude and longitude 0 and no turn, the body and view
// frames coincide: that is the view of the catalogue's pictures.

struct Vec3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

inline double Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// A point of the Moon's surface, or the direction from its centre through it.
struct SelenoPoint {
    double latitudeDeg = 0.0;
    double longitudeDeg = 0.0;  // east positive
};

// Outward surface normal at a selenographic point, in the body frame.
Vec3 SurfaceNormal(double latitudeDeg, double longitudeDeg);

// The pictures' Sun: on the Moon's equator, at an elongation of the Moon from the Sun (0 new,
// 90 first quarter, 180 full, 270 last quarter), so that a waxing Moon is lit from the right.
SelenoPoint SubSolarPointOfPictures(double elongationDeg);

// Height of the Sun above the local horizon at a surface point, in degrees.
double SunElevationDeg(double latitudeDeg, double longitudeDeg, const SelenoPoint& subSolar);
double SunElevationDeg(double latitudeDeg, double longitudeDeg, double elongationDeg);

// Where a catalogue picture (a square, its disc 1900 pixels across at 2048) lands on a
// target, in the target's pixels; it may reach past the target's edges. The wallpaper fits
// the pictures to each monitor: a monitor's square is its fitted rectangle.
struct PictureSquare {
    int left = 0;
    int top = 0;
    int size = 0;
};

struct DiscLayout {
    double centreX = 0.0;
    double centreY = 0.0;
    double radius = 0.0;  // in pixels
};

DiscLayout DiscOf(const PictureSquare& square);

// The catalogue picture of `size` pixels.
DiscLayout MakeDiscLayout(int size);

// The globe on the screen: where the picture's square lies, which point of the surface faces
// the viewer (the libration; {0, 0} in the pictures), and the turn of the disc,
// counterclockwise in degrees (0 north up, 180 south up).
struct MoonFrame {
    PictureSquare square;
    SelenoPoint observer;
    double turnDeg = 0.0;
};

struct ScreenPoint {
    double x = 0.0;
    double y = 0.0;
    bool visible = false;  // on the hemisphere that faces the viewer
};

class CProjection {
public:
    explicit CProjection(const MoonFrame& frame);

    const DiscLayout& Disc() const { return disc; }

    Vec3 ToView(const Vec3& b) const {
        return {m[0][0] * b.x + m[0][1] * b.y + m[0][2] * b.z, m[1][0] * b.x + m[1][1] * b.y + m[1][2] * b.z,
                m[2][0] * b.x + m[2][1] * b.y + m[2][2] * b.z};
    }
    Vec3 ToBody(const Vec3& v) const {
        return {m[0][0] * v.x + m[1][0] * v.y + m[2][0] * v.z, m[0][1] * v.x + m[1][1] * v.y + m[2][1] * v.z,
                m[0][2] * v.x + m[1][2] * v.y + m[2][2] * v.z};
    }

    // A direction of the north-up view's plane turned as the screen shows it (y up).
    void TurnOnScreen(double x, double y, double& turnedX, double& turnedY) const {
        turnedX = x * turnCos - y * turnSin;
        turnedY = x * turnSin + y * turnCos;
    }

    // A point of the north-up view's plane (x right, y up, in disc radii) to the screen and
    // back.
    void ToScreen(double x, double y, double& screenX, double& screenY) const {
        double tx, ty;
        TurnOnScreen(x, y, tx, ty);
        screenX = disc.centreX + disc.radius * tx;
        screenY = disc.centreY - disc.radius * ty;
    }
    void FromScreen(double screenX, double screenY, double& x, double& y) const {
        const double tx = (screenX - disc.centreX) / disc.radius, ty = (disc.centreY - screenY) / disc.radius;
        x = tx * turnCos + ty * turnSin;
        y = ty * turnCos - tx * turnSin;
    }

    ScreenPoint Project(double latitudeDeg, double longitudeDeg) const;

private:
    DiscLayout disc;
    double m[3][3];  // body to view
    double turnCos = 1.0, turnSin = 0.0;
};
