#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "moon_overlay.h"
#include "tests/moon_pictures/picture_measure.h"

namespace {

const std::string kData = QW_TEST_DATA_DIR "/";

// Sum of the absolute differences of the overlay's coverage (alpha) between the box of
// `a` in `first` and that of `b` in `second`, the second read turned when `turned`.
double Difference(const Image& first, const CLabelLayer::Label& a, const Image& second,
                  const CLabelLayer::Label& b, bool turned) {
    const int w = a.right - a.left, h = a.bottom - a.top;
    double sum = 0.0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int sx = turned ? b.right - 1 - x : b.left + x, sy = turned ? b.bottom - 1 - y : b.top + y;
            sum += std::abs(first.At(a.left + x, a.top + y)[3] - second.At(sx, sy)[3]);
        }
    return sum;
}

// The staged southern overlay of a first-quarter picture against the northern one, label by
// label, with the layouts the generator drew them from: each southern label is beside its
// feature's turned place, and its text reads like the northern one rather than like the
// northern one turned.
TEST(SouthernOverlay, LabelsSitBesideTheTurnedFeaturesAndStayUpright) {
    const std::vector<MoonEntry> entries = LoadCatalogue(kData + "Quellwicks.xml");
    ASSERT_GE(entries.size(), 17u);
    const MoonEntry& entry = entries[16];
    Image north, south;
    ASSERT_TRUE(LoadImageFile(kData + entry.ann, 4, north)) << entry.ann;
    ASSERT_TRUE(LoadImageFile(kData + SouthernOverlayName(entry.ann), 4, south)) << SouthernOverlayName(entry.ann);

    std::vector<unsigned char> regular, bold;
    ASSERT_TRUE(ReadFileBytes(QW_FONT_REGULAR, regular) && ReadFileBytes(QW_FONT_BOLD, bold));
    const DiscLayout disc = MakeDiscLayout(north.width);
    CLabelLayer northern, southern;
    ASSERT_TRUE(northern.Build(regular, bold, disc) && southern.Build(regular, bold, disc, true));
    ASSERT_EQ(northern.Labels().size(), southern.Labels().size());

    int compared = 0;
    for (const CLabelLayer::Label& s : southern.Labels()) {
        const CLabelLayer::Label* n = nullptr;
        for (const CLabelLayer::Label& candidate : northern.Labels())
            if (candidate.feature == s.feature)
                n = &candidate;
        ASSERT_NE(n, nullptr) << s.feature->name;
        EXPECT_NEAR(disc.size - n->anchorX, s.anchorX, 1e-9) << s.feature->name;
        EXPECT_NEAR(disc.size - n->anchorY, s.anchorY, 1e-9) << s.feature->name;
        // The text's box no farther from its feature than the layout ever places one.
        const double dx = std::fmax(0.0, std::fmax(s.left - s.anchorX, s.anchorX - s.right));
        const double dy = std::fmax(0.0, std::fmax(s.top - s.anchorY, s.anchorY - s.bottom));
        EXPECT_LT(std::hypot(dx, dy), 140.0 * disc.size / 2048.0) << s.feature->name;

        if (s.right - s.left != n->right - n->left || s.bottom - s.top != n->bottom - n->top)
            continue;
        const double upright = Difference(south, s, north, *n, false);
        const double turned = Difference(south, s, north, *n, true);
        EXPECT_LT(upright * 2.0, turned) << s.feature->name << " reads upside down or is missing";
        ++compared;
    }
    EXPECT_GT(compared, 10);
}

}  // namespace
