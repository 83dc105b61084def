#include "moon_render/gamma.h"

const GammaTables& Gamma() {
    static const GammaTables tables = [] {
        GammaTables t;
        for (int i = 0; i < 256; ++i) {
            t.decode[i] = std::pow(i / 255.0, kGamma);
            t.decodeFloat[i] = static_cast<float>(t.decode[i]);
        }
        for (int i = 0; i < 4096; ++i) {
            const double v = std::pow(i / 4095.0, 2.0 / kGamma) * 255.0 + 0.5;
            t.encode[i] = static_cast<unsigned char>(v > 255.0 ? 255.0 : v);
        }
        return t;
    }();
    return tables;
}
