#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "exif_thumbnail.h"
#include "settings_dialog/embedded_thumbnail.h"
#include "tests/moon_pictures/picture_measure.h"

// The thumbnails that the picture set embeds, read back the way the program reads them.
namespace {

using Kind = EmbeddedThumbnail::Kind;

// A picture whose left half is red and right half is blue, with a white square near the top.
Image Sample(int size, int channels) {
    Image image(size, size, channels);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            unsigned char* p = image.At(x, y);
            const bool square = x >= size / 8 && x < size / 4 && y < size / 8;
            p[0] = square || x < size / 2 ? 255 : 0;
            p[1] = square ? 255 : 0;
            p[2] = square || x >= size / 2 ? 255 : 0;
            if (channels == 4)
                p[3] = 255;
        }
    return image;
}

// Mean difference of the channels of two RGB images of one size.
double MeanDifference(const Image& a, const Image& b) {
    EXPECT_EQ(a.pixels.size(), b.pixels.size());
    double sum = 0.0;
    for (size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); ++i)
        sum += std::abs(a.pixels[i] - b.pixels[i]);
    return sum / a.pixels.size();
}

TEST(ExifThumbnail, ShrinkingAveragesAndKeysWhatIsMostlyTransparent) {
    Image overlay(32, 32, 4);  // wholly transparent
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 2; ++x) {  // half of the first 4 x 4 block, in two colours
            unsigned char* p = overlay.At(x, y);
            p[0] = y < 2 ? 200 : 100, p[1] = 100, p[2] = 40, p[3] = 255;
        }
        unsigned char* white = overlay.At(4, y);  // a quarter of the second block
        white[0] = white[1] = white[2] = white[3] = 255;
    }
    const Image small = ShrinkForThumbnail(overlay, 8);
    ASSERT_EQ(8, small.width);
    ASSERT_EQ(3, small.channels);
    EXPECT_EQ(150, small.At(0, 0)[0]) << "the mean of what covers the pixel, not darkened by the transparent part";
    EXPECT_EQ(100, small.At(0, 0)[1]);
    EXPECT_EQ(40, small.At(0, 0)[2]);
    for (size_t i = 3; i < small.pixels.size(); ++i)
        EXPECT_EQ(0, small.pixels[i]) << "mostly transparent pixels must come out pure black, byte " << i;

    // Shrinking to a size that does not divide the picture still covers every pixel.
    const Image odd = ShrinkForThumbnail(Sample(100, 3), 7);
    EXPECT_EQ(255, odd.At(0, 6)[0]);
    EXPECT_EQ(255, odd.At(6, 6)[2]);
}

TEST(ExifThumbnail, JpegPictureCarriesItsThumbnailAndStillDecodes) {
    const Image picture = Sample(256, 3);
    const Image thumbnail = ShrinkForThumbnail(picture, kThumbnailSize);
    const std::vector<unsigned char> file = WithJpegThumbnail(EncodeJpeg(picture, 90), thumbnail, 90);

    const EmbeddedThumbnail found = FindEmbeddedThumbnail(file.data(), file.size());
    ASSERT_EQ(Kind::Jpeg, found.kind);
    Image decoded;
    ASSERT_TRUE(DecodeImage(file.data() + found.offset, found.length, 3, decoded));
    ASSERT_EQ(kThumbnailSize, decoded.width);
    ASSERT_EQ(kThumbnailSize, decoded.height);
    EXPECT_LT(MeanDifference(thumbnail, decoded), 3.0);
    EXPECT_GT(Brightness(decoded, kThumbnailSize * 3 / 16, 4), 240.0);  // the white square, not mirrored

    // The picture itself is untouched by the segment in front of it.
    Image whole;
    ASSERT_TRUE(DecodeImage(file.data(), file.size(), 3, whole));
    EXPECT_EQ(256, whole.width);
    EXPECT_LT(MeanDifference(picture, whole), 3.0);
}

TEST(ExifThumbnail, PngOverlayCarriesExactPixels) {
    Image overlay = Sample(256, 4);
    for (int y = 128; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            overlay.At(x, y)[3] = 0;  // the lower half transparent
    const Image thumbnail = ShrinkForThumbnail(overlay, kThumbnailSize);
    const std::vector<unsigned char> file = WithRgbThumbnail(EncodePng(overlay), thumbnail);

    const EmbeddedThumbnail found = FindEmbeddedThumbnail(file.data(), file.size());
    ASSERT_EQ(Kind::Rgb, found.kind);
    ASSERT_EQ(static_cast<uint32_t>(kThumbnailSize), found.width);
    ASSERT_EQ(static_cast<uint32_t>(kThumbnailSize), found.height);
    ASSERT_EQ(thumbnail.pixels.size(), found.length);
    EXPECT_TRUE(std::equal(thumbnail.pixels.begin(), thumbnail.pixels.end(), file.begin() + found.offset));
    EXPECT_EQ(0, thumbnail.At(5, kThumbnailSize - 1)[0]);

    // The chunk sits after the picture data, where decoders that read metadata before the
    // pixels never parse it, and they still read the picture.
    const std::vector<unsigned char> plain = EncodePng(overlay);
    EXPECT_TRUE(std::search(file.begin(), file.end(), plain.begin() + 8, plain.end() - 12) <
                file.begin() + static_cast<std::ptrdiff_t>(found.offset));
    Image whole;
    ASSERT_TRUE(DecodeImage(file.data(), file.size(), 4, whole));
    EXPECT_EQ(overlay.pixels, whole.pixels);
}

}  // namespace
