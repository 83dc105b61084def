#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "catalog/moon_catalog.h"

#include "image_io.h"
#include "moon_geometry.h"

// Measurements that the tests take on rendered pictures.

// Mean of a pixel's colour channels.
inline double Brightness(const Image& image, int x, int y) {
    const unsigned char* p = image.At(x, y);
    return (p[0] + p[1] + p[2]) / 3.0;
}

struct LitMeasure {
    double litPercent = 0.0;  // share of the disc above the threshold
    double litCentreX = 0.0;  // mean x of the lit pixels, relative to the disc's centre, in radii
};

// Counts the pixels whose centres lie inside the disc (clear of the anti-aliased limb).
inline LitMeasure MeasureLit(const Image& picture, const DiscLayout& disc, double threshold) {
    long inside = 0, lit = 0;
    double sumX = 0.0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const double dx = x + 0.5 - disc.centre, dy = y + 0.5 - disc.centre;
            if (std::hypot(dx, dy) > disc.radius - 1.0)
                continue;
            ++inside;
            if (Brightness(picture, x, y) > threshold) {
                ++lit;
                sumX += dx / disc.radius;
            }
        }
    }
    LitMeasure measure;
    measure.litPercent = inside ? 100.0 * lit / inside : 0.0;
    measure.litCentreX = lit ? sumX / lit : 0.0;
    return measure;
}

// Loads a catalogue file with the program's own loader; the path in the build machine's
// form (Windows builds under Wine see it through drive Z:).
inline std::vector<MoonEntry> LoadCatalogue(std::string path) {
#ifdef _WIN32
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
#endif
    CMoonCatalog catalog;
    EXPECT_GE(catalog.Load(path), 0) << path;
    return catalog.GetEntries();
}
