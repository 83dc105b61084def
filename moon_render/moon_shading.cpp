#include "moon_render/moon_shading.h"

#include <algorithm>
#include <cmath>

#include "moon_render/gamma.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegToRad = kPi / 180.0;
constexpr double kRadToDeg = 180.0 / kPi;
// Width, in cosine of the Sun's incidence, over which the terminator fades.
constexpr double kTerminatorSoftness = 0.012;
constexpr double kExposure = 2.5;
// The disc fills the middle rows more than the top and bottom ones: work is handed out in
// more bands than threads.
constexpr int kBandsPerThread = 8;
// Cells of the grid of exact map coordinates, and how closely interpolation must meet them.
constexpr int kCell = 8;
constexpr double kGridTolerance = 0.1;
// The most texels a pixel may span for one sample to stand for it (see OneSampleCovers):
// against four samples everywhere, 53 dB at 1920 x 1080 and no visible change.
constexpr double kOneSampleFootprint = 2.0;
// Strength of the pseudo-relief, and the cosine of the Sun's incidence over which it fades.
constexpr double kRelief = 60.0;
constexpr double kReliefFade = 0.12;
// Earthlight is a little bluer than sunlight.
constexpr double kEarthTint[3] = {0.9, 0.97, 1.12};
// Sunlight bent into the umbra by the Earth's air, relative to full sunlight at the umbra's
// edge, and its colour: the dark red of an eclipsed Moon, darker towards the shadow's axis.
constexpr double kUmbraLight = 0.05;
constexpr double kUmbraColour[3] = {1.0, 0.2, 0.05};

// arctan for 0 <= t <= 1, to 2e-8 (Abramowitz and Stegun 4.4.49): the map is sampled at
// every pixel, and the library's atan2 would take much of a render.
double AtanUnit(double t) {
    static const double kCoefficients[] = {0.0028662257,  -0.0161657367, 0.0429096138,
                                           -0.0752896400, 0.1065626393,  -0.1420889944,
                                           0.1999355085,  -0.3333314528, 1.0};
    const double z = t * t;
    double sum = 0.0;
    for (double c : kCoefficients)
        sum = sum * z + c;
    return t * sum;
}

double FastAtan(double t) {
    const double a = std::fabs(t) <= 1.0 ? AtanUnit(std::fabs(t)) : kPi / 2.0 - AtanUnit(1.0 / std::fabs(t));
    return t < 0.0 ? -a : a;
}

double FastAtan2(double y, double x) {
    const double ax = std::fabs(x), ay = std::fabs(y);
    double a = ax >= ay ? (ax > 0.0 ? AtanUnit(ay / ax) : 0.0) : kPi / 2.0 - AtanUnit(ax / ay);
    if (x < 0.0)
        a = kPi - a;
    return y < 0.0 ? -a : a;
}

// Samples of the map's grey in linear light, at directions of the body frame or at the map's
// continuous pixel coordinates (pixel centres at whole numbers).
class CMapSampler {
public:
    explicit CMapSampler(const CAlbedoMap& albedoMap)
        : map(albedoMap),
          decode(Gamma().decodeFloat.data()),
          w(map.Width()),
          h(map.Height()),
          lonScale(w / (2.0 * kPi)),
          latScale(-h / kPi) {}

    double LongitudeScale() const { return lonScale; }
    double LatitudeScale() const { return latScale; }

    // `inverseHorizontal` is 1 / sqrt(b.x * b.x + b.z * b.z).
    void Point(const Vec3& b, double inverseHorizontal, double& u, double& v) const {
        u = FastAtan2(b.x, b.z) * lonScale + (w / 2.0 - 0.5);
        v = FastAtan(b.y * inverseHorizontal) * latScale + (h / 2.0 - 0.5);
    }

