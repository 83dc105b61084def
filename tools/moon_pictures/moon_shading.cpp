#include "moon_shading.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <thread>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegToRad = kPi / 180.0;
constexpr double kGamma = 2.2;
// Earthshine on the night side at new moon, relative to full sunlight.
constexpr double kEarthshine = 0.0024;
// Width, in cosine of the Sun's incidence, over which the terminator fades.
constexpr double kTerminatorSoftness = 0.012;
constexpr double kExposure = 2.5;
// Strength of the pseudo-relief, and the cosine of the Sun's incidence over which it fades.
constexpr double kRelief = 60.0;
constexpr double kReliefFade = 0.12;

struct GammaTables {
    std::array<double, 256> decode{};
    std::array<unsigned char, 4096> encode{};  // indexed by sqrt(linear) * 4095
    GammaTables() {
        for (int i = 0; i < 256; ++i)
            decode[i] = std::pow(i / 255.0, kGamma);
        for (int i = 0; i < 4096; ++i) {
            const double v = std::pow(i / 4095.0, 2.0 / kGamma) * 255.0 + 0.5;
            encode[i] = static_cast<unsigned char>(std::min(255.0, v));
        }
    }
    unsigned char Encode(double linear) const {
        if (linear <= 0.0)
            return 0;
        const double index = std::sqrt(linear) * 4095.0 + 0.5;
        return encode[index >= 4095.0 ? 4095 : static_cast<int>(index)];
    }
};

const GammaTables& Gamma() {
    static const GammaTables tables;
    return tables;
}

// Bilinear sample of the map at a selenographic position, in linear light.
void SampleMap(const Image& map, double latitude, double longitude, double rgb[3]) {
    const GammaTables& gamma = Gamma();
    double u = (longitude / (2.0 * kPi) + 0.5) * map.width - 0.5;
    double v = (0.5 - latitude / kPi) * map.height - 0.5;
    v = std::clamp(v, 0.0, map.height - 1.0);
    const double fu = std::floor(u), fv = std::floor(v);
    const double tu = u - fu, tv = v - fv;
    int x0 = static_cast<int>(fu) % map.width;
    if (x0 < 0)
        x0 += map.width;
    const int x1 = (x0 + 1) % map.width;
    const int y0 = static_cast<int>(fv);
    const int y1 = std::min(y0 + 1, map.height - 1);
    const unsigned char* p00 = map.At(x0, y0);
    const unsigned char* p10 = map.At(x1, y0);
    const unsigned char* p01 = map.At(x0, y1);
    const unsigned char* p11 = map.At(x1, y1);
    for (int c = 0; c < 3; ++c) {
        const double top = gamma.decode[p00[c]] * (1.0 - tu) + gamma.decode[p10[c]] * tu;
        const double bottom = gamma.decode[p01[c]] * (1.0 - tu) + gamma.decode[p11[c]] * tu;
        rgb[c] = top * (1.0 - tv) + bottom * tv;
    }
}

// Exposure curve on the sunlight: steep near the terminator, gentle in the bright part, as
// a photograph of the Moon renders it. 1 stays 1.
double Expose(double sunlight) { return (1.0 - std::exp(-kExposure * sunlight)) / (1.0 - std::exp(-kExposure)); }

double Smooth(double x) { return 0.5 * (x + std::sqrt(x * x + kTerminatorSoftness * kTerminatorSoftness)); }

}  // namespace

// The share of the Lommel-Seeliger term falls from 1 at full moon to 0 at new moon.
CLunarLaw::CLunarLaw(double phaseAngleDeg)
    : limbWeight(std::pow(std::max(0.0, std::cos(phaseAngleDeg * kDegToRad / 2.0)), 1.5)) {}

double CLunarLaw::operator()(double cosIncidence, double cosEmission) const {
    if (cosIncidence <= 0.0)
        return 0.0;
    const double lommel = 2.0 * cosIncidence / (cosIncidence + std::max(cosEmission, 0.0));
    return limbWeight * lommel + (1.0 - limbWeight) * cosIncidence;
}

bool CMoonSurface::Build(const Image& albedoMap, int size, int threads) {
    if (albedoMap.width <= 0 || albedoMap.height <= 0 || albedoMap.channels < 3 || size <= 0)
        return false;
    disc = MakeDiscLayout(size);
    albedo.assign(static_cast<size_t>(size) * size * 3, 0);
    threads = std::max(1, threads);
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back([&, t] { SampleRows(albedoMap, size * t / threads, size * (t + 1) / threads); });
    for (std::thread& worker : workers)
        worker.join();
    DeriveRelief();
    return true;
}

