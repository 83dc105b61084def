#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "settings_dialog/embedded_thumbnail.h"

// Thumbnails in files that are cut short or lie about their offsets.
namespace {

using Bytes = std::vector<unsigned char>;
using Kind = EmbeddedThumbnail::Kind;

void PutBig(Bytes& out, uint32_t value, int bytes) {
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(value >> shift & 0xFF));
}

struct Tag {
    uint16_t tag;
    uint16_t type;
    std::vector<uint32_t> values;
};

// A big-endian Exif block: an empty first directory, then the thumbnail's directory with
// `tags`; values that do not fit in an entry, then `data`, follow it. Offsets given as
// kData + n point n bytes into `data`.
constexpr uint32_t kData = 0x80000000;

Bytes MotorolaExif(const std::vector<Tag>& tags, const Bytes& data) {
    const uint32_t second = 8 + 2 + 4;
    uint32_t spill = second + 2 + 12 * static_cast<uint32_t>(tags.size()) + 4;
    uint32_t spillSize = 0;
    for (const Tag& t : tags)
        if (t.values.size() * (t.type == exif::kTypeShort ? 2 : 4) > 4)
            spillSize += static_cast<uint32_t>(t.values.size()) * (t.type == exif::kTypeShort ? 2 : 4);
    const uint32_t dataStart = spill + spillSize;
    const auto resolve = [dataStart](uint32_t v) { return v >= kData ? dataStart + (v - kData) : v; };

    Bytes out = {'M', 'M'};
    PutBig(out, 42, 2);
    PutBig(out, 8, 4);
    PutBig(out, 0, 2);  // no entries
    PutBig(out, second, 4);
    PutBig(out, static_cast<uint32_t>(tags.size()), 2);
    Bytes spilled;
    for (const Tag& t : tags) {
        const int width = t.type == exif::kTypeShort ? 2 : 4;
        PutBig(out, t.tag, 2);
        PutBig(out, t.type, 2);
        PutBig(out, static_cast<uint32_t>(t.values.size()), 4);
        if (t.values.size() * width > 4) {
            PutBig(out, spill, 4);
            for (uint32_t v : t.values)
                PutBig(spilled, resolve(v), width);
            spill += static_cast<uint32_t>(t.values.size()) * width;
        } else {
            Bytes inline_;
            for (uint32_t v : t.values)
                PutBig(inline_, resolve(v), width);
            inline_.resize(4, 0);
            out.insert(out.end(), inline_.begin(), inline_.end());
        }
    }
    PutBig(out, 0, 4);
    out.insert(out.end(), spilled.begin(), spilled.end());
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

const Bytes kTinyJpeg = {0xFF, 0xD8, 0xFF, 0xD9, 0x00, 0x00};

Bytes JpegExif(uint32_t length) {
    return MotorolaExif({{exif::kCompression, exif::kTypeShort, {exif::kJpegCompression}},
                         {exif::kJpegOffset, exif::kTypeLong, {kData}},
                         {exif::kJpegLength, exif::kTypeLong, {length}}},
                        kTinyJpeg);
}

std::vector<Tag> RgbTags(uint32_t width, uint32_t height) {
    return {{exif::kImageWidth, exif::kTypeShort, {width}},
            {exif::kImageLength, exif::kTypeShort, {height}},
            {exif::kBitsPerSample, exif::kTypeShort, {8, 8, 8}},
            {exif::kCompression, exif::kTypeShort, {exif::kUncompressed}},
            {exif::kPhotometric, exif::kTypeShort, {exif::kPhotometricRgb}},
            {exif::kStripOffsets, exif::kTypeLong, {kData}},
            {exif::kSamplesPerPixel, exif::kTypeShort, {3}},
            {exif::kStripByteCounts, exif::kTypeLong, {width * height * 3}}};
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

Bytes Chunk(const char* type, const Bytes& body) {
    Bytes out;
    PutBig(out, static_cast<uint32_t>(body.size()), 4);
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    PutBig(out, 0, 4);  // the reader does not check CRCs
    return out;
}

const Bytes kPngSignature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

EmbeddedThumbnail Find(const Bytes& file) {
    return FindEmbeddedThumbnail(file.data(), file.size());
}

// Files that the picture-set writer makes are read back under Wine (preview_test.cpp); here,
// files that others might write wrongly.
TEST(EmbeddedThumbnail, RefusesMalformedOrUnsupportedThumbnails) {
    const auto inPng = [](const Bytes& tiff) {
        return Find(Concat({kPngSignature, Chunk("IHDR", Bytes(13, 0)), Chunk("eXIf", tiff)})).kind;
    };
    const Bytes pixels(4 * 4 * 3, 7);
    ASSERT_EQ(Kind::Rgb, inPng(MotorolaExif(RgbTags(4, 4), pixels)));

    std::vector<Tag> tags = RgbTags(4, 4);
    tags[7].values = {4 * 4 * 3 - 1};  // strip shorter than the pixels
    EXPECT_EQ(Kind::None, inPng(MotorolaExif(tags, pixels)));
    tags = RgbTags(4, 4);
    tags[2].values = {16, 16, 16};
    EXPECT_EQ(Kind::None, inPng(MotorolaExif(tags, pixels)));
    tags = RgbTags(4, 4);
    tags[6].values = {4};  // RGBA
    EXPECT_EQ(Kind::None, inPng(MotorolaExif(tags, pixels)));
    tags = RgbTags(4, 4);
    tags[5].values = {kData, kData + 24};  // two strips
    EXPECT_EQ(Kind::None, inPng(MotorolaExif(tags, pixels)));
    EXPECT_EQ(Kind::None, inPng(MotorolaExif(RgbTags(0, 4), pixels)));
    // A sample count of four billion is refused at once, not read value by value.
    Bytes hugeCount = MotorolaExif(RgbTags(4, 4), pixels);
    const size_t bitsCount = 8 + 2 + 4 + 2 + 2 * 12 + 4;  // the third entry's count
    std::fill(hugeCount.begin() + bitsCount, hugeCount.begin() + bitsCount + 4, 0xFF);
    EXPECT_EQ(Kind::None, inPng(hugeCount));
    // Too large to be a thumbnail, and claiming more pixels than the block holds.
    EXPECT_EQ(Kind::None, inPng(MotorolaExif(RgbTags(exif::kMaxThumbnailSide + 1, 1), pixels)));
    EXPECT_EQ(Kind::None, inPng(MotorolaExif(RgbTags(5, 4), pixels)));

    // A JPEG thumbnail that runs past its block, or is not a JPEG.
    EXPECT_EQ(Kind::None, inPng(JpegExif(7)));
    EXPECT_EQ(Kind::None, inPng(MotorolaExif({{exif::kJpegOffset, exif::kTypeLong, {kData + 2}},
                                              {exif::kJpegLength, exif::kTypeLong, {4}}},
                                             kTinyJpeg)));
    // Offsets far outside, and a directory pointer outside.
    EXPECT_EQ(Kind::None, inPng(MotorolaExif({{exif::kJpegOffset, exif::kTypeLong, {0xFFFFFFF0}},
                                              {exif::kJpegLength, exif::kTypeLong, {0x20}}},
                                             kTinyJpeg)));
    Bytes broken = JpegExif(4);
    broken[10] = 0xFF;  // the second directory's offset
    EXPECT_EQ(Kind::None, inPng(broken));
    // No second directory at all.
    EXPECT_EQ(Kind::None, inPng({'M', 'M', 0, 42, 0, 0, 0, 8, 0, 0, 0, 0, 0, 0}));

    EXPECT_EQ(Kind::None, Find({}).kind);
    EXPECT_EQ(Kind::None, FindEmbeddedThumbnail(nullptr, 10).kind);
    EXPECT_EQ(Kind::None, Find({'G', 'I', 'F', '8', '9', 'a'}).kind);
}

}  // namespace
