// The live Moon against the sky model: its phase, the direction of its bright limb in each
// orientation, its labels under libration and turn, and the Earth's shadow in an eclipse.
#include "moon_render/live_moon.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
const GeoPlace kOslo{59.91, 10.75}, kSingapore{1.29, 103.85};

std::vector<unsigned char> Staged(const char* name) {
    std::ifstream in(std::string(QW_TEST_DATA_DIR "/") + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Data {
    std::vector<unsigned char> mapFile = Staged("moon_albedo.gray"), regularFile = Staged("DejaVuSans.ttf"),
                               boldFile = Staged("DejaVuSans-Bold.ttf");
    CAlbedoMap map;
    FontFile regular{regularFile.data(), regularFile.size()}, bold{boldFile.data(), boldFile.size()};
    Data() { EXPECT_TRUE(map.Attach(mapFile.data(), mapFile.size())); }
};
const Data& Shared() {
    static const Data data;
    return data;
}

// An RGB square of `size` pixels, the disc fitted in it as in the pictures.
std::vector<unsigned char> Render(const MoonView& view, int size) {
    std::vector<unsigned char> pixels(size * size * 3);
    EXPECT_TRUE(
        RenderMoonView(view, Shared().map, nullptr, nullptr, {pixels.data(), size, size, size * 3, PixelFormat::Rgb}));
    return pixels;
}

// The lit share of the disc and the direction, counterclockwise from up, from the disc's
// centre to the lit pixels' centroid; `darkest` is the brightest pixel a tenth of a radius
// beyond where the terminator of a Moon lit `fraction` towards `limbDeg` would be.
struct Lit {
    double fraction = 0.0, angleDeg = 0.0;
    int darkest = 0;
};
Lit Measure(const std::vector<unsigned char>& pixels, int size, double limbDeg, double fraction) {
    const DiscLayout disc = MakeDiscLayout(size);
    long inside = 0, lit = 0;
    double sumX = 0.0, sumY = 0.0;
    Lit result;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double dx = x + 0.5 - disc.centreX, dy = disc.centreY - (y + 0.5);
            const unsigned char* p = &pixels[(y * size + x) * 3];
            const double along = -dx * std::sin(limbDeg * kPi / 180) + dy * std::cos(limbDeg * kPi / 180);
            if (along < (std::min(0.0, 1.0 - 2 * fraction) - 0.1) * disc.radius)
                result.darkest = std::max(result.darkest, int{p[1]});
            if (std::hypot(dx, dy) > disc.radius - 1.0)
                continue;
            ++inside;
            if (p[1] > 16) {
                ++lit;
                sumX += dx;
                sumY += dy;
            }
        }
    result.fraction = double(lit) / inside;
    result.angleDeg = std::atan2(-sumX, sumY) * 180 / kPi;
    return result;
}

double AngleError(double a, double b) {
    return std::fabs(std::remainder(a - b, 360.0));
}

TEST(LiveMoon, PhaseAndBrightLimbAreThoseOfTheSkyInEveryOrientation) {
    struct Moment {
        double julianDate;
        GeoPlace place;
    } moments[] = {
        {2460682.1667, kOslo},       // 2025-01-06 16:00 UT, waxing, evening
        {2460696.7500, kOslo},       // 2025-01-21 06:00 UT, waning, morning
        {2460678.9583, kSingapore},  // 2025-01-03 11:00 UT, a waxing crescent on its back
        {2460701.4167, kSingapore},  // 2025-01-25 22:00 UT, a waning crescent before dawn
    };
    for (const Moment& m : moments) {
        const MoonSky sky = ComputeMoonSky(m.julianDate);
        const double q = ComputeMoonInPlace(m.julianDate, m.place).parallacticAngleDeg;
        const double expected[] = {sky.brightLimbAngleDeg - sky.axisAngleDeg,
                                   sky.brightLimbAngleDeg - sky.axisAngleDeg + 180, sky.brightLimbAngleDeg - q};
        for (MoonOrientation o : {MoonOrientation::NorthUp, MoonOrientation::SouthUp, MoonOrientation::AsInSky}) {
            SCOPED_TRACE(testing::Message() << "JD " << m.julianDate << ", orientation " << int(o));
            const int size = 400;
            const Lit lit = Measure(Render(MoonViewAt(m.julianDate, o, m.place, {0, 0, size}), size), size,
                                    expected[int(o)], sky.illuminatedFraction);
            EXPECT_NEAR(sky.illuminatedFraction, lit.fraction, 0.01);
            EXPECT_LT(AngleError(expected[int(o)], lit.angleDeg), 2.0);
            EXPECT_LE(lit.darkest, 20) << "light on the night side";
        }
    }
}

TEST(LiveMoon, LabelsSitAtTheirFeaturesUnderLibrationStandUprightAndSkipTheFarSide) {
    const int size = 1024;
    MoonFrame upright;
    upright.square = {0, 0, size};
    CLabelLayer reference;
    ASSERT_TRUE(reference.Build(Shared().regular, Shared().bold, upright));
    std::vector<unsigned char> referencePixels(size * size * 4);
    reference.Compose({}, {referencePixels.data(), size, size, size * 4, PixelFormat::Rgba});

    const MoonFrame frames[] = {
        {{0, 0, size}, {-6.8, 7.9}, 0.0}, {{0, 0, size}, {6.5, -7.6}, 120.0}, {{0, 0, size}, {0.0, 60.0}, 0.0}};
    for (const MoonFrame& frame : frames) {
        SCOPED_TRACE(testing::Message() << "turn " << frame.turnDeg << ", libration " << frame.observer.longitudeDeg);
        CLabelLayer layer;
        ASSERT_TRUE(layer.Build(Shared().regular, Shared().bold, frame));
        std::vector<unsigned char> pixels(size * size * 4);
        layer.Compose({}, {pixels.data(), size, size, size * 4, PixelFormat::Rgba});
        // Orthographic projection about the sub-observer point, turned counterclockwise.
        const double b0 = frame.observer.latitudeDeg * kPi / 180, t = frame.turnDeg * kPi / 180;
        size_t visible = 0;
        for (const MoonFeature& f : NearSideFeatures()) {
            const double lat = f.latitudeDeg * kPi / 180,
                         dl = (f.longitudeDeg - frame.observer.longitudeDeg) * kPi / 180;
            const double x = std::cos(lat) * std::sin(dl);
            const double y = std::cos(b0) * std::sin(lat) - std::sin(b0) * std::cos(lat) * std::cos(dl);
            const bool near = std::sin(b0) * std::sin(lat) + std::cos(b0) * std::cos(lat) * std::cos(dl) > 0;
            visible += near;
            const double r = size * 950.0 / 2048, sx = size / 2.0 + r * (x * std::cos(t) - y * std::sin(t)),
                         sy = size / 2.0 - r * (x * std::sin(t) + y * std::cos(t));
            for (const CLabelLayer::Label& label : layer.Labels()) {
                if (label.feature != &f || label.left < 0 || label.top < 0 || label.right > size || label.bottom > size)
                    continue;
                EXPECT_TRUE(near) << f.name;
                EXPECT_LT(std::hypot(label.anchorX - sx, label.anchorY - sy), 2.0) << f.name;
                // The text reads as in the north-up layout, not turned with the disc.
                for (const CLabelLayer::Label& n : reference.Labels()) {
                    if (n.feature != &f || f.kind != FeatureKind::Mare)
                        continue;
                    long ink = 0, difference = 0;
                    for (int dy = 0; dy < n.bottom - n.top; ++dy)
                        for (int dx = 0; dx < n.right - n.left; ++dx) {
                            const int a = referencePixels[((n.top + dy) * size + n.left + dx) * 4 + 3];
                            ink += a;
                            difference += std::abs(a - pixels[((label.top + dy) * size + label.left + dx) * 4 + 3]);
                        }
                    EXPECT_LT(difference, ink / 4) << f.name;
                }
            }
        }
        EXPECT_EQ(visible, layer.Labels().size());
    }
}

TEST(LiveMoon, EarthShadowDarkensTheDiscWhereTheSkyModelPutsIt) {
    const LunarEclipse eclipse = NextLunarEclipse(2462130.5);  // 2028 December 24
    ASSERT_EQ(EclipseKind::Total, eclipse.kind);
    ASSERT_NEAR(2462137.2, eclipse.peakJulianDate, 0.1);  // 2028 December 31, 16:50 UT
    const int size = 240;
    const DiscLayout disc = MakeDiscLayout(size);
    // Greatest eclipse, the partial stage an hour and a half before (upside down), a day after.
    const struct {
        double offsetDays;
        MoonOrientation orientation;
        double umbraShare[2];  // the least and the most of the disc in the umbra's red
    } moments[] = {{0.0, MoonOrientation::NorthUp, {0.97, 1.0}},
                   {-0.0625, MoonOrientation::SouthUp, {0.05, 0.5}},
                   {1.0, MoonOrientation::NorthUp, {0.0, 0.0}}};
    for (const auto& m : moments) {
        SCOPED_TRACE(testing::Message() << "days from greatest eclipse: " << m.offsetDays);
        const MoonView view = MoonViewAt(eclipse.peakJulianDate + m.offsetDays, m.orientation, {}, {0, 0, size});
        EXPECT_EQ(m.offsetDays < 0.5, view.lighting.shadow.present);
        const std::vector<unsigned char> pixels = Render(view, size);
        long inside = 0, red = 0;
        double sumX = 0.0, sumY = 0.0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const double dx = x + 0.5 - disc.centreX, dy = disc.centreY - (y + 0.5);
                const unsigned char* p = &pixels[(y * size + x) * 3];
                if (std::hypot(dx, dy) > disc.radius - 1.0)
                    continue;
                ++inside;
                if (p[0] < 90 && p[0] > 2 * p[2] + 4) {
                    ++red;
                    sumX += dx;
                    sumY += dy;
                }
            }
        EXPECT_GE(double(red) / inside, m.umbraShare[0]);
        EXPECT_LE(double(red) / inside, m.umbraShare[1]);
        if (m.orientation == MoonOrientation::SouthUp) {
            // The red part lies towards the shadow's centre, turned with the disc.
            const double jd = eclipse.peakJulianDate + m.offsetDays;
            const double shadowDeg =
                ComputeEarthShadow(jd).centrePositionAngleDeg - ComputeMoonSky(jd).axisAngleDeg + 180;
            EXPECT_LT(AngleError(shadowDeg, std::atan2(-sumX, sumY) * 180 / kPi), 10.0);
        }
    }
}

TEST(AlbedoMap, RefusesForeignAndTruncatedFiles) {
    const std::vector<unsigned char>& file = Shared().mapFile;
    CAlbedoMap map;
    EXPECT_TRUE(map.Attach(file.data(), file.size()));
    EXPECT_EQ(4096, map.Width());
    EXPECT_FALSE(map.Attach(file.data(), file.size() - 1));
    std::vector<unsigned char> foreign(file.begin(), file.begin() + 64);
    foreign[0] = 'P';
    EXPECT_FALSE(map.Attach(foreign.data(), foreign.size()));
    EXPECT_TRUE(map.Empty());
}

}  // namespace
