#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "catalog/catalog_loader.h"
#include "image_io.h"
#include "moon_render/moon_geometry.h"
#include "moon_render/moon_overlay.h"
#include "palette.h"
#ifdef _WIN32
#include "win/imaging_win.h"
#endif

// Checks of the data folder that the build stages: what the program will load.
namespace {

const std::string kData = QW_TEST_DATA_DIR "/";

// The staged catalogue, read with the program's own loader (Windows builds under Wine see
// the build machine's files through drive Z:).
std::vector<MoonEntry> StagedCatalogue() {
    std::string path = kData + "Quellwicks.xml";
#ifdef _WIN32
    for (char& c : path)
        c = c == '/' ? '\\' : c;
#endif
    CMoonCatalog catalog;
    EXPECT_GE(LoadMoonCatalog(catalog, path), 0) << path;
    return catalog.GetEntries();
}

TEST(DataFolder, CatalogueNamesOnlyFilesThatExistAndPicturesLitAsItsEntriesSay) {
    const std::vector<MoonEntry> entries = StagedCatalogue();
    ASSERT_GE(entries.size(), 61u);
    double previous = -1.0;
    for (const MoonEntry& e : entries) {
        EXPECT_GT(e.phase, previous) << e.title;
        previous = e.phase;
        EXPECT_TRUE(std::ifstream(kData + e.paper).good()) << e.paper;
        EXPECT_TRUE(std::ifstream(kData + e.ann).good()) << e.ann;
        EXPECT_FALSE(e.title.empty());
        EXPECT_NE(std::string::npos, e.description.find("\r\n")) << e.title;
    }
    EXPECT_EQ(0.0, entries.front().phase);
    EXPECT_EQ(200.0, entries.back().phase);

    // The pictures are lit as their entries say.
    const DiscLayout disc = MakeDiscLayout(2048);
    // New moon, a crescent, first quarter, full moon, last quarter.
    for (size_t index : {size_t(0), size_t(8), size_t(16), entries.size() / 2 - 1, entries.size() * 3 / 4}) {
        const MoonEntry& e = entries[index];
        Image picture, overlay;
        ASSERT_TRUE(LoadImageFile(kData + e.paper, 3, picture)) << e.paper;
        ASSERT_TRUE(picture.width == 2048 && picture.height == 2048) << e.paper;
        // The share of the disc (clear of the anti-aliased limb) that is lit, and the mean x
        // of the lit pixels relative to the disc's centre, in radii.
        long inside = 0, lit = 0;
        double sumX = 0.0;
        for (int y = 0; y < picture.height; ++y) {
            for (int x = 0; x < picture.width; ++x) {
                const double dx = x + 0.5 - disc.centreX, dy = y + 0.5 - disc.centreY;
                if (std::hypot(dx, dy) > disc.radius - 1.0)
                    continue;
                ++inside;
                const unsigned char* p = picture.At(x, y);
                if (p[0] + p[1] + p[2] > 3 * 24) {
                    ++lit;
                    sumX += dx / disc.radius;
                }
            }
        }
        const double percent = e.phase <= 100.0 ? e.phase : 200.0 - e.phase;
        EXPECT_NEAR(percent, 100.0 * lit / inside, 3.0) << e.paper;
        if (percent > 1.0 && percent < 99.0) {
            EXPECT_EQ(e.phase < 100.0, sumX > 0.0) << e.paper << ": waxing is lit on the right";
        }

        int channels = 0;
        ASSERT_TRUE(LoadImageFile(kData + e.ann, 4, overlay)) << e.ann;
        ASSERT_EQ(2048, overlay.width);
        for (int corner : {0, 2047})
            EXPECT_EQ(0, overlay.At(corner, corner)[3] | overlay.At(corner, corner)[0]) << e.ann;
        for (size_t at = 3; at < overlay.pixels.size(); at += 4)
            channels += overlay.pixels[at] != 0;
        EXPECT_GT(channels, 20000) << e.ann;
    }
}

// A picture of more than 256 colours, reduced to 256 and written as an indexed PNG, reads
// back as reduced: transparent where it was, and elsewhere as it was once drawn.
TEST(DataFolder, OverlayColoursReduceToAPaletteThatReadsBack) {
    Image labels(64, 64, 4), read;
    for (int p = 0; p < 64 * 64; ++p) {  // red and green at every opacity
        labels.pixels[4 * p + p % 2] = 255;
        labels.pixels[4 * p + 3] = static_cast<unsigned char>(p / 2 % 256);
    }
    const Image reduced = ReduceColours(labels, 256);
    const std::vector<unsigned char> png = EncodePng(reduced, PngColours::Indexed);
    ASSERT_TRUE(png.size() > 25 && DecodeImage(png.data(), png.size(), 4, read));
    EXPECT_EQ(3, png[25]) << "colour type: indexed";
    EXPECT_EQ(reduced.pixels, read.pixels);
    const auto seen = [](const Image& image, int p, int c) {  // colour times opacity
        const unsigned char* pixel = &image.pixels[4 * p];
        return c == 3 ? pixel[3] : pixel[c] * pixel[3] / 255.0;
    };
    for (int p = 0; p < 64 * 64; ++p) {
        EXPECT_EQ(labels.pixels[4 * p + 3] == 0, read.pixels[4 * p + 3] == 0) << p;
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(seen(labels, p, c), seen(read, p, c), 2.0) << p;
    }
}

#ifdef _WIN32
// An overlay as the program loads it (GDI+, under Wine its PNG decoder) has the pixels that
// the generator wrote: its labels and its transparent background.
TEST(DataFolder, OverlayLoadsWithItsTransparencyThroughTheProgramsLoader) {
    const std::string path = kData + StagedCatalogue().at(16).ann;
    Image written;
    ASSERT_TRUE(LoadImageFile(path, 4, written));
    const CGdiplusSession imaging;
    const GdipImagePtr loaded = LoadPicture(path);
    Gdiplus::BitmapData data;
    const Gdiplus::Rect all(0, 0, written.width, written.height);
    ASSERT_TRUE(loaded && Gdiplus::DllExports::GdipBitmapLockBits(static_cast<Gdiplus::GpBitmap*>(loaded.get()), &all,
                                                                  Gdiplus::ImageLockModeRead, PixelFormat32bppARGB,
                                                                  &data) == Gdiplus::Ok);
    int differing = 0, opaque = 0, transparent = 0;
    for (int y = 0; y < written.height; ++y)
        for (int x = 0; x < written.width; ++x) {
            const unsigned char* bgra = static_cast<unsigned char*>(data.Scan0) + y * data.Stride + 4 * x;
            const unsigned char* rgba = written.At(x, y);
            opaque += bgra[3] == 255;
            transparent += bgra[3] == 0;
            differing +=
                bgra[3] != rgba[3] || (rgba[3] && (bgra[2] != rgba[0] || bgra[1] != rgba[1] || bgra[0] != rgba[2]));
        }
    Gdiplus::DllExports::GdipBitmapUnlockBits(static_cast<Gdiplus::GpBitmap*>(loaded.get()), &data);
    EXPECT_GT(opaque, 10000) << "the labels";
    EXPECT_GT(transparent, written.width * written.height * 9 / 10) << "the background";
    EXPECT_EQ(0, differing) << "pixels that GDI+ reads otherwise than they were written";
}
#endif

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
    const std::vector<MoonEntry> entries = StagedCatalogue();
    ASSERT_GE(entries.size(), 17u);
    const MoonEntry& entry = entries[16];
    Image north, south;
    ASSERT_TRUE(LoadImageFile(kData + entry.ann, 4, north)) << entry.ann;
    ASSERT_TRUE(LoadImageFile(kData + SouthernOverlayName(entry.ann), 4, south)) << SouthernOverlayName(entry.ann);

