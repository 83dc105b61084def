#pragma once

#include <cstdint>
#include <vector>

#include "image_io.h"
#include "moon_geometry.h"

// The near side as seen in every picture of one size: the albedo under each pixel of the
// disc, sampled once from the equirectangular map, so that each phase only has to be lit.
class CMoonSurface {
public:
    // `albedoMap` is an RGB equirectangular map with longitude 0 at its centre. Work is
    // split over `threads` threads. False when the map is empty.
    bool Build(const Image& albedoMap, int size, int threads);

    const DiscLayout& Disc() const { return disc; }

    // The Moon at an elongation from the Sun (0 new, 180 full) as an RGB picture on black.
    Image Render(double elongationDeg) const;

private:
    void SampleRows(const Image& albedoMap, int firstRow, int endRow);
    void DeriveRelief();

    DiscLayout disc;
    std::vector<uint16_t> albedo;  // linear RGB, 0 to 65535, per pixel; 0 off the disc
    // Left-to-right slope of a pseudo-height taken from the albedo's fine detail (bright
    // crater rims stand high): it gives the low Sun along the terminator something to
    // cast light and shadow on. The Sun always lies in the picture's horizontal plane.
    std::vector<float> slope;
};

// Brightness of a surface point relative to the full Moon: a lunar-Lambert law, which
// keeps the full Moon evenly bright to the limb and darkens towards the terminator as
// the phase angle (Sun-Moon-viewer) grows. `cosIncidence` and `cosEmission` are the
// cosines of the Sun's and the viewer's angle from the local vertical.
class CLunarLaw {
public:
    explicit CLunarLaw(double phaseAngleDeg);
    double operator()(double cosIncidence, double cosEmission) const;

private:
    double limbWeight;  // share of the Lommel-Seeliger term
};
