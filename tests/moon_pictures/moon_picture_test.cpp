#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "moon_features.h"
#include "moon_geometry.h"
#include "moon_overlay.h"
#include "moon_set.h"
#include "moon_shading.h"
#include "tests/moon_pictures/picture_measure.h"

namespace {

// Earthshine stays well below this, sunlit ground well above it.
constexpr double kLitThreshold = 24.0;

const Image& AlbedoMap() {
    static Image map;
    static const bool loaded = LoadImageFile(QW_TEST_MOON_MAP, 3, map);
    EXPECT_TRUE(loaded) << QW_TEST_MOON_MAP;
    return map;
}

const CMoonSurface& Surface(int size) {
    static CMoonSurface small, large;
    static const bool builtSmall = small.Build(AlbedoMap(), 256, 2);
    static const bool builtLarge = large.Build(AlbedoMap(), 1024, 2);
    EXPECT_TRUE(builtSmall && builtLarge);
    return size == 256 ? small : large;
}

std::vector<unsigned char> FileBytes(const char* path) {
    std::vector<unsigned char> bytes;
    EXPECT_TRUE(ReadFileBytes(path, bytes)) << path;
    return bytes;
}

const CLabelLayer& Labels() {
    static const std::vector<unsigned char> regular = FileBytes(QW_TEST_FONT_REGULAR);
    static const std::vector<unsigned char> bold = FileBytes(QW_TEST_FONT_BOLD);
    static CLabelLayer layer;
    static const bool built = layer.Build(regular, bold, MakeDiscLayout(1024));
    EXPECT_TRUE(built);
    return layer;
}

TEST(MoonGeometry, FeaturesProjectToTheirPlacesOnTheDisc) {
    // Positions on a 2048-pixel picture (centre 1024, radius 950) from the published
    // coordinates: Tycho 43.31 S 11.36 W, Copernicus 9.62 N 20.08 W, Mare Crisium 17.0 N 59.1 E.
    const struct {
        const char* name;
        double x, y;
    } expected[] = {{"Tycho", 887.8, 1675.6}, {"Copernicus", 702.4, 865.2}, {"Mare Crisium", 1803.5, 746.2}};
    const DiscLayout disc = MakeDiscLayout(2048);
    for (const auto& e : expected) {
        const MoonFeature* feature = FindFeature(e.name);
        ASSERT_NE(nullptr, feature) << e.name;
        const ScreenPoint p = ProjectFeature(disc, feature->latitudeDeg, feature->longitudeDeg);
        EXPECT_TRUE(p.visible) << e.name;
        EXPECT_LT(std::hypot(p.x - e.x, p.y - e.y), 4.0) << e.name << " at " << p.x << ", " << p.y;
    }
}

TEST(MoonGeometry, EveryFeatureLiesOnTheNearSide) {
    EXPECT_GE(NearSideFeatures().size(), 40u);
    int craters = 0, sites = 0, maria = 0;
    for (const MoonFeature& feature : NearSideFeatures()) {
        EXPECT_TRUE(ProjectFeature(MakeDiscLayout(2048), feature.latitudeDeg, feature.longitudeDeg).visible)
            << feature.name;
        craters += feature.kind == FeatureKind::Crater;
        sites += feature.kind == FeatureKind::LandingSite;
        maria += feature.kind == FeatureKind::Mare;
    }
    EXPECT_GE(craters, 20);
    EXPECT_EQ(6, sites);
    EXPECT_GE(maria, 10);
}

// The picture's lit side is checked on the rendered set.
TEST(MoonGeometry, SunElevationFollowsTheMonth) {
    EXPECT_NEAR(90.0, SunElevationDeg(0.0, 0.0, 180.0), 1e-9);
    EXPECT_NEAR(0.0, SunElevationDeg(0.0, 0.0, 90.0), 1e-9);  // on the terminator
    EXPECT_GT(SunElevationDeg(17.0, 59.1, 60.0), 0.0);        // Crisium lit early in the month
    EXPECT_LT(SunElevationDeg(17.0, 59.1, 300.0), 0.0);       // and dark late in it
}

TEST(LunarLaw, FullMoonIsEvenlyBrightToTheLimbAndCrescentsFadeToTheTerminator) {
    const CLunarLaw full(0.0);
    for (double mu : {1.0, 0.7, 0.3, 0.05})
        EXPECT_NEAR(1.0, full(mu, mu), 1e-12) << mu;  // not a shaded ball
    const CLunarLaw quarter(90.0);
    EXPECT_EQ(0.0, quarter(0.0, 1.0));
    EXPECT_EQ(0.0, quarter(-0.3, 1.0));
    EXPECT_LT(quarter(0.1, 1.0), quarter(0.5, 1.0));
    EXPECT_LT(quarter(0.5, 1.0), quarter(0.9, 1.0));
}

TEST(MoonPictures, LitShareAndSideMatchEveryEntry) {
    const CMoonSurface& surface = Surface(256);
    for (const PictureEntry& entry : PlanMoonSet(64)) {
        const Image picture = surface.Render(entry.elongationDeg);
        ASSERT_EQ(256, picture.width);
        const LitMeasure lit = MeasureLit(picture, surface.Disc(), kLitThreshold);
        EXPECT_NEAR(entry.illuminatedPercent, lit.litPercent, 3.0) << entry.title;
        if (entry.illuminatedPercent > 1.0 && entry.illuminatedPercent < 99.0) {
            if (entry.phase < 100.0) {
                EXPECT_GT(lit.litCentreX, 0.0) << entry.title << " should be lit on the right";
            } else {
                EXPECT_LT(lit.litCentreX, 0.0) << entry.title << " should be lit on the left";
            }
        }
    }
}

TEST(MoonPictures, SkyIsBlackAndNightSideShowsOnlyFaintEarthshine) {
    const CMoonSurface& surface = Surface(256);
    const Image newMoon = surface.Render(0.0);
    const Image quarter = surface.Render(90.0);
    for (const Image* picture : {&newMoon, &quarter}) {
        EXPECT_EQ(0.0, Brightness(*picture, 0, 0));
        EXPECT_EQ(0.0, Brightness(*picture, 255, 128));
        EXPECT_EQ(0.0, Brightness(*picture, 128, 2));
    }
    // The dark disc at new moon is faintly visible, but nowhere near sunlit.
    double brightest = 0.0, total = 0.0;
    int count = 0;
    for (int y = 40; y < 216; ++y)
        for (int x = 40; x < 216; ++x) {
            brightest = std::max(brightest, Brightness(newMoon, x, y));
            total += Brightness(newMoon, x, y);
            ++count;
        }
    EXPECT_GT(total / count, 2.0);
    EXPECT_LT(brightest, kLitThreshold);
    // The quarter's night half stays dark, its day half is bright.
    EXPECT_LT(Brightness(quarter, 70, 128), kLitThreshold);
    EXPECT_GT(Brightness(quarter, 190, 128), 60.0);
}

TEST(MoonPictures, FullMoonShowsTheMapWhereTheFeaturesAre) {
    // Tycho and Copernicus are bright craters, Mare Crisium a dark plain: near each of
    // them the picture must be brighter, or darker, than the ground around.
    const CMoonSurface& surface = Surface(1024);
    const Image full = surface.Render(180.0);
    auto meanAround = [&](const char* name, int radius) {
        const MoonFeature* f = FindFeature(name);
        const ScreenPoint p = ProjectFeature(surface.Disc(), f->latitudeDeg, f->longitudeDeg);
        double sum = 0.0;
        int n = 0;
        for (int y = int(p.y) - radius; y <= int(p.y) + radius; ++y)
            for (int x = int(p.x) - radius; x <= int(p.x) + radius; ++x) {
                sum += Brightness(full, x, y);
                ++n;
            }
        return sum / n;
    };
    EXPECT_GT(meanAround("Tycho", 4), meanAround("Tycho", 30) + 15.0);
    EXPECT_GT(meanAround("Copernicus", 4), meanAround("Copernicus", 30) + 15.0);
    EXPECT_LT(meanAround("Mare Crisium", 15), meanAround("Mare Crisium", 60) - 10.0);
}

TEST(MoonPictures, RenderingIsReproducibleWhateverTheThreadCount) {
    CMoonSurface one, three;
    ASSERT_TRUE(one.Build(AlbedoMap(), 128, 1));
    ASSERT_TRUE(three.Build(AlbedoMap(), 128, 3));
    const Image a = one.Render(123.0), b = three.Render(123.0);
    EXPECT_EQ(a.pixels, b.pixels);
    EXPECT_EQ(EncodeJpeg(a, 90), EncodeJpeg(b, 90));
    EXPECT_FALSE(one.Build(Image(), 128, 1));
}

TEST(Overlay, IsTransparentAndBlackExceptForTheLabels) {
    const CLabelLayer& labels = Labels();
    const int size = 1024;
    // Pixels that a label may cover: its text box, its marker and its leader, with the halo.
    std::vector<char> allowed(static_cast<size_t>(size) * size, 0);
    auto allow = [&](int l, int t, int r, int b) {
        for (int y = std::max(0, t - 4); y < std::min(size, b + 4); ++y)
            for (int x = std::max(0, l - 4); x < std::min(size, r + 4); ++x)
                allowed[static_cast<size_t>(y) * size + x] = 1;
    };
    for (const CLabelLayer::Label& label : labels.Labels()) {
        allow(label.left, label.top, label.right, label.bottom);
        const int ax = int(label.anchorX), ay = int(label.anchorY);
        allow(std::min(ax, label.left) - 6, std::min(ay, label.top) - 6, std::max(ax, label.right) + 6,
              std::max(ay, label.bottom) + 6);
    }
    for (double elongation : {0.0, 90.0, 180.0, 270.0}) {
        const Image overlay = labels.Compose(elongation);
        ASSERT_EQ(4, overlay.channels);
        long covered = 0, stray = 0, blackInk = 0, colouredGlass = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const unsigned char* p = overlay.At(x, y);
                if (p[3] == 0) {
                    colouredGlass += (p[0] | p[1] | p[2]) != 0;
                    continue;
                }
                ++covered;
                blackInk += (p[0] | p[1] | p[2]) == 0;
                stray += !allowed[static_cast<size_t>(y) * size + x];
            }
        EXPECT_EQ(0, colouredGlass) << "transparent pixels must be pure black";
        EXPECT_EQ(0, blackInk) << "a colour key on pure black would drop label pixels";
        EXPECT_EQ(0, stray) << "pixels covered outside every label";
        EXPECT_GT(covered, 10000);
        EXPECT_LT(covered, size * size / 20);
    }
}

