#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "moon_render/moon_features.h"
#include "moon_render/moon_geometry.h"
#include "moon_render/moon_shading.h"

// A TrueType file's bytes, which must outlive the calls given them.
struct FontFile {
    const unsigned char* data = nullptr;
    size_t size = 0;
};

// The labels that name the Moon's features. Their placement and shapes depend only on the
// frame and are laid out once; each lighting then colours every label by how the Sun
// lights its feature. Labels stand upright whatever the disc's turn, each beside its
// feature's place on the screen; features on the far side get none.
class CLabelLayer {
public:
    struct Label {
        const MoonFeature* feature = nullptr;
        double anchorX = 0.0, anchorY = 0.0;           // the feature on the screen
        int left = 0, top = 0, right = 0, bottom = 0;  // the text's box, in the target's pixels
        bool leader = false;                           // a line joins the text to its marker
    };

    // The maria's names are set in `bold`, the rest in `regular`; text sizes, markers and
    // halo scale with the frame's picture square (the pictures' sizes at 2048). False when a
    // font cannot be used.
    bool Build(const FontFile& regular, const FontFile& bold, const MoonFrame& frame);

    const std::vector<Label>& Labels() const { return labels; }

    // The labels as an overlay (an Rgba target as large as the picture square, placed at
    // it): colour and coverage written where the labels are, with a dark halo so that they
    // read over the lit and the dark side; every other pixel left as it is.
    void Compose(const SelenoPoint& sun, const PixelTarget& overlay) const;

    // The same labels blended over a picture (Rgb or Bgra, opaque), clipped to the target.
    void DrawOver(const SelenoPoint& sun, const PixelTarget& target) const;

private:
    void Stamp(int x, int y, double coverage, int owner);
    void Paint(const SelenoPoint& sun, const PixelTarget& target, bool over) const;

    PictureSquare square;
    std::vector<Label> labels;
    std::vector<uint8_t> ink;    // coverage of text, markers and leader lines, over the square
    std::vector<uint8_t> halo;   // coverage of the dark outline around the ink
    std::vector<uint8_t> owner;  // index + 1 of the label that a pixel belongs to, 0 for none
};