    // Bilinear; u must lie within a map's width of the map.
    double At(double u, double v) const {
        v = std::clamp(v, 0.0, h - 1.0);
        const int wrapped = static_cast<int>(u + w);  // rounds down, as u + w > 0
        const double tu = u + w - wrapped;
        const int x0 = wrapped >= 2 * w ? wrapped - 2 * w : (wrapped >= w ? wrapped - w : wrapped);
        const int x1 = x0 + 1 == w ? 0 : x0 + 1;
        const int y0 = static_cast<int>(v);
        const double tv = v - y0;
        const unsigned char* r0 = map.Row(y0);
        const unsigned char* r1 = map.Row(std::min(y0 + 1, h - 1));
        const double top = decode[r0[x0]] + (decode[r0[x1]] - decode[r0[x0]]) * tu;
        const double bottom = decode[r1[x0]] + (decode[r1[x1]] - decode[r1[x0]]) * tu;
        return top + (bottom - top) * tv;
    }

    // The same for a point whose four texels lie within the map: 0 <= u < w - 1, 0 <= v < h - 1.
    double Inside(double u, double v) const {
        const int x0 = static_cast<int>(u), y0 = static_cast<int>(v);
        const double tu = u - x0, tv = v - y0;
        const unsigned char* r0 = map.Row(y0) + x0;
        const unsigned char* r1 = r0 + w;
        const double top = decode[r0[0]] + (decode[r0[1]] - decode[r0[0]]) * tu;
        const double bottom = decode[r1[0]] + (decode[r1[1]] - decode[r1[0]]) * tu;
        return top + (bottom - top) * tv;
    }

    double At(const Vec3& b) const {
        double u, v;
        Point(b, 1.0 / std::sqrt(b.x * b.x + b.z * b.z), u, v);
        return At(u, v);
    }

private:
    const CAlbedoMap& map;
    const float* decode;
    int w, h;
    double lonScale, latScale;
};

// A smooth function on [0, end], tabulated for linear interpolation.
class CTabulated {
public:
    template <typename F>
    CTabulated(double tableEnd, F f) : end(tableEnd), perStep((kSize - 1) / tableEnd) {
        for (int i = 0; i < kSize; ++i)
            values[i] = f(i / perStep);
    }
    // Only for 0 <= x <= end.
    double operator()(double x) const {
        const double at = x * perStep;
        const int i = std::min(static_cast<int>(at), kSize - 2);
        return values[i] + (values[i + 1] - values[i]) * (at - i);
    }
    double End() const { return end; }

private:
    static constexpr int kSize = 4096;
    double end, perStep;
    double values[kSize];
};

// Exposure curve on the sunlight: steep near the terminator, gentle in the bright part, as
// a photograph of the Moon renders it. 1 stays 1.
double ExposeExactly(double sunlight) {
    return (1.0 - std::exp(-kExposure * sunlight)) / (1.0 - std::exp(-kExposure));
}

struct ShadingTables {
    CTabulated exposure{4.0, ExposeExactly};
    // How the relief fades as the Sun climbs, for the absolute cosine of its incidence.
    CTabulated reliefFade{1.0, [](double c) { return std::exp(-c / kReliefFade); }};

    double Expose(double sunlight) const {
        return sunlight < exposure.End() ? exposure(std::max(sunlight, 0.0)) : ExposeExactly(sunlight);
    }
};

const ShadingTables& Tables() {
    static const ShadingTables tables;
    return tables;
}

// max(x, 0) with the corner rounded off over the terminator's width, and nothing beyond it: a
// trace of sunlight on the night side would light its limb, where the lunar-Lambert law
// divides by the viewer's nearly vanishing angle.
double Smooth(double x) {
    if (x >= kTerminatorSoftness)
        return x;
    return x <= -kTerminatorSoftness
               ? 0.0
               : (x + kTerminatorSoftness) * (x + kTerminatorSoftness) / (4.0 * kTerminatorSoftness);
}

// The share of the Sun's disc seen from a point `t` of the way across the penumbra from the
// umbra's edge: the Earth's limb, nearly straight at the Sun's size, cuts a circular segment.
double SunOutsideUmbra(double t) {
    const double s = std::clamp(2.0 * t - 1.0, -1.0, 1.0);
    return (std::acos(-s) + s * std::sqrt(1.0 - s * s)) / kPi;
}

// Whether one bilinear sample at a pixel's centre stands for the whole pixel, whose steps
// right and down move (uRight, vRight) and (uDown, vDown) texels on the map: so while the
// pixel spans no more than the two texels that a bilinear sample blends. Larger pixels (near
// the limb, on a small screen) take the mean of four.
bool OneSampleCovers(double uRight, double vRight, double uDown, double vDown) {
    return std::max(uRight * uRight + vRight * vRight, uDown * uDown + vDown * vDown) <=
           kOneSampleFootprint * kOneSampleFootprint;
}

