#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image_io.h"
#include "moon_features.h"
#include "moon_geometry.h"

// The labels of the annotated overlay. Their placement and shapes are the same in every
// picture of a set and are laid out once; each picture then colours every label by how
// the Sun lights its feature that night.
class CLabelLayer {
public:
    struct Label {
        const MoonFeature* feature = nullptr;
        double anchorX = 0.0, anchorY = 0.0;            // the feature on the disc
        int left = 0, top = 0, right = 0, bottom = 0;  // the text's box
        bool leader = false;                          // a line joins the text to its marker
    };

    // `regularFont` and `boldFont` are TrueType files. False when a font cannot be used.
    // `turned` lays the labels out for the picture turned by a half turn, as the Moon is
    // seen from the southern hemisphere: each beside its feature's turned place, upright.
    bool Build(const std::vector<unsigned char>& regularFont, const std::vector<unsigned char>& boldFont,
               const DiscLayout& disc, bool turned = false);

    const std::vector<Label>& Labels() const { return labels; }

    // The overlay for one elongation: RGBA, fully transparent and pure black except for
    // the labels, which carry a dark halo so that they read over the lit and the dark side.
    Image Compose(double elongationDeg) const;

private:
    void Stamp(int x, int y, double coverage, int owner);

    DiscLayout disc;
    std::vector<Label> labels;
    std::vector<uint8_t> ink;    // coverage of text, markers and leader lines
    std::vector<uint8_t> halo;   // coverage of the dark outline around the ink
    std::vector<uint8_t> owner;  // index + 1 of the label that a pixel belongs to, 0 for none
};
