#include <gtest/gtest.h>

#include <cstdint>
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
    const auto width = [](const Tag& t) { return t.type == exif::kTypeShort ? 2 : 4; };
    const auto spills = [&](const Tag& t) { return t.values.size() * width(t) > 4; };
    uint32_t spill = 8 + 2 + 4 + 2 + 12 * static_cast<uint32_t>(tags.size()) + 4, dataStart = spill;
    for (const Tag& t : tags)
        dataStart += spills(t) ? static_cast<uint32_t>(t.values.size() * width(t)) : 0;

    Bytes out = {'M', 'M', 0, 42, 0, 0, 0, 8, 0, 0};  // header, then a first directory without entries
    PutBig(out, 8 + 2 + 4, 4);
    PutBig(out, static_cast<uint32_t>(tags.size()), 2);
    Bytes spilled;
    for (const Tag& t : tags) {
        PutBig(out, t.tag, 2);
        PutBig(out, t.type, 2);
        PutBig(out, static_cast<uint32_t>(t.values.size()), 4);
        Bytes values;
        for (uint32_t v : t.values)
            PutBig(values, v >= kData ? dataStart + (v - kData) : v, width(t));
        if (spills(t)) {
            PutBig(out, spill, 4);
            spill += static_cast<uint32_t>(values.size());
            spilled.insert(spilled.end(), values.begin(), values.end());
        } else {
            values.resize(4, 0);
            out.insert(out.end(), values.begin(), values.end());
        }
    }
    PutBig(out, 0, 4);
    out.insert(out.end(), spilled.begin(), spilled.end());
    out.insert(out.end(), data.begin(), data.end());
    return out;
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

// The kind of thumbnail found in a PNG file whose eXIf chunk holds `tiff`.
Kind InPng(const Bytes& tiff) {
    Bytes file = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    for (const auto& [type, body] : {std::make_pair("IHDR", Bytes(13, 0)), std::make_pair("eXIf", tiff)}) {
        PutBig(file, static_cast<uint32_t>(body.size()), 4);
        file.insert(file.end(), type, type + 4);
        file.insert(file.end(), body.begin(), body.end());
        PutBig(file, 0, 4);  // the reader does not check CRCs
    }
    return FindEmbeddedThumbnail(file.data(), file.size()).kind;
}

// Files that the picture-set writer makes are read back under Wine (preview_test.cpp); here,
// well-formed files with thumbnails that the preview cannot show. Offsets and lengths that
// run outside the file are the fuzzer's (tests/fuzz), whose sanitizers see any read past it.
TEST(EmbeddedThumbnail, RefusesMalformedOrUnsupportedThumbnails) {
    const Bytes pixels(4 * 4 * 3, 7);
    ASSERT_EQ(Kind::Rgb, InPng(MotorolaExif(RgbTags(4, 4), pixels)));
    const struct {
        const char* what;
        size_t tag;
        std::vector<uint32_t> values;
    } changes[] = {
        {"strip shorter than the pixels", 7, {4 * 4 * 3 - 1}},
        {"16 bits a sample", 2, {16, 16, 16}},
        {"RGBA", 6, {4}},
        {"two strips", 5, {kData, kData + 24}},
    };
    for (const auto& change : changes) {
        std::vector<Tag> tags = RgbTags(4, 4);
        tags[change.tag].values = change.values;
        EXPECT_EQ(Kind::None, InPng(MotorolaExif(tags, pixels))) << change.what;
    }
    // No pixels, too large to be a thumbnail, and claiming more pixels than the block holds.
    for (const auto& [width, height] : {std::make_pair(0u, 4u), std::make_pair(exif::kMaxThumbnailSide + 1, 1u),
                                        std::make_pair(5u, 4u)})
        EXPECT_EQ(Kind::None, InPng(MotorolaExif(RgbTags(width, height), pixels))) << width << " x " << height;
    const Bytes gif = {'G', 'I', 'F', '8', '9', 'a'};
    EXPECT_EQ(Kind::None, FindEmbeddedThumbnail(gif.data(), 0).kind);
    EXPECT_EQ(Kind::None, FindEmbeddedThumbnail(nullptr, 10).kind);
    EXPECT_EQ(Kind::None, FindEmbeddedThumbnail(gif.data(), gif.size()).kind);
}

}  // namespace