// A pixel's albedo as stored, never 0, which marks pixels off the disc.
uint16_t Albedo(double linear) {
    return static_cast<uint16_t>(std::clamp(linear * 65535.0 + 0.5, 1.0, 65535.0));
}

}  // namespace

ChannelOrder OrderOf(PixelFormat format) {
    switch (format) {
        case PixelFormat::Rgb:
            return {3, 0, 1, 2, -1};
        case PixelFormat::Rgba:
            return {4, 0, 1, 2, 3};
        case PixelFormat::Bgr:
            return {3, 2, 1, 0, -1};
        case PixelFormat::Bgra:
            break;
    }
    return {4, 2, 1, 0, 3};
}

MoonLighting LightingOfPictures(double elongationDeg) {
    MoonLighting lighting;
    lighting.sun = SubSolarPointOfPictures(elongationDeg);
    return lighting;
}

// The share of the Lommel-Seeliger term falls from 1 at full moon to 0 at new moon.
CLunarLaw::CLunarLaw(double phaseAngleDeg)
    : limbWeight(std::pow(std::max(0.0, std::cos(phaseAngleDeg * kDegToRad / 2.0)), 1.5)) {}

double CLunarLaw::operator()(double cosIncidence, double cosEmission) const {
    if (cosIncidence <= 0.0)
        return 0.0;
    const double lommel = 2.0 * cosIncidence / (cosIncidence + std::max(cosEmission, 0.0));
    return limbWeight * lommel + (1.0 - limbWeight) * cosIncidence;
}

// The map's coordinates at the corners of cells of kCell x kCell pixels, node (a, b) at
// the pixel corner (left + a * kCell, top + b * kCell). A cell is smooth where the
// coordinates interpolated from its corners miss the exact ones at its centre by less than
// kGridTolerance texels: its pixels' samples are placed by interpolation alone, and when all
// its corners lie clear of the map's edges, so do they (Inside).
struct CMoonSurface::Grid {
    enum Cell : uint8_t { Exact, Smooth, Inside };
    int columns = 0, rows = 0;
    std::vector<double> u, v;
    std::vector<uint8_t> valid, smooth;
};

bool CMoonSurface::Build(const CAlbedoMap& map, const MoonFrame& frame, int targetWidth, int targetHeight,
                         Sampling density, CBandWorkers& workers) {
    const PictureSquare& square = frame.square;
    left = std::max(0, square.left);
    top = std::max(0, square.top);
    width = std::min(targetWidth, square.left + square.size) - left;
    height = std::min(targetHeight, square.top + square.size) - top;
    if (map.Empty() || square.size <= 0 || width <= 0 || height <= 0) {
        width = height = 0;
        return false;
    }
    projection = CProjection(frame);
    unitSize = square.size;
    for (int c = 0; c < 3; ++c)
        tint[c] = map.Tint()[c];
    albedo.assign(static_cast<size_t>(width) * height, 0);
    detail.assign(albedo.size(), 0.0f);
    Grid grid;
    BuildGrid(map, grid, workers);
    workers.ForEachBand(height, workers.Threads() * kBandsPerThread,
                        [&](int begin, int end) { SampleRows(map, grid, density, begin, end); });
    DeriveRelief(workers);
    return true;
}

