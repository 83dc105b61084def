#include "moon_render/albedo_map.h"

#include <cmath>
#include <cstring>

#include "moon_render/gamma.h"

namespace {

const char kMagic[4] = {'Q', 'W', 'A', 'M'};
constexpr int kMaxSide = 1 << 16;

void PutLittle(unsigned char* at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        at[i] = static_cast<unsigned char>(value >> (8 * i));
}

uint32_t GetLittle(const unsigned char* at, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | at[i];
    return value;
}

}  // namespace

std::vector<unsigned char> EncodeAlbedoMap(const unsigned char* rgb, int width, int height) {
    if (!rgb || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return {};
    const GammaTables& gamma = Gamma();
    const size_t count = static_cast<size_t>(width) * height;
    std::vector<unsigned char> file(kAlbedoHeaderSize + count, 0);
    double sums[3] = {0.0, 0.0, 0.0};
    for (size_t at = 0; at < count; ++at) {
        const unsigned char* p = rgb + at * 3;
        double grey = 0.0;
        for (int c = 0; c < 3; ++c) {
            sums[c] += gamma.decode[p[c]];
            grey += gamma.decode[p[c]] / 3.0;
        }
        file[kAlbedoHeaderSize + at] = static_cast<unsigned char>(std::lround(std::pow(grey, 1.0 / kGamma) * 255.0));
    }
    std::memcpy(file.data(), kMagic, 4);
    PutLittle(&file[4], static_cast<uint32_t>(width), 4);
    PutLittle(&file[8], static_cast<uint32_t>(height), 4);
    const double mean = (sums[0] + sums[1] + sums[2]) / 3.0;
    for (int c = 0; c < 3; ++c)
        PutLittle(&file[12 + 2 * c],
                  static_cast<uint32_t>(std::lround(mean > 0.0 ? sums[c] / mean * 32768.0 : 32768.0)), 2);
    return file;
}

bool CAlbedoMap::Attach(const void* bytes, size_t size) {
    *this = CAlbedoMap();
    const auto* file = static_cast<const unsigned char*>(bytes);
    if (!file || size < kAlbedoHeaderSize || std::memcmp(file, kMagic, 4) != 0)
        return false;
    const uint32_t w = GetLittle(file + 4, 4), h = GetLittle(file + 8, 4);
    if (w == 0 || h == 0 || w > kMaxSide || h > kMaxSide || size - kAlbedoHeaderSize < static_cast<uint64_t>(w) * h)
        return false;
    pixels = file + kAlbedoHeaderSize;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    for (int c = 0; c < 3; ++c)
        tint[c] = GetLittle(file + 12 + 2 * c, 2) / 32768.0;
    return true;
}
