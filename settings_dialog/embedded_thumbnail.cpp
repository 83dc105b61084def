#include "settings_dialog/embedded_thumbnail.h"

#include <cstring>

namespace {

uint16_t BigEndian16(const unsigned char* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }

uint32_t BigEndian32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 | p[3];
}

constexpr unsigned char kExifHeader[6] = {'E', 'x', 'i', 'f', 0, 0};

bool StartsWithExifHeader(const unsigned char* p, size_t available) {
    return available >= sizeof kExifHeader && std::memcmp(p, kExifHeader, sizeof kExifHeader) == 0;
}

// A TIFF block (the body of an Exif block) in either byte order. Every read checks its
// bounds and reports failure instead of reading outside the block, and adds one to `reads`.
class TiffBlock {
public:
    TiffBlock(const unsigned char* bytes, size_t length, size_t& readCount)
        : data(bytes), size(length), reads(readCount) {}

    // The offset of the first directory; false when the header is not TIFF.
    bool ReadHeader(uint32_t& firstDirectory) {
        if (size < 8)
            return false;
        if (data[0] == 'I' && data[1] == 'I')
            littleEndian = true;
        else if (data[0] == 'M' && data[1] == 'M')
            littleEndian = false;
        else
            return false;
        uint16_t magic = 0;
        return Read16(2, magic) && magic == 42 && Read32(4, firstDirectory);
    }

    bool Read16(size_t at, uint16_t& value) const {
        ++reads;
        if (at > size || size - at < 2)
            return false;
        const unsigned char* p = data + at;
        value = littleEndian ? static_cast<uint16_t>(p[1] << 8 | p[0]) : BigEndian16(p);
        return true;
    }

    bool Read32(size_t at, uint32_t& value) const {
        ++reads;
        if (at > size || size - at < 4)
            return false;
        const unsigned char* p = data + at;
        value = littleEndian ? static_cast<uint32_t>(p[3]) << 24 | static_cast<uint32_t>(p[2]) << 16 |
                                   static_cast<uint32_t>(p[1]) << 8 | p[0]
                             : BigEndian32(p);
        return true;
    }

    // Value `index` of the SHORT or LONG directory entry at `entry`; false for other types,
    // an index past the entry's count, or values outside the block.
    bool ReadValue(size_t entry, uint32_t index, uint32_t& value) const {
        uint16_t type = 0;
        uint32_t count = 0;
        if (!Read16(entry + 2, type) || !Read32(entry + 4, count) || index >= count)
            return false;
        if (type != exif::kTypeShort && type != exif::kTypeLong)
            return false;
        const size_t width = type == exif::kTypeShort ? 2 : 4;
        if (count > size / width)
            return false;
        size_t base = entry + 8;  // values of up to four bytes are kept in the entry itself
        if (count * width > 4) {
            uint32_t offset = 0;
            if (!Read32(entry + 8, offset))
                return false;
            if (offset > size)
                return false;
            base = offset;
        }
        const size_t at = base + index * width;
        if (width == 2) {
            uint16_t shortValue = 0;
            if (!Read16(at, shortValue))
                return false;
            value = shortValue;
            return true;
        }
        return Read32(at, value);
    }

    // True when [offset, offset + length) lies inside the block.
    bool Holds(uint32_t offset, size_t length) const { return offset <= size && length <= size - offset; }

private:
    const unsigned char* data;
    size_t size;
    size_t& reads;
    bool littleEndian = true;
};

// What the second directory (IFD1, the thumbnail's) says about the thumbnail.
struct ThumbnailTags {
    uint32_t compression = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    bool eightBitSamples = true;
    uint32_t photometric = 0;
    uint32_t samplesPerPixel = 1;
    uint32_t planarConfiguration = 1;
    uint32_t stripCount = 0;
    uint32_t stripOffset = 0;
    uint32_t stripByteCount = 0;
    uint32_t jpegOffset = 0;
    uint32_t jpegLength = 0;
};

bool ReadThumbnailTags(const TiffBlock& tiff, uint32_t directory, ThumbnailTags& tags) {
    uint16_t entries = 0;
    if (!tiff.Read16(directory, entries))
        return false;
    for (uint32_t i = 0; i < entries; ++i) {
        const size_t entry = directory + 2 + static_cast<size_t>(i) * 12;
        uint16_t tag = 0;
        uint32_t count = 0;
        if (!tiff.Read16(entry, tag) || !tiff.Read32(entry + 4, count))
            return false;
        uint32_t value = 0;
        const bool read = tiff.ReadValue(entry, 0, value);
        switch (tag) {
            case exif::kCompression: tags.compression = read ? value : 0; break;
            case exif::kImageWidth: tags.width = read ? value : 0; break;
            case exif::kImageLength: tags.height = read ? value : 0; break;
            case exif::kPhotometric: tags.photometric = read ? value : 0; break;
            case exif::kSamplesPerPixel: tags.samplesPerPixel = read ? value : 0; break;
            case exif::kPlanarConfiguration: tags.planarConfiguration = read ? value : 0; break;
            case exif::kJpegOffset: tags.jpegOffset = read ? value : 0; break;
            case exif::kJpegLength: tags.jpegLength = read ? value : 0; break;
            case exif::kStripOffsets:
                tags.stripCount = read ? count : 0;
                tags.stripOffset = value;
                break;
            case exif::kStripByteCounts: tags.stripByteCount = read ? value : 0; break;
            case exif::kBitsPerSample:
                // An RGB thumbnail has three samples a pixel, so more values cannot describe one;
                // reading them all would let the count, not the block's size, set the work.
                tags.eightBitSamples = tags.eightBitSamples && count <= 3;
                for (uint32_t sample = 0; sample < count && tags.eightBitSamples; ++sample) {
                    uint32_t bits = 0;
                    tags.eightBitSamples = tiff.ReadValue(entry, sample, bits) && bits == 8;
                }
                break;
            default: break;
        }
    }
    return true;
}