void CMoonSurface::BuildGrid(const CAlbedoMap& map, Grid& grid, CBandWorkers& workers) const {
    const CMapSampler sampler(map);
    grid.columns = width / kCell + 2;
    grid.rows = height / kCell + 2;
    const size_t count = static_cast<size_t>(grid.columns) * grid.rows;
    grid.u.assign(count, 0.0);
    grid.v.assign(count, 0.0);
    grid.valid.assign(count, 0);
    grid.smooth.assign(count, 0);
    const auto exact = [&](double screenX, double screenY, double& u, double& v) {
        double x, y;
        projection.FromScreen(left + screenX * kCell, top + screenY * kCell, x, y);
        const double r2 = x * x + y * y;
        const Vec3 b = projection.ToBody({x, y, std::sqrt(std::max(0.0, 1.0 - r2))});
        const double q = b.x * b.x + b.z * b.z;
        if (r2 >= 1.0 || q < 0.01)
            return false;
        sampler.Point(b, 1.0 / std::sqrt(q), u, v);
        return true;
    };
    const int bands = workers.Threads() * kBandsPerThread;
    workers.ForEachBand(grid.rows, bands, [&](int begin, int end) {
        for (int b = begin; b < end; ++b)
            for (int a = 0; a < grid.columns; ++a) {
                const size_t at = static_cast<size_t>(b) * grid.columns + a;
                grid.valid[at] = exact(a, b, grid.u[at], grid.v[at]);
            }
    });
    workers.ForEachBand(grid.rows - 1, bands, [&](int begin, int end) {
        for (int b = begin; b < end; ++b)
            for (int a = 0; a + 1 < grid.columns; ++a) {
                const size_t at = static_cast<size_t>(b) * grid.columns + a;
                double u = 0.0, v = 0.0, meanU = 0.0, meanV = 0.0;
                bool smooth = exact(a + 0.5, b + 0.5, u, v);
                for (const size_t corner : {at, at + 1, at + grid.columns, at + grid.columns + 1}) {
                    // Not across the map's seam.
                    smooth = smooth && grid.valid[corner] && std::fabs(grid.u[corner] - u) < map.Width() / 4.0;
                    meanU += grid.u[corner] / 4.0;
                    meanV += grid.v[corner] / 4.0;
                }
                smooth = smooth && std::fabs(meanU - u) < kGridTolerance && std::fabs(meanV - v) < kGridTolerance;
                bool inside = smooth;
                for (const size_t corner : {at, at + 1, at + grid.columns, at + grid.columns + 1})
                    inside = inside && grid.u[corner] >= 0.0 && grid.u[corner] < map.Width() - 1 &&
                             grid.v[corner] >= 0.0 && grid.v[corner] < map.Height() - 1;
                grid.smooth[at] = inside ? Grid::Inside : smooth ? Grid::Smooth : Grid::Exact;
            }
    });
}

