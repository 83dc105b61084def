#include "image_io.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "deflate.h"

namespace {

// The layout of the picture being written, for the compressor that stb calls.
thread_local size_t pngPixelBytes = 4;
thread_local size_t pngRowBytes = 0;

unsigned char* CompressForPng(unsigned char* data, int size, int* outSize, int /*quality*/) {
    const std::vector<unsigned char> stream = ZlibCompress(data, static_cast<size_t>(size), pngPixelBytes, pngRowBytes);
    auto* out = static_cast<unsigned char*>(std::malloc(stream.size()));
    if (!out)
        return nullptr;
    std::memcpy(out, stream.data(), stream.size());
    *outSize = static_cast<int>(stream.size());
    return out;
}

}  // namespace

#define STBIW_ZLIB_COMPRESS CompressForPng
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_HDR
#define STBI_NO_LINEAR
#define STBI_NO_FAILURE_STRINGS
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include "stb_image.h"
#include "stb_image_write.h"

namespace {

void AppendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<unsigned char>*>(context);
    const auto* bytes = static_cast<const unsigned char*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

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

std::vector<unsigned char> EncodeJpeg(const Image& image, int quality) {
    std::vector<unsigned char> out;
    stbi_write_jpg_to_func(AppendBytes, &out, image.width, image.height, image.channels, image.pixels.data(), quality);
    return out;
}

// No row filter: empty rows then repeat the row above, which the compressor finds.
constexpr int kPngFilter = 0;

std::vector<unsigned char> EncodePng(const Image& image) {
    std::vector<unsigned char> out;
    pngPixelBytes = static_cast<size_t>(image.channels);
    pngRowBytes = static_cast<size_t>(image.width) * image.channels + 1;  // with the filter byte
    stbi_write_force_png_filter = kPngFilter;
    stbi_write_png_to_func(AppendBytes, &out, image.width, image.height, image.channels, image.pixels.data(),
                           image.width * image.channels);
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
    std::vector<unsigned char> chunk;
    const auto put32 = [&chunk](size_t value) {
        for (int shift = 24; shift >= 0; shift -= 8)
            chunk.push_back(static_cast<unsigned char>(value >> shift & 0xFF));
    };
    put32(body.size());
    chunk.insert(chunk.end(), type, type + 4);
    chunk.insert(chunk.end(), body.begin(), body.end());
    put32(stbiw__crc32(chunk.data() + 4, static_cast<int>(chunk.size() - 4)));  // over type and body
    std::vector<unsigned char> out(png.begin(), png.begin() + beforeEnd);
    out.insert(out.end(), chunk.begin(), chunk.end());
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