void CMoonSurface::DeriveRelief() {
    const int n = disc.size;
    std::vector<float> height(static_cast<size_t>(n) * n, 0.0f), blurred(height.size(), 0.0f), pass(height.size(), 0.0f);
    for (size_t at = 0; at < height.size(); ++at) {
        const uint16_t* a = &albedo[at * 3];
        height[at] = static_cast<float>(std::sqrt((a[0] + a[1] + a[2]) / (3.0 * 65535.0)));
    }
    // Fine detail: the height less its average over about 1/200 of the picture.
    const int radius = std::max(1, n / 200);
    auto boxBlur = [&](const std::vector<float>& in, std::vector<float>& out, bool horizontal) {
        for (int line = 0; line < n; ++line) {
            double sum = 0.0;
            auto at = [&](int k) -> size_t {
                k = std::clamp(k, 0, n - 1);
                return horizontal ? static_cast<size_t>(line) * n + k : static_cast<size_t>(k) * n + line;
            };
            for (int k = -radius; k <= radius; ++k)
                sum += in[at(k)];
            for (int k = 0; k < n; ++k) {
                out[at(k)] = static_cast<float>(sum / (2 * radius + 1));
                sum += in[at(k + radius + 1)] - in[at(k - radius)];
            }
        }
    };
    boxBlur(height, pass, true);
    boxBlur(pass, blurred, false);
    slope.assign(height.size(), 0.0f);
    const float scale = static_cast<float>(n / 2048.0);
    for (int j = 0; j < n; ++j)
        for (int i = 1; i + 1 < n; ++i) {
            const size_t at = static_cast<size_t>(j) * n + i;
            const float left = height[at - 1] - blurred[at - 1], right = height[at + 1] - blurred[at + 1];
            slope[at] = (right - left) * scale;
        }
}

void CMoonSurface::SampleRows(const Image& albedoMap, int firstRow, int endRow) {
    // Four samples a pixel, so that the foreshortened limb does not alias.
    static const double offsets[4][2] = {{0.25, 0.25}, {0.75, 0.25}, {0.25, 0.75}, {0.75, 0.75}};
    for (int j = firstRow; j < endRow; ++j) {
        for (int i = 0; i < disc.size; ++i) {
            double sum[3] = {0.0, 0.0, 0.0};
            int inside = 0;
            for (const auto& offset : offsets) {
                double x = (i + offset[0] - disc.centre) / disc.radius;
                double y = (disc.centre - (j + offset[1])) / disc.radius;
                double r2 = x * x + y * y;
                if (r2 > 1.0) {
                    if (r2 > 1.0 + 6.0 / disc.radius)
                        continue;
                    // Just outside: take the limb's colour for the anti-aliased edge.
                    const double r = std::sqrt(r2) * 1.000001;
                    x /= r;
                    y /= r;
                    r2 = x * x + y * y;
                }
                const double z = std::sqrt(std::max(0.0, 1.0 - r2));
                double rgb[3];
                SampleMap(albedoMap, std::asin(y), std::atan2(x, z), rgb);
                for (int c = 0; c < 3; ++c)
                    sum[c] += rgb[c];
                ++inside;
            }
            if (inside == 0)
                continue;
            uint16_t* out = &albedo[(static_cast<size_t>(j) * disc.size + i) * 3];
            for (int c = 0; c < 3; ++c)
                out[c] = static_cast<uint16_t>(std::min(65535.0, sum[c] / inside * 65535.0 + 0.5));
        }
    }
}

Image CMoonSurface::Render(double elongationDeg) const {
    const GammaTables& gamma = Gamma();
    Image picture(disc.size, disc.size, 3);
    const Vec3 sun = SunDirection(elongationDeg);
    const CLunarLaw law(std::fabs(180.0 - std::fmod(std::fmod(elongationDeg, 360.0) + 360.0, 360.0)));
    const double earthshine = kEarthshine * (1.0 + std::cos(elongationDeg * kDegToRad)) / 2.0;
    // Earthlight is a little bluer than sunlight.
    static const double earthTint[3] = {0.9, 0.97, 1.12};
    const double scale = 1.0 / 65535.0;
    for (int j = 0; j < disc.size; ++j) {
        const double y = (disc.centre - (j + 0.5)) / disc.radius;
        for (int i = 0; i < disc.size; ++i) {
            const uint16_t* a = &albedo[(static_cast<size_t>(j) * disc.size + i) * 3];
            if (a[0] == 0 && a[1] == 0 && a[2] == 0)
                continue;
            const double x = (i + 0.5 - disc.centre) / disc.radius;
            const double r = std::sqrt(x * x + y * y);
            // Share of the pixel that the disc covers, for a smooth limb.
            const double coverage = std::clamp(disc.radius * (1.0 - r) + 0.5, 0.0, 1.0);
            const double scaleToLimb = r > 1.0 ? 1.0 / r : 1.0;
            const Vec3 n{x * scaleToLimb, y * scaleToLimb, std::sqrt(std::max(0.0, 1.0 - std::min(r * r, 1.0)))};
            const double cosIncidence = Dot(n, sun);
            // Relief shows where the Sun is low and fades out as it climbs.
            const double relief = 1.0 + kRelief * slope[static_cast<size_t>(j) * disc.size + i] * sun.x *
                                            std::exp(-std::fabs(cosIncidence) / kReliefFade);
            const double sunlight = Expose(law(Smooth(cosIncidence), n.z) * std::max(0.0, relief));
            unsigned char* out = picture.At(i, j);
            for (int c = 0; c < 3; ++c)
                out[c] = gamma.Encode(a[c] * scale * (sunlight + earthshine * earthTint[c]) * coverage);
        }
    }
    return picture;
}