void CMoonSurface::SampleRows(const CAlbedoMap& map, const Grid& grid, Sampling sampling, int firstRow, int endRow) {
    // Four samples a pixel, so that the foreshortened limb does not alias: two rows of two.
    static const double offsets[4][2] = {{0.25, 0.25}, {0.75, 0.25}, {0.25, 0.75}, {0.75, 0.75}};
    const CMapSampler sampler(map);
    const double radius = projection.Disc().radius;
    // The view's plane is an affine image of the screen: a pixel's step right and down there,
    // and the samples' offsets from the pixel's centre.
    double origin[2], right[2], down[2], step[4][2];
    projection.FromScreen(0.0, 0.0, origin[0], origin[1]);
    projection.FromScreen(1.0, 0.0, right[0], right[1]);
    projection.FromScreen(0.0, 1.0, down[0], down[1]);
    for (int c = 0; c < 2; ++c) {
        right[c] -= origin[c];
        down[c] -= origin[c];
        for (int k = 0; k < 4; ++k)
            step[k][c] = (offsets[k][0] - 0.5) * right[c] + (offsets[k][1] - 0.5) * down[c];
    }
    // Samples reach the disc out to 6 pixels beyond its edge, pixel centres half a pixel more.
    const double reach = 1.0 + 6.0 / radius, pixelReach = std::pow(std::sqrt(reach) + 0.5 / radius, 2.0);
    // Outside the grid's smooth cells, where the samples' places can still be worked out from
    // the pixel's centre: clear of the poles, and of the limb, where the map's coordinates
    // change too fast across a pixel.
    const double fastReach = std::min(0.98, std::pow(1.0 - 2.0 / radius, 2.0));
    const Vec3 ex = projection.ToBody({1.0, 0.0, 0.0}), ey = projection.ToBody({0.0, 1.0, 0.0}),
               ez = projection.ToBody({0.0, 0.0, 1.0});
    for (int j = firstRow; j < endRow; ++j) {
        double rowX, rowY;
        projection.FromScreen(left + 0.5, top + j + 0.5, rowX, rowY);
        const int cellRow = j / kCell;
        int lineColumn = -1;
        double line[2][4];  // in a smooth cell, u and its step a pixel, v and its step, a row of samples
        bool single = false;
        for (int i = 0; i < width; ++i) {
            const double x = rowX + i * right[0], y = rowY + i * right[1];
            const double r2 = x * x + y * y;
            if (r2 > pixelReach)
                continue;
            double sum = 0.0;
            int inside = 0;
            const int cellColumn = i / kCell;
            const size_t cell = static_cast<size_t>(cellRow) * grid.columns + cellColumn;
            if (grid.smooth[cell]) {
                if (cellColumn != lineColumn) {
                    lineColumn = cellColumn;
                    const size_t below = cell + grid.columns;
                    for (int k = 0; k < 2; ++k) {
                        const double fy = (j - cellRow * kCell + offsets[2 * k][1]) / kCell;
                        const double u0 = grid.u[cell] + (grid.u[below] - grid.u[cell]) * fy;
                        const double u1 = grid.u[cell + 1] + (grid.u[below + 1] - grid.u[cell + 1]) * fy;
                        const double v0 = grid.v[cell] + (grid.v[below] - grid.v[cell]) * fy;
                        const double v1 = grid.v[cell + 1] + (grid.v[below + 1] - grid.v[cell + 1]) * fy;
                        const double px = -cellColumn * kCell;  // u0 and v0 at the row's first pixel
                        line[k][1] = (u1 - u0) / kCell;
                        line[k][0] = u0 + line[k][1] * px;
                        line[k][3] = (v1 - v0) / kCell;
                        line[k][2] = v0 + line[k][3] * px;
                    }
                    // The samples' rows are half a pixel apart.
                    single = sampling == Sampling::AsNeeded &&
                             OneSampleCovers(line[0][1], line[0][3], 2.0 * (line[1][0] - line[0][0]),
                                             2.0 * (line[1][2] - line[0][2]));
                }
                const auto sample = [&](double u, double v) {
                    return grid.smooth[cell] == Grid::Inside ? sampler.Inside(u, v) : sampler.At(u, v);
                };
                double value;
                if (single) {
                    const double px = i + 0.5;
                    value = sample((line[0][0] + line[1][0]) / 2.0 + (line[0][1] + line[1][1]) / 2.0 * px,
                                   (line[0][2] + line[1][2]) / 2.0 + (line[0][3] + line[1][3]) / 2.0 * px);
                } else {
                    value = 0.0;
                    for (int k = 0; k < 4; ++k) {
                        const double* l = line[k / 2];
                        const double px = i + offsets[k][0];
                        value += sample(l[0] + l[1] * px, l[2] + l[3] * px) / 4.0;
                    }
                }
                Store(static_cast<size_t>(j) * width + i, value);
                continue;
            }
            const Vec3 b = projection.ToBody({x, y, std::sqrt(std::max(0.0, 1.0 - r2))});
            const double q = b.x * b.x + b.z * b.z;
            if (r2 < fastReach && q > 0.01) {
                // The map's coordinates are nearly linear across the pixel: one exact point and
                // its derivatives place all four samples.
                const double iz = 1.0 / std::sqrt(1.0 - r2), xz = x * iz, yz = y * iz, ih = 1.0 / std::sqrt(q);
                const Vec3 bx{ex.x - ez.x * xz, ex.y - ez.y * xz, ex.z - ez.z * xz};
                const Vec3 by{ey.x - ez.x * yz, ey.y - ez.y * yz, ey.z - ez.z * yz};
                const double lon = sampler.LongitudeScale() * ih * ih, lat = sampler.LatitudeScale() * ih;
                const double du[2] = {(b.z * bx.x - b.x * bx.z) * lon, (b.z * by.x - b.x * by.z) * lon};
                const double dv[2] = {bx.y * lat, by.y * lat};
                double u, v;
                sampler.Point(b, ih, u, v);
                if (sampling == Sampling::AsNeeded &&
                    OneSampleCovers(du[0] * right[0] + du[1] * right[1], dv[0] * right[0] + dv[1] * right[1],
                                    du[0] * down[0] + du[1] * down[1], dv[0] * down[0] + dv[1] * down[1])) {
                    sum = sampler.At(u, v);
                    inside = 1;
                } else {
                    for (const auto& d : step)
                        sum += sampler.At(u + du[0] * d[0] + du[1] * d[1], v + dv[0] * d[0] + dv[1] * d[1]);
                    inside = 4;
                }
            } else {
                for (const auto& d : step) {
                    double sx = x + d[0], sy = y + d[1];
                    double s2 = sx * sx + sy * sy;
                    if (s2 > 1.0) {
                        if (s2 > reach)
                            continue;
                        // Just outside: take the limb's albedo for the anti-aliased edge.
                        const double r = std::sqrt(s2) * 1.000001;
                        sx /= r;
                        sy /= r;
                        s2 = sx * sx + sy * sy;
                    }
                    sum += sampler.At(projection.ToBody({sx, sy, std::sqrt(std::max(0.0, 1.0 - s2))}));
                    ++inside;
                }
            }
            if (inside > 0)
                Store(static_cast<size_t>(j) * width + i, sum / inside);
        }
    }
}

