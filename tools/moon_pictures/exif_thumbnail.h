#pragma once

#include <vector>

#include "image_io.h"

// Thumbnails embedded in the picture files, so that the settings dialog's preview decodes a
// few kilobytes instead of a whole picture. They are the size of that preview.
constexpr int kThumbnailSize = 128;

// A size x size copy of `image`, each pixel the mean of the pixels it covers. An RGBA image
// is laid over black, so what is wholly transparent comes out pure black and stays
// transparent under the overlay's black colour key.
Image ShrinkForThumbnail(const Image& image, int size);

// `jpeg` (a JPEG file) carrying `thumbnail`, JPEG-compressed, in an Exif segment.
std::vector<unsigned char> WithJpegThumbnail(const std::vector<unsigned char>& jpeg, const Image& thumbnail,
                                             int quality);

// `png` (a PNG file) carrying `thumbnail` (RGB), uncompressed, in an eXIf chunk; exact
// pixels keep its pure black exactly black.
std::vector<unsigned char> WithRgbThumbnail(const std::vector<unsigned char>& png, const Image& thumbnail);
