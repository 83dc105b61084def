#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Readers for the fields of icon, cursor and bitmap files that the tests check.

inline unsigned Read16(const std::vector<unsigned char>& b, size_t at) {
    return at + 2 <= b.size() ? b[at] | b[at + 1] << 8 : 0u;
}

inline uint32_t Read32(const std::vector<unsigned char>& b, size_t at) {
    return Read16(b, at) | static_cast<uint32_t>(Read16(b, at + 2)) << 16;
}

struct DirectoryEntry {
    int width, height, colourCount;
    unsigned planesOrHotX, bitsOrHotY;
    uint32_t size, offset;
};

// The directory of an icon (type 1) or cursor (type 2) file.
inline std::vector<DirectoryEntry> ReadDirectory(const std::vector<unsigned char>& file, unsigned& type) {
    std::vector<DirectoryEntry> entries;
    type = Read16(file, 2);
    const unsigned count = Read16(file, 4);
    for (unsigned i = 0; i < count && 6 + 16 * (i + 1) <= file.size(); ++i) {
        const size_t at = 6 + 16 * i;
        entries.push_back({file[at] ? file[at] : 256, file[at + 1] ? file[at + 1] : 256, file[at + 2],
                           Read16(file, at + 4), Read16(file, at + 6), Read32(file, at + 8), Read32(file, at + 12)});
    }
    return entries;
}

struct BitmapInfo {
    int width = 0, height = 0, bitsPerPixel = 0;
    uint32_t pixelOffset = 0;
};

inline BitmapInfo ReadBitmapFile(const std::vector<unsigned char>& file) {
    BitmapInfo info;
    if (file.size() < 54 || file[0] != 'B' || file[1] != 'M')
        return info;
    info.pixelOffset = Read32(file, 10);
    info.width = static_cast<int>(Read32(file, 18));
    info.height = static_cast<int>(Read32(file, 22));
    info.bitsPerPixel = static_cast<int>(Read16(file, 28));
    return info;
}

// RGB of a pixel of an 8- or 24-bit bottom-up bitmap file, y counted from the top.
inline std::vector<int> BitmapPixel(const std::vector<unsigned char>& file, const BitmapInfo& info, int x, int y) {
    const size_t stride = ((info.width * info.bitsPerPixel + 31) / 32) * 4;
    const size_t row = info.pixelOffset + (info.height - 1 - y) * stride;
    if (info.bitsPerPixel == 24)
        return {file[row + x * 3 + 2], file[row + x * 3 + 1], file[row + x * 3]};
    const size_t entry = 54 + 4 * file[row + x];
    return {file[entry + 2], file[entry + 1], file[entry]};
}