void CMoonSurface::Store(size_t at, double linear) {
    albedo[at] = Albedo(linear);
    detail[at] = static_cast<float>(std::sqrt(albedo[at] / 65535.0));
}

void CMoonSurface::DeriveRelief(CBandWorkers& workers) {
    // Fine detail: the height less its average over about 1/200 of the picture.
    const int radius = std::max(1, unitSize / 200);
    const double window = 2 * radius + 1;
    std::vector<float> pass(static_cast<size_t>(width) * height);
    // The horizontal average of the height into `pass`, then the vertical average of that
    // taken from the height where it stands (in one band a thread, as each band starts with a
    // window's sum).
    workers.ForEachBand(height, workers.Threads() * kBandsPerThread, [&](int begin, int end) {
        // A row with its ends repeated a window's half beyond them.
        std::vector<float> padded(static_cast<size_t>(width) + 2 * radius + 1);
        for (int j = begin; j < end; ++j) {
            const float* in = &detail[static_cast<size_t>(j) * width];
            float* out = &pass[static_cast<size_t>(j) * width];
            std::fill_n(padded.begin(), radius, in[0]);
            std::copy_n(in, width, padded.begin() + radius);
            std::fill(padded.begin() + radius + width, padded.end(), in[width - 1]);
            double sum = 0.0;
            for (int k = 0; k < 2 * radius + 1; ++k)
                sum += padded[k];
            for (int k = 0; k < width; ++k) {
                out[k] = static_cast<float>(sum / window);
                sum += padded[k + 2 * radius + 1] - padded[k];
            }
        }
    });
    workers.ForEachBand(height, workers.Threads(), [&](int begin, int end) {
        const auto row = [&](int k) { return static_cast<size_t>(std::clamp(k, 0, height - 1)) * width; };
        std::vector<double> sums(width, 0.0);
        for (int k = begin - radius; k <= begin + radius; ++k)
            for (int i = 0; i < width; ++i)
                sums[i] += pass[row(k) + i];
        for (int j = begin; j < end; ++j) {
            const size_t here = row(j), enter = row(j + radius + 1), leave = row(j - radius);
            for (int i = 0; i < width; ++i) {
                detail[here + i] -= static_cast<float>(sums[i] / window);
                sums[i] += pass[enter + i] - pass[leave + i];
            }
        }
    });
}

