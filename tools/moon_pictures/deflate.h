#pragma once

#include <cstddef>
#include <vector>

// A zlib stream (RFC 1950) of one dynamic-Huffman deflate block (RFC 1951). Matches are
// looked for one byte, one pixel (`pixelBytes`) and one row (`rowBytes`) back only, which
// suits filtered picture rows: long empty stretches and repeated colours compress to almost
// nothing, and the search costs a few comparisons a byte.
std::vector<unsigned char> ZlibCompress(const unsigned char* data, size_t size, size_t pixelBytes, size_t rowBytes);