// The thumbnail of the TIFF block `data[start, end)`, with its offset counted from `data`.
EmbeddedThumbnail FromTiff(const unsigned char* data, size_t start, size_t end, size_t& reads) {
    TiffBlock header(data + start, end - start, reads);
    uint32_t firstDirectory = 0;
    uint16_t firstEntries = 0;
    uint32_t secondDirectory = 0;
    ThumbnailTags tags;
    if (!header.ReadHeader(firstDirectory) || !header.Read16(firstDirectory, firstEntries) ||
        !header.Read32(firstDirectory + 2 + static_cast<size_t>(firstEntries) * 12, secondDirectory) ||
        secondDirectory == 0 || !ReadThumbnailTags(header, secondDirectory, tags))
        return {};

    EmbeddedThumbnail found;
    if (tags.compression == exif::kUncompressed) {
        if (tags.photometric != exif::kPhotometricRgb || tags.samplesPerPixel != 3 || !tags.eightBitSamples ||
            tags.planarConfiguration != 1 || tags.stripCount != 1 || tags.width == 0 || tags.height == 0 ||
            tags.width > exif::kMaxThumbnailSide || tags.height > exif::kMaxThumbnailSide)
            return {};
        const size_t length = static_cast<size_t>(tags.width) * tags.height * 3;
        if (tags.stripByteCount < length || !header.Holds(tags.stripOffset, length))
            return {};
        found.kind = EmbeddedThumbnail::Kind::Rgb;
        found.offset = start + tags.stripOffset;
        found.length = length;
        found.width = tags.width;
        found.height = tags.height;
        return found;
    }
    // A JPEG thumbnail must at least begin with its start-of-image marker.
    if (tags.jpegLength < 4 || !header.Holds(tags.jpegOffset, tags.jpegLength))
        return {};
    const unsigned char* jpeg = data + start + tags.jpegOffset;
    if (jpeg[0] != 0xFF || jpeg[1] != 0xD8)
        return {};
    found.kind = EmbeddedThumbnail::Kind::Jpeg;
    found.offset = start + tags.jpegOffset;
    found.length = tags.jpegLength;
    return found;
}

EmbeddedThumbnail FromJpeg(const unsigned char* data, size_t size, size_t& reads) {
    size_t at = 2;  // after the start-of-image marker
    while (at + 4 <= size) {
        if (data[at] != 0xFF)
            return {};
        const unsigned char marker = data[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {  // markers without a length
            at += 2;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9)  // the picture data, or its end: no Exif block
            return {};
        const size_t length = BigEndian16(data + at + 2);
        if (length < 2 || length > size - at - 2)
            return {};
        const size_t body = at + 4;
        const size_t end = at + 2 + length;
        if (marker == 0xE1 && StartsWithExifHeader(data + body, end - body)) {
            const EmbeddedThumbnail found = FromTiff(data, body + sizeof kExifHeader, end, reads);
            if (found.kind != EmbeddedThumbnail::Kind::None)
                return found;
        }
        at = end;
    }
    return {};
}

EmbeddedThumbnail FromPng(const unsigned char* data, size_t size, size_t& reads) {
    size_t at = 8;  // after the signature
    while (at + 12 <= size) {
        const size_t length = BigEndian32(data + at);
        if (length > size - at - 12)
            return {};
        const unsigned char* type = data + at + 4;
        // The chunk may come before or after the picture data, but not after the end.
        if (std::memcmp(type, "IEND", 4) == 0)
            return {};
        if (std::memcmp(type, "eXIf", 4) == 0) {
            size_t body = at + 8;
            const size_t end = body + length;
            // Some writers keep the JPEG segment's "Exif" header in the chunk as well.
            if (StartsWithExifHeader(data + body, length))
                body += sizeof kExifHeader;
            return FromTiff(data, body, end, reads);
        }
        at += 12 + length;
    }
    return {};
}

}  // namespace

EmbeddedThumbnail FindEmbeddedThumbnail(const unsigned char* data, size_t size) {
    static constexpr unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    size_t reads = 0;
    EmbeddedThumbnail found;
    if (data && size >= 2 && data[0] == 0xFF && data[1] == 0xD8)
        found = FromJpeg(data, size, reads);
    else if (data && size >= sizeof kPngSignature && std::memcmp(data, kPngSignature, sizeof kPngSignature) == 0)
        found = FromPng(data, size, reads);
    found.reads = reads;
    return found;
}