void CMoonSurface::Render(const MoonLighting& lighting, const PixelTarget& target, CBandWorkers& workers) const {
    if (width <= 0 || !target.pixels)
        return;
    const GammaTables& gamma = Gamma();
    const ShadingTables& tables = Tables();
    const ChannelOrder order = OrderOf(target.format);
    const DiscLayout& disc = projection.Disc();
    const Vec3 sun = projection.ToView(SurfaceNormal(lighting.sun.latitudeDeg, lighting.sun.longitudeDeg));
    double sunRight, sunUp;  // the Sun's direction across the screen, for the relief
    projection.TurnOnScreen(sun.x, sun.y, sunRight, sunUp);
    const CLunarLaw law(std::acos(std::clamp(sun.z, -1.0, 1.0)) * kRadToDeg);
    const double earthshine = lighting.earthshine * (1.0 - sun.z) / 2.0;
    const ShadowOnDisc& shadow = lighting.shadow;
    const float slopeScale = static_cast<float>(unitSize / 2048.0);
    const double scale = 1.0 / 65535.0;
    double origin[2], right[2];  // the view's plane: a pixel's step right there
    projection.FromScreen(0.0, 0.0, origin[0], origin[1]);
    projection.FromScreen(1.0, 0.0, right[0], right[1]);
    right[0] -= origin[0];
    right[1] -= origin[1];

    workers.ForEachBand(height, workers.Threads() * kBandsPerThread, [&](int begin, int end) {
        for (int j = begin; j < end; ++j) {
            double rowX, rowY;
            projection.FromScreen(left + 0.5, top + j + 0.5, rowX, rowY);
            unsigned char* out = target.pixels + (top + j) * target.stride + static_cast<ptrdiff_t>(left) * order.bytes;
            for (int i = 0; i < width; ++i, out += order.bytes) {
                if (order.a >= 0)
                    out[order.a] = 255;
                const size_t at = static_cast<size_t>(j) * width + i;
                if (albedo[at] == 0) {
                    out[order.r] = out[order.g] = out[order.b] = 0;
                    continue;
                }
                const double x = rowX + i * right[0], y = rowY + i * right[1];
                const double r = std::sqrt(x * x + y * y);
                // Share of the pixel that the disc covers, for a smooth limb.
                const double coverage = std::clamp(disc.radius * (1.0 - r) + 0.5, 0.0, 1.0);
                const double scaleToLimb = r > 1.0 ? 1.0 / r : 1.0;
                const Vec3 n{x * scaleToLimb, y * scaleToLimb, std::sqrt(std::max(0.0, 1.0 - std::min(r * r, 1.0)))};
                const double cosIncidence = Dot(n, sun);
                const double a = albedo[at] * scale * coverage;
                if (cosIncidence <= -kTerminatorSoftness && !shadow.present) {
                    // The night side: earthshine alone.
                    out[order.r] = gamma.Encode(a * tint[0] * earthshine * kEarthTint[0]);
                    out[order.g] = gamma.Encode(a * tint[1] * earthshine * kEarthTint[1]);
                    out[order.b] = gamma.Encode(a * tint[2] * earthshine * kEarthTint[2]);
                    continue;
                }
                // Relief shows where the Sun is low and fades out as it climbs.
                const float slopeRight = i > 0 && i + 1 < width ? (detail[at + 1] - detail[at - 1]) * slopeScale : 0.0f;
                const float slopeUp =
                    j > 0 && j + 1 < height ? (detail[at - width] - detail[at + width]) * slopeScale : 0.0f;
                const double relief = 1.0 + kRelief * (slopeRight * sunRight + slopeUp * sunUp) *
                                                tables.reliefFade(std::min(std::fabs(cosIncidence), 1.0));
                const double direct = law(Smooth(cosIncidence), n.z) * std::max(0.0, relief);
                double light[3];
                if (!shadow.present) {
                    const double sunlight = tables.Expose(direct);
                    for (int c = 0; c < 3; ++c)
                        light[c] = sunlight + earthshine * kEarthTint[c];
                } else {
                    const double d = std::hypot(n.x - shadow.x, n.y - shadow.y);
                    const double t = (d - shadow.umbraRadius) / (shadow.penumbraRadius - shadow.umbraRadius);
                    const double outside = SunOutsideUmbra(t);
                    const double sunlight = tables.Expose(direct * outside);
                    const double edge = std::min(d / shadow.umbraRadius, 1.0);
                    const double bent = direct * kUmbraLight * (0.3 + 0.7 * edge * edge) * (1.0 - outside);
                    for (int c = 0; c < 3; ++c)
                        light[c] = sunlight + tables.Expose(bent * kUmbraColour[c]) + earthshine * kEarthTint[c];
                }
                out[order.r] = gamma.Encode(a * tint[0] * light[0]);
                out[order.g] = gamma.Encode(a * tint[1] * light[1]);
                out[order.b] = gamma.Encode(a * tint[2] * light[2]);
            }
        }
    });
}
