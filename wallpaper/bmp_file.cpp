#include "wallpaper/bmp_file.h"

#include <cstdint>

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;

void Put16(unsigned char* at, uint16_t value) {
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
}

void Put32(unsigned char* at, uint32_t value) {
    Put16(at, static_cast<uint16_t>(value));
    Put16(at + 2, static_cast<uint16_t>(value >> 16));
}

}  // namespace

CBmpFile::CBmpFile(int w, int h) : width(w), height(h), rowBytes((static_cast<std::ptrdiff_t>(w) * 3 + 3) / 4 * 4) {
    const size_t pixelBytes = static_cast<size_t>(rowBytes) * h;
    bytes.assign(kFileHeaderSize + kInfoHeaderSize + pixelBytes, 0);
    unsigned char* file = bytes.data();
    file[0] = 'B';
    file[1] = 'M';
    Put32(file + 2, static_cast<uint32_t>(bytes.size()));
    Put32(file + 10, kFileHeaderSize + kInfoHeaderSize);  // where the pixels start
    unsigned char* info = file + kFileHeaderSize;
    Put32(info, kInfoHeaderSize);
    Put32(info + 4, static_cast<uint32_t>(w));
    Put32(info + 8, static_cast<uint32_t>(h));  // positive: bottom-up
    Put16(info + 12, 1);                        // planes
    Put16(info + 14, 24);                       // bits a pixel; BI_RGB (0), no palette
    Put32(info + 20, static_cast<uint32_t>(pixelBytes));
    Put32(info + 24, 2835);  // 72 dots an inch, in dots a metre
    Put32(info + 28, 2835);
}
