#pragma once

#include <cstdint>

// The Exif (TIFF) tags, types and values that describe a thumbnail, shared by the reader
// (settings_dialog/embedded_thumbnail.h) and the picture set's writer of thumbnails.
namespace exif {
constexpr uint16_t kImageWidth = 0x0100;
constexpr uint16_t kImageLength = 0x0101;
constexpr uint16_t kBitsPerSample = 0x0102;
constexpr uint16_t kCompression = 0x0103;
constexpr uint16_t kPhotometric = 0x0106;
constexpr uint16_t kStripOffsets = 0x0111;
constexpr uint16_t kOrientation = 0x0112;
constexpr uint16_t kSamplesPerPixel = 0x0115;
constexpr uint16_t kRowsPerStrip = 0x0116;
constexpr uint16_t kStripByteCounts = 0x0117;
constexpr uint16_t kPlanarConfiguration = 0x011C;
constexpr uint16_t kJpegOffset = 0x0201;  // JPEGInterchangeFormat
constexpr uint16_t kJpegLength = 0x0202;  // JPEGInterchangeFormatLength

constexpr uint16_t kTypeShort = 3;
constexpr uint16_t kTypeLong = 4;

constexpr uint16_t kUncompressed = 1;
constexpr uint16_t kJpegCompression = 6;
constexpr uint16_t kPhotometricRgb = 2;
}  // namespace exif