    std::vector<unsigned char> regular, bold;
    ASSERT_TRUE(ReadFileBytes(QW_FONT_REGULAR, regular) && ReadFileBytes(QW_FONT_BOLD, bold));
    const int size = north.width;
    MoonFrame frame, halfTurn;
    frame.square = halfTurn.square = {0, 0, size};
    halfTurn.turnDeg = 180.0;
    const FontFile regularFont{regular.data(), regular.size()}, boldFont{bold.data(), bold.size()};
    CLabelLayer northern, southern;
    ASSERT_TRUE(northern.Build(regularFont, boldFont, frame) && southern.Build(regularFont, boldFont, halfTurn));
    ASSERT_EQ(northern.Labels().size(), southern.Labels().size());

    int compared = 0;
    for (const CLabelLayer::Label& s : southern.Labels()) {
        const CLabelLayer::Label* n = nullptr;
        for (const CLabelLayer::Label& candidate : northern.Labels())
            if (candidate.feature == s.feature)
                n = &candidate;
        ASSERT_NE(n, nullptr) << s.feature->name;
        EXPECT_NEAR(size - n->anchorX, s.anchorX, 1e-9) << s.feature->name;
        EXPECT_NEAR(size - n->anchorY, s.anchorY, 1e-9) << s.feature->name;
        // The text's box no farther from its feature than the layout ever places one.
        const double dx = std::fmax(0.0, std::fmax(s.left - s.anchorX, s.anchorX - s.right));
        const double dy = std::fmax(0.0, std::fmax(s.top - s.anchorY, s.anchorY - s.bottom));
        EXPECT_LT(std::hypot(dx, dy), 140.0 * size / 2048.0) << s.feature->name;

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
