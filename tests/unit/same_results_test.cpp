// The shipped 32-bit program must compute what the 64-bit one computes. The expected values
// were written out once from the 64-bit build; every build runs this against them. Pure
// arithmetic is compared to the last bit, through a digest of wide sweeps; what goes through
// sine, cosine and arctangent (whose last bits differ between processors' instructions and
// emulators) is compared to nine significant digits.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "refresh/tray_text.h"
#include "astro/moon_phase.h"
#include "astro/moon_selection.h"
#include "viewer/zoom_scroll_model.h"
#include "wallpaper/wallpaper_fit.h"

namespace {

// FNV-1a over the bytes of each value, in the order given.
class CDigest {
public:
    template <typename T>
    void Add(T value) {
        unsigned char bytes[sizeof(T)];
        std::memcpy(bytes, &value, sizeof(T));
        for (unsigned char byte : bytes)
            hash = (hash ^ byte) * 0x100000001b3ull;
    }
    void Add(ZoomSize size) { Add(size.cx), Add(size.cy); }
    void Add(ZoomPoint point) { Add(point.x), Add(point.y); }
    uint64_t Value() const { return hash; }

private:
    uint64_t hash = 0xcbf29ce484222325ull;
};

const uint32_t kScreens[][2] = {{320, 200},   {640, 480},   {800, 600},   {1024, 768},  {1280, 720},
                                {1280, 800},  {1280, 1024}, {1366, 768},  {1440, 900},  {1600, 900},
                                {1680, 1050}, {1920, 1080}, {1920, 1200}, {2560, 1440}, {3840, 2160}};

TEST(SameResults, WallpaperFitsOfEveryScreenAndPictureShape) {
    CDigest digest;
    for (const auto& screen : kScreens) {
        for (uint32_t w = 100; w <= 4000; w += 37) {
            for (uint32_t h = 100; h <= 4000; h += 41) {
                const FitRect fit = ComputeFit(screen[0], screen[1], w, h);
                digest.Add(fit.x), digest.Add(fit.y), digest.Add(fit.width), digest.Add(fit.height);
                digest.Add(fit.scale);
            }
        }
    }
    EXPECT_EQ(0x31c47b5ef7d64955ull, digest.Value());
}

TEST(SameResults, ZoomLevelsSizesAndOffsetsThroughEveryStep) {
    CDigest digest;
    for (double factor = 0.0; factor < 8.0; factor += 0.005)
        digest.Add(Round2(factor));
    const int32_t panes[][2] = {{1920, 1080}, {1000, 700}, {1280, 1024}, {333, 777}};
    const uint32_t pictures[][2] = {{2048, 2048}, {2000, 1500}, {1023, 4097}, {640, 480}};
    for (const auto& pane : panes) {
        for (const auto& picture : pictures) {
            CZoomScrollModel model;
            model.SetPictureSize(picture[0], picture[1]);
            model.OnClientResize(pane[0], pane[1]);
            model.ZoomToFit(pane[0], pane[1], false, 17, false, 17);
            digest.Add(model.GetZoom()), digest.Add(model.GetScaledSize());
            for (ZoomDirection direction : {ZoomDirection::In, ZoomDirection::Out}) {
                for (int step = 0; step < 16; ++step) {
                    const ViewUpdate update = model.ZoomStep(direction, pane[0] / 3, pane[1] / 4);
                    model.Place(update.placement, model.GetClientSize());
                    model.ScrollLine(ScrollAxis::Vertical, ScrollCode::LineDown);
                    model.ScrollLine(ScrollAxis::Horizontal, ScrollCode::PageDown);
                    digest.Add(model.GetZoom()), digest.Add(model.GetScaledSize()), digest.Add(model.GetOffset());
                    digest.Add(model.GetLineSize()), digest.Add(model.GetPageSize());
                }
            }
        }
    }
    EXPECT_EQ(0x2e8eed680705dbc0ull, digest.Value());
}

// Relative difference, so that nine significant digits count whatever the magnitude.
::testing::AssertionResult NineDigits(double expected, double actual) {
    if (std::fabs(actual - expected) <= 5e-9 * std::fabs(expected))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected " << expected << ", got " << actual;
}

struct MoonAt {
    double julianDate;
    double illuminatedFraction, ageDays, lunationFraction, moonDistanceKm;
    double phaseScale;
    const char* tooltip;
};

TEST(SameResults, MoonPhaseAgeScaleAndTooltip) {
    const MoonAt table[] = {
        {2415020.5, 0.00449712260052, 28.8997538755, 0.978637919775, 373482.870311, 199.55028774, "Quellwick (Phase: 0.4% Age: 28.9 days)"},
        {2430000.75, 0.564163212154, 7.98744129329, 0.270480259633, 405504.496325, 56.4163212154, "Quellwick (Phase: 56.4% Age: 8.0 days)"},
        {2444238.5, 0.937923774882, 12.3983718931, 0.419848450277, 379955.370296, 93.7923774882, "Quellwick (Phase: 93.8% Age: 12.4 days)"},
        {2451545, 0.22977678289, 24.8314545757, 0.840872318693, 400216.397328, 177.022321711, "Quellwick (Phase: 23.0% Age: 24.8 days)"},
        {2455197.6875, 0.997863394774, 15.1999438045, 0.514718618353, 364977.11923, 100.213660523, "Quellwick (Phase: 99.8% Age: 15.2 days)"},
        {2461384, 0.00189095383094, 0.408883571397, 0.0138461029622, 404494.5895, 0.189095383094, "Quellwick (Phase: 0.2% Age: 0.4 days)"},
        {2488069.5, 0.774907602352, 19.4119048934, 0.65734906621, 366830.149863, 122.509239765, "Quellwick (Phase: 77.5% Age: 19.4 days)"},
    };
    for (const MoonAt& m : table) {
        SCOPED_TRACE(testing::Message() << "JD " << m.julianDate);
        const PhaseInfo p = ComputeMoonPhase(m.julianDate);
        EXPECT_TRUE(NineDigits(m.illuminatedFraction, p.illuminatedFraction));
        EXPECT_TRUE(NineDigits(m.ageDays, p.ageDays));
        EXPECT_TRUE(NineDigits(m.lunationFraction, p.lunationFraction));
        EXPECT_TRUE(NineDigits(m.moonDistanceKm, p.moonDistanceKm));
        EXPECT_TRUE(NineDigits(m.phaseScale, PhaseScaleValue(p.illuminatedFraction * 100.0, p.ageDays)));
        EXPECT_EQ(m.tooltip, FormatPhaseTooltip(p.illuminatedFraction * 100.0, p.ageDays));
    }
}

}  // namespace
