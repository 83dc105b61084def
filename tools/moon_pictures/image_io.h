#pragma once

#include <string>
#include <vector>

// An 8-bit picture, rows top to bottom, `channels` bytes a pixel (3 RGB, 4 RGBA).
struct Image {
    int width = 0;
    int height = 0;
    int channels = 0;
    std::vector<unsigned char> pixels;

    Image() = default;
    Image(int w, int h, int c) : width(w), height(h), channels(c), pixels(static_cast<size_t>(w) * h * c, 0) {}
    unsigned char* At(int x, int y) { return &pixels[(static_cast<size_t>(y) * width + x) * channels]; }
    const unsigned char* At(int x, int y) const { return &pixels[(static_cast<size_t>(y) * width + x) * channels]; }
};

bool ReadFileBytes(const std::string& path, std::vector<unsigned char>& bytes);

// Decodes a picture file into `channels` channels; false when it cannot be read.
bool LoadImageFile(const std::string& path, int channels, Image& image);
bool DecodeImage(const unsigned char* bytes, size_t size, int channels, Image& image);

// A JPEG file of `image` (RGB) at `quality` (1 to 100), with optimised Huffman
// tables and 4:2:0 chroma, progressive unless asked for baseline (jpeg_encoder.cpp,
// libjpeg-turbo). Windows builds, which have no libjpeg, always write baseline ones with
// stb's tables (jpeg_encoder_stb.cpp).
std::vector<unsigned char> EncodeJpeg(const Image& image, int quality, bool progressive = true);

enum class PngColours {
    Direct,   // RGB or RGBA samples, as the picture has them
    Indexed,  // a palette of at most 256 colours, each with its opacity
};

// A PNG file of `image` (3 or 4 channels), deflated by zlib at its best level. Indexed is
// taken only when the picture has at most 256 colours, counting every fully transparent
// pixel as transparent black (ReduceColours in palette.h makes such a picture); with more
// it stays Direct.
std::vector<unsigned char> EncodePng(const Image& image, PngColours colours = PngColours::Direct);

// `jpeg` (a JPEG file) with the segment `marker` holding `body` put right after its
// start-of-image marker. Unchanged when the body does not fit in a segment.
std::vector<unsigned char> WithJpegSegment(const std::vector<unsigned char>& jpeg, unsigned char marker,
                                           const std::vector<unsigned char>& body);

// `png` (a PNG file) with the chunk `type` holding `body` put right before its end chunk.
std::vector<unsigned char> WithPngChunk(const std::vector<unsigned char>& png, const char (&type)[5],
                                        const std::vector<unsigned char>& body);

// Writes the file unless it already holds exactly these bytes, so that an unchanged
// output keeps its time stamp. False when the file cannot be written.
bool WriteFileIfChanged(const std::string& path, const std::vector<unsigned char>& bytes);
