#pragma once

#include <array>
#include <cmath>

// The pictures' transfer curve, a plain power of 2.2, and its tables: 8-bit values to
// linear light and back.
constexpr double kGamma = 2.2;

struct GammaTables {
    std::array<double, 256> decode{};
    std::array<float, 256> decodeFloat{};
    std::array<unsigned char, 4096> encode{};  // indexed by sqrt(linear) * 4095

    unsigned char Encode(double linear) const {
        if (linear <= 0.0)
            return 0;
        const float index = std::sqrt(static_cast<float>(linear)) * 4095.0f + 0.5f;
        return encode[index >= 4095.0f ? 4095 : static_cast<int>(index)];
    }
};

const GammaTables& Gamma();
