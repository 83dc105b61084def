#include "exif_thumbnail.h"

#include <algorithm>
#include <cstdint>

#include "catalog/exif_layout.h"

namespace {

// One directory entry: `value` is the value itself, or with `inTail` the offset of the
// values (or of the data it points to) in the bytes that follow the directories.
struct Field {
    uint16_t tag;
    uint16_t type;
    uint32_t count;
    uint32_t value;
    bool inTail = false;
};

void Put16(std::vector<unsigned char>& out, uint32_t value) {
    out.push_back(static_cast<unsigned char>(value & 0xFF));
    out.push_back(static_cast<unsigned char>(value >> 8 & 0xFF));
}

void Put32(std::vector<unsigned char>& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void PutField(std::vector<unsigned char>& out, const Field& field, uint32_t tailStart) {
    Put16(out, field.tag);
    Put16(out, field.type);
    Put32(out, field.count);
    Put32(out, field.inTail ? tailStart + field.value : field.value);
}

// A little-endian Exif block: the first directory only says the picture is upright, the
// second describes the thumbnail, whose values and bytes (`tail`) follow.
std::vector<unsigned char> ExifBlock(const std::vector<Field>& thumbnailFields, const std::vector<unsigned char>& tail) {
    std::vector<unsigned char> out = {'I', 'I'};
    Put16(out, 42);
    Put32(out, 8);  // the first directory
    const uint32_t second = 8 + 2 + 12 + 4;
    const auto tailStart = static_cast<uint32_t>(second + 2 + 12 * thumbnailFields.size() + 4);
    Put16(out, 1);
    PutField(out, {exif::kOrientation, exif::kTypeShort, 1, 1}, tailStart);
    Put32(out, second);
    Put16(out, static_cast<uint32_t>(thumbnailFields.size()));
    for (const Field& field : thumbnailFields)
        PutField(out, field, tailStart);
    Put32(out, 0);  // no further directory
    out.insert(out.end(), tail.begin(), tail.end());
    return out;
}

}  // namespace

Image ShrinkForThumbnail(const Image& image, int size) {
    Image out(size, size, 3);
    for (int y = 0; y < size; ++y) {
        const int y0 = y * image.height / size, y1 = std::max(y0 + 1, (y + 1) * image.height / size);
        for (int x = 0; x < size; ++x) {
            const int x0 = x * image.width / size, x1 = std::max(x0 + 1, (x + 1) * image.width / size);
            uint64_t sum[3] = {0, 0, 0};
            uint64_t coverage = 0;
            for (int sy = y0; sy < y1; ++sy)
                for (int sx = x0; sx < x1; ++sx) {
                    const unsigned char* p = image.At(sx, sy);
                    const uint32_t alpha = image.channels == 4 ? p[3] : 255;
                    coverage += alpha;
                    for (int c = 0; c < 3; ++c)
                        sum[c] += static_cast<uint64_t>(p[c]) * alpha;
                }
            // A pixel covered less than half stays black (transparent under the key).
            const uint64_t area = static_cast<uint64_t>(x1 - x0) * (y1 - y0) * 255;
            if (coverage == 0 || 2 * coverage < area)
                continue;
            for (int c = 0; c < 3; ++c)
                out.At(x, y)[c] = static_cast<unsigned char>((sum[c] + coverage / 2) / coverage);
        }
    }
    return out;
}

std::vector<unsigned char> WithJpegThumbnail(const std::vector<unsigned char>& jpeg, const Image& thumbnail,
                                             int quality) {
    // Baseline, as cameras write thumbnails: at this size progressive scans only add their
    // headers (some 150 bytes).
    const std::vector<unsigned char> compressed = EncodeJpeg(thumbnail, quality, false);
    const std::vector<Field> fields = {
        {exif::kCompression, exif::kTypeShort, 1, exif::kJpegCompression},
        {exif::kJpegOffset, exif::kTypeLong, 1, 0, true},
        {exif::kJpegLength, exif::kTypeLong, 1, static_cast<uint32_t>(compressed.size())},
    };
    std::vector<unsigned char> body = {'E', 'x', 'i', 'f', 0, 0};
    const std::vector<unsigned char> block = ExifBlock(fields, compressed);
    body.insert(body.end(), block.begin(), block.end());
    return WithJpegSegment(jpeg, 0xE1, body);  // APP1
}

std::vector<unsigned char> WithRgbThumbnail(const std::vector<unsigned char>& png, const Image& thumbnail) {
    const auto width = static_cast<uint32_t>(thumbnail.width);
    const auto height = static_cast<uint32_t>(thumbnail.height);
    const std::vector<Field> fields = {
        {exif::kImageWidth, exif::kTypeLong, 1, width},
        {exif::kImageLength, exif::kTypeLong, 1, height},
        {exif::kBitsPerSample, exif::kTypeShort, 3, 0, true},
        {exif::kCompression, exif::kTypeShort, 1, exif::kUncompressed},
        {exif::kPhotometric, exif::kTypeShort, 1, exif::kPhotometricRgb},
        {exif::kStripOffsets, exif::kTypeLong, 1, 6, true},
        {exif::kSamplesPerPixel, exif::kTypeShort, 1, 3},
        {exif::kRowsPerStrip, exif::kTypeLong, 1, height},
        {exif::kStripByteCounts, exif::kTypeLong, 1, width * height * 3},
        {exif::kPlanarConfiguration, exif::kTypeShort, 1, 1},
    };
    std::vector<unsigned char> data = {8, 0, 8, 0, 8, 0};  // bits per sample
    data.insert(data.end(), thumbnail.pixels.begin(), thumbnail.pixels.end());
    return WithPngChunk(png, "eXIf", ExifBlock(fields, data));
}
