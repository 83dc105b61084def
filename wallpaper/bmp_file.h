#pragma once

#include <cstddef>
#include <vector>

// A 24-bit BMP file held in memory, ready to be written as it stands: the file and
// information headers, then the pixels, blue-green-red, rows bottom-up as the format keeps
// them, each padded to four bytes. Black until drawn into.
class CBmpFile {
public:
    // Throws std::bad_alloc when there is no room for the file.
    CBmpFile(int width, int height);

    int Width() const { return width; }
    int Height() const { return height; }
    // The top row's first pixel and the step from one row to the one below it (negative, as
    // the rows are stored bottom-up), for drawing top to bottom.
    unsigned char* TopRow() { return bytes.data() + bytes.size() - rowBytes; }
    std::ptrdiff_t DownStride() const { return -rowBytes; }

    const std::vector<unsigned char>& Bytes() const { return bytes; }

private:
    int width, height;
    std::ptrdiff_t rowBytes;
    std::vector<unsigned char> bytes;
};
