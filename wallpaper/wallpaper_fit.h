#pragma once

#include <cstdint>
#include <string>

// Where a picture lands on a canvas: scaled by the smaller of the two axis ratios so that
// it keeps its proportions and touches two opposite edges, then centred.
struct FitRect {
    uint32_t x = 0;
    uint32_t y = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    double scale = 0.0;
};

// The fitted rectangle of a sw x sh picture on a W x H canvas. Enlarges small pictures
// too. The drawn size is truncated toward zero and the offsets rounded down. A picture
// with no pixels gives an empty rectangle.
FitRect ComputeFit(uint32_t canvasWidth, uint32_t canvasHeight, uint32_t pictureWidth, uint32_t pictureHeight);

// Whether an encoder's ";"-separated list of wildcard patterns (for example
// "*.BMP;*.DIB;*.RLE") holds "*" followed by `extension` (dot included), ignoring the case
// of ASCII letters. Only the list's first 259 characters count, as the platform's records
// are copied into a 260-character buffer.
bool ExtensionListMatches(const std::wstring& patternList, const std::wstring& extension);
