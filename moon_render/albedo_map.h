#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The lunar albedo map as the data folder ships it (moon_albedo.gray), laid out so that a
// program maps the file into memory and renders from it with no decoding: a 20-byte header
// ("QWAM", width and height as little-endian 32-bit numbers, then the map's mean colour as
// three little-endian 16-bit factors of linear light, 32768 for 1, and two zero bytes),
// then one byte a pixel, rows from north to south, longitude 0 at the centre and east to the
// right, the grey's linear light encoded with a power of 1 / 2.2.
constexpr size_t kAlbedoHeaderSize = 20;

// The map file for an equirectangular RGB map (3 bytes a pixel, longitude 0 at the centre):
// each pixel's grey is the mean of its channels in linear light; the tint is each channel's
// share of the whole map's light relative to that mean.
std::vector<unsigned char> EncodeAlbedoMap(const unsigned char* rgb, int width, int height);

// A view of a map file's bytes, which must outlive it; nothing is copied.
class CAlbedoMap {
public:
    // False, leaving the view empty, unless the bytes hold a whole map.
    bool Attach(const void* bytes, size_t size);

    bool Empty() const { return pixels == nullptr; }
    int Width() const { return width; }
    int Height() const { return height; }
    const unsigned char* Row(int y) const { return pixels + static_cast<size_t>(y) * width; }
    // The map's mean colour, per channel (red, green, blue), as a factor of its grey.
    const double* Tint() const { return tint; }

private:
    const unsigned char* pixels = nullptr;
    int width = 0;
    int height = 0;
    double tint[3] = {1.0, 1.0, 1.0};
};
