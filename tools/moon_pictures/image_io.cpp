#include "image_io.h"

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
    if (!ReadFileBytes(path, bytes) || bytes.empty())
        return false;
    int w = 0, h = 0, n = 0;
    unsigned char* data = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &w, &h, &n, channels);
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
