#include "image_io.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <unordered_map>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_HDR
#define STBI_NO_LINEAR
#define STBI_NO_FAILURE_STRINGS
#include "stb_image.h"

bool ReadFileBytes(const std::string& path, std::vector<unsigned char>& bytes) {
    bytes.clear();
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    unsigned char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    const bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

bool LoadImageFile(const std::string& path, int channels, Image& image) {
    std::vector<unsigned char> bytes;
    return ReadFileBytes(path, bytes) && DecodeImage(bytes.data(), bytes.size(), channels, image);
}

bool DecodeImage(const unsigned char* bytes, size_t size, int channels, Image& image) {
    if (size == 0 || size > INT_MAX)
        return false;
    int w = 0, h = 0, n = 0;
    unsigned char* data = stbi_load_from_memory(bytes, static_cast<int>(size), &w, &h, &n, channels);
    if (!data)
        return false;
    image = Image(w, h, channels);
    image.pixels.assign(data, data + image.pixels.size());
    stbi_image_free(data);
    return true;
}

namespace {

void Put32(std::vector<unsigned char>& out, size_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(value >> shift & 0xFF));
}

// A PNG chunk: length, type, body and the CRC of type and body.
void PutChunk(std::vector<unsigned char>& out, const char (&type)[5], const std::vector<unsigned char>& body) {
    Put32(out, body.size());
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    const uLong crc = crc32(0, &out[start], static_cast<uInt>(out.size() - start));
    Put32(out, crc);
}

uint32_t PixelKey(const unsigned char* p, int channels) {
    if (channels == 3)
        return 0xFF000000u | uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
    return p[3] == 0 ? 0 : uint32_t{p[3]} << 24 | uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
}

// The picture's colours as palette indices (each row led by its filter byte), with the
// palette and the opacity of its entries; false when it has more than 256 colours.
bool IndexRows(const Image& image, std::vector<unsigned char>& rows, std::vector<unsigned char>& palette,
               std::vector<unsigned char>& opacity) {
    std::unordered_map<uint32_t, unsigned char> index;
    for (size_t at = 0; at < image.pixels.size(); at += image.channels) {
        index.emplace(PixelKey(&image.pixels[at], image.channels), 0);
        if (index.size() > 256)
            return false;
    }
    // In the order of their keys, opacity first: the entries that are not opaque come
    // first, and the opacities stop at the last of them.
    std::vector<uint32_t> colours;
    for (const auto& entry : index)
        colours.push_back(entry.first);
    std::sort(colours.begin(), colours.end());
    for (size_t i = 0; i < colours.size(); ++i) {
        index[colours[i]] = static_cast<unsigned char>(i);
        for (int shift : {16, 8, 0})
            palette.push_back(static_cast<unsigned char>(colours[i] >> shift));
        if (colours[i] >> 24 != 0xFF)
            opacity.push_back(static_cast<unsigned char>(colours[i] >> 24));
    }
    for (int y = 0; y < image.height; ++y) {
        rows.push_back(0);
        for (int x = 0; x < image.width; ++x)
            rows.push_back(index[PixelKey(image.At(x, y), image.channels)]);
    }
    return true;
}

}  // namespace

std::vector<unsigned char> EncodePng(const Image& image, PngColours colours) {
    if (image.channels != 3 && image.channels != 4)
        return {};
    std::vector<unsigned char> rows, palette, opacity;
    const bool indexed = colours == PngColours::Indexed && IndexRows(image, rows, palette, opacity);
    if (!indexed) {
        // No row filter: the rows of the pictures we write are mostly empty or repeat
        // themselves, which deflate finds as they are.
        const size_t rowBytes = static_cast<size_t>(image.width) * image.channels;
        for (int y = 0; y < image.height; ++y) {
            rows.push_back(0);
            rows.insert(rows.end(), image.At(0, y), image.At(0, y) + rowBytes);
        }
    }
    if (rows.size() > ULONG_MAX / 2)
        return {};
    uLongf size = compressBound(static_cast<uLong>(rows.size()));
    std::vector<unsigned char> deflated(size);
    if (compress2(deflated.data(), &size, rows.data(), static_cast<uLong>(rows.size()), Z_BEST_COMPRESSION) != Z_OK)
        return {};
    deflated.resize(size);

    std::vector<unsigned char> header;
    Put32(header, static_cast<size_t>(image.width));
    Put32(header, static_cast<size_t>(image.height));
    const unsigned char colourType = indexed ? 3 : image.channels == 4 ? 6 : 2;
    header.insert(header.end(), {8, colourType, 0, 0, 0});  // 8 bits, deflate, no filter choice, no interlace
    std::vector<unsigned char> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(out, "IHDR", header);
    if (indexed) {
        PutChunk(out, "PLTE", palette);
        if (!opacity.empty())
            PutChunk(out, "tRNS", opacity);
    }
    PutChunk(out, "IDAT", deflated);
    PutChunk(out, "IEND", {});
    return out;
}

std::vector<unsigned char> WithJpegSegment(const std::vector<unsigned char>& jpeg, unsigned char marker,
                                           const std::vector<unsigned char>& body) {
    const size_t length = body.size() + 2;  // the length counts itself
    if (jpeg.size() < 2 || length > 0xFFFF)
        return jpeg;
    std::vector<unsigned char> out(jpeg.begin(), jpeg.begin() + 2);
    const unsigned char header[4] = {0xFF, marker, static_cast<unsigned char>(length >> 8),
                                     static_cast<unsigned char>(length & 0xFF)};
    out.insert(out.end(), header, header + 4);
    out.insert(out.end(), body.begin(), body.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

std::vector<unsigned char> WithPngChunk(const std::vector<unsigned char>& png, const char (&type)[5],
                                        const std::vector<unsigned char>& body) {
    constexpr size_t kHeaderAndEnd = 8 + 12 + 13 + 12;  // signature, IHDR chunk, empty IEND chunk
    if (png.size() < kHeaderAndEnd)
        return png;
    const size_t beforeEnd = png.size() - 12;
    std::vector<unsigned char> out(png.begin(), png.begin() + beforeEnd);
    PutChunk(out, type, body);
    out.insert(out.end(), png.begin() + beforeEnd, png.end());
    return out;
}

bool WriteFileIfChanged(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::vector<unsigned char> existing;
    if (ReadFileBytes(path, existing) && existing == bytes)
        return true;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
