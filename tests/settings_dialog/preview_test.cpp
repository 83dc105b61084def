#include <gtest/gtest.h>

#include <windows.h>

#include "exif_thumbnail.h"
#include "image_io.h"
#include "services/picture_set.h"
#include "settings_dialog/preview_builder.h"
#include "tests/common/win_test_support.h"

using namespace wintest;
using Gdiplus::ARGB;

namespace {

constexpr ARGB kRed = 0xFFD02020;
constexpr ARGB kBlue = 0xFF2040D0;
constexpr ARGB kGrey = 0xFFA0A0A0;
constexpr ARGB kGreen = 0xFF20C040;
constexpr ARGB kOpaqueBlack = 0xFF000000;
constexpr ARGB kNearBlack = 0xFF010101;

// An RGB picture of one colour, for the picture-set writer.
Image Filled(int size, ARGB colour) {
    Image image(size, size, 3);
    for (size_t i = 0; i < image.pixels.size(); ++i)
        image.pixels[i] = static_cast<unsigned char>(colour >> (16 - 8 * (i % 3)));
    return image;
}

class PreviewBuilder : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(imaging.IsStarted()); }

    GdipBitmapPtr Build(const std::string& paper, const std::string& ann, bool annotated) {
        MoonEntry entry;
        entry.paper = paper;
        entry.ann = ann;
        return BuildPreview(CPictureSet(folder.Folder() + "\\").FilesFor(entry, {annotated, false}));
    }

    CGdiplusSession imaging;
    CScratchFolder folder{"qw_preview"};
};

TEST_F(PreviewBuilder, OverlayHidesThePictureExceptWhereItIsPureBlackAndEmbeddedThumbnailsAreTaken) {
    ASSERT_TRUE(SavePicture(folder.Path("grey.jpg"), 256, 256, {{0, 0, 256, 256, kGrey}}));
    // The overlay: opaque pure black except a green quarter at the top left and a
    // near-black quarter at the bottom right.
    ASSERT_TRUE(
        SavePicture(folder.Path("overlay.png"), 256, 256,
                    {{0, 0, 256, 256, kOpaqueBlack}, {0, 0, 128, 128, kGreen}, {128, 128, 128, 128, kNearBlack}}));
    const GdipBitmapPtr plain = Build("grey.jpg", "overlay.png", false);
    ASSERT_TRUE(plain);
    EXPECT_TRUE(ColourNear(PixelAt(plain.get(), 30, 30), kGrey)) << "the overlay is drawn only when asked for";

    const GdipBitmapPtr annotated = Build("grey.jpg", "overlay.png", true);
    ASSERT_TRUE(annotated);
    EXPECT_TRUE(ColourNear(PixelAt(annotated.get(), 30, 30), kGreen, 12));
    EXPECT_TRUE(ColourNear(PixelAt(annotated.get(), 100, 30), kGrey)) << "pure black must not cover the picture";
    EXPECT_TRUE(ColourNear(PixelAt(annotated.get(), 30, 100), kGrey));
    EXPECT_TRUE(ColourNear(PixelAt(annotated.get(), 100, 100), kNearBlack, 2)) << "0x010101 is not the key colour";

    // Files whose embedded thumbnails differ from their pictures show which one the preview
    // took: a blue picture carrying a red thumbnail, and a transparent overlay carrying an
    // orange-and-black one (orange is not symmetric in red and blue, so it also shows the
    // channel order).
    constexpr ARGB kOrange = 0xFFFF8000;
    ASSERT_TRUE(WriteFileIfChanged(folder.Path("embedded.jpg"),
                                   WithJpegThumbnail(EncodeJpeg(Filled(256, kBlue), 90), Filled(32, kRed), 90)));
    Image overlayThumbnail = Filled(32, kOrange);
    for (int y = 0; y < 32; ++y)
        for (int x = 16; x < 32; ++x)
            overlayThumbnail.At(x, y)[0] = overlayThumbnail.At(x, y)[1] = 0;
    ASSERT_TRUE(WriteFileIfChanged(folder.Path("embedded.png"),
                                   WithRgbThumbnail(EncodePng(Image(256, 256, 4)), overlayThumbnail)));

    const GdipBitmapPtr embedded = Build("embedded.jpg", "embedded.png", true);
    ASSERT_TRUE(embedded);
    EXPECT_TRUE(ColourNear(PixelAt(embedded.get(), 30, 64), kOrange, 12));
    EXPECT_TRUE(ColourNear(PixelAt(embedded.get(), 100, 64), kRed, 12)) << "the overlay's black is its key colour";
}

}  // namespace