TEST(Overlay, LabelsStayApartAndNearTheirFeatures) {
    const std::vector<CLabelLayer::Label>& labels = Labels().Labels();
    EXPECT_EQ(NearSideFeatures().size(), labels.size());
    for (size_t i = 0; i < labels.size(); ++i) {
        const CLabelLayer::Label& a = labels[i];
        EXPECT_GE(a.left, 0);
        EXPECT_LE(a.right, 1024);
        for (size_t j = i + 1; j < labels.size(); ++j) {
            const CLabelLayer::Label& b = labels[j];
            EXPECT_FALSE(a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom)
                << a.feature->name << " overlaps " << b.feature->name;
        }
        const double dx = std::max({a.left - a.anchorX, 0.0, a.anchorX - a.right});
        const double dy = std::max({a.top - a.anchorY, 0.0, a.anchorY - a.bottom});
        const double gap = std::hypot(dx, dy);
        if (a.feature->kind == FeatureKind::Mare) {
            EXPECT_LT(gap, 30.0) << a.feature->name;  // on its feature
        } else {
            EXPECT_LT(gap, a.leader ? 80.0 : 8.0) << a.feature->name;
        }
    }
}

TEST(Overlay, LabelsNearTheTerminatorStandOut) {
    // At first quarter Hipparchus lies on the terminator and Langrenus in full sunlight.
    const CLabelLayer& layer = Labels();
    const Image overlay = layer.Compose(90.0);
    auto inkColour = [&](const char* name) {
        for (const CLabelLayer::Label& label : layer.Labels())
            if (std::strcmp(label.feature->name, name) == 0)
                for (int y = label.top; y < label.bottom; ++y)
                    for (int x = label.left; x < label.right; ++x)
                        if (overlay.At(x, y)[3] == 255)
                            return std::vector<int>{overlay.At(x, y)[0], overlay.At(x, y)[1], overlay.At(x, y)[2]};
        return std::vector<int>{};
    };
    const std::vector<int> terminator = inkColour("Hipparchus"), day = inkColour("Langrenus");
    ASSERT_EQ(3u, terminator.size());
    ASSERT_EQ(3u, day.size());
    EXPECT_NE(terminator, day);
}

}  // namespace
