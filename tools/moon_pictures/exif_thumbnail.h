#pragma once

#include <vector>

#include "image_io.h"

// Thumbnails embedded in the picture files, so that the settings dialog's preview decodes a
// few kilobytes instead of a whole picture. They are the size of that preview.
constexpr int kThumbnailSize = 128;

// A size x size RGB copy of `image`, each pixel the mean of the pixels it covers. The
// overlay is drawn with pure black as its transparent colour, so a pixel of an RGBA image
// is either opaque or transparent: a pixel covered at least half is the mean colour of what
// covers it, one covered less is pure black. That is as close as a colour-keyed picture
// comes to the overlay laid over the picture and then shrunk.
Image ShrinkForThumbnail(const Image& image, int size);

// `jpeg` (a JPEG file) carrying `thumbnail`, JPEG-compressed, in an Exif segment.
std::vector<unsigned char> WithJpegThumbnail(const std::vector<unsigned char>& jpeg, const Image& thumbnail,
                                             int quality);

// `png` (a PNG file) carrying `thumbnail` (RGB), uncompressed, in an eXIf chunk; exact
// pixels keep its pure black exactly black. The chunk goes after the picture data: Wine's
// decoder reads the metadata before the picture data, and a 48 KiB block there made every
// full decode of the overlay about 90 ms slower.
std::vector<unsigned char> WithRgbThumbnail(const std::vector<unsigned char>& png, const Image& thumbnail);
