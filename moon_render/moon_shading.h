#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "moon_render/albedo_map.h"
#include "moon_render/moon_geometry.h"
#include "moon_render/parallel_bands.h"

// Byte orders of a caller's pixels. Bgra is what a 32-bit DIB and GDI+'s
// PixelFormat32bppARGB hold (0xAARRGGBB in a little-endian word), Bgr a 24-bit BMP's.
enum class PixelFormat { Rgb, Rgba, Bgr, Bgra };

// Where a format keeps each channel in a pixel's bytes; `a` is -1 without alpha.
struct ChannelOrder {
    int bytes, r, g, b, a;
};
ChannelOrder OrderOf(PixelFormat format);

// The caller's pixels, rows top to bottom, `stride` bytes from one row to the next.
struct PixelTarget {
    unsigned char* pixels = nullptr;
    int width = 0;
    int height = 0;
    ptrdiff_t stride = 0;
    PixelFormat format = PixelFormat::Bgra;
};

// The Earth's shadow on the Moon, in the north-up view's plane (x right, y up, disc radii).
struct ShadowOnDisc {
    bool present = false;
    double x = 0.0;
    double y = 0.0;
    double umbraRadius = 0.0;
    double penumbraRadius = 0.0;
};

// Earthshine on the night side under the full Earth, relative to full sunlight.
constexpr double kEarthshine = 0.0024;

struct MoonLighting {
    SelenoPoint sun;  // the sub-solar point
    double earthshine = kEarthshine;
    ShadowOnDisc shadow;
};

// The pictures' lighting (see SubSolarPointOfPictures).
MoonLighting LightingOfPictures(double elongationDeg);

// How densely the map is sampled under each pixel: four samples everywhere (the
// catalogue's pictures, made once and scaled by the wallpaper, keep the soft look they were
// chosen with), or one where a pixel spans no more than the two texels that a bilinear
// sample blends (the live Moon, drawn at the screen's size at every change).
enum class Sampling { Four, AsNeeded };

// The globe as a frame shows it: the albedo under each pixel of its picture square, sampled
// once, so that each lighting only has to be applied.
class CMoonSurface {
public:
    // Samples the map under every pixel of the frame's picture square that lies within a
    // target of `targetWidth` x `targetHeight`, on the workers' threads. False when the map
    // is empty or the square misses the target.
    bool Build(const CAlbedoMap& map, const MoonFrame& frame, int targetWidth, int targetHeight, Sampling density,
               CBandWorkers& workers);

    // Draws the globe lit into every pixel of the picture square within the target (which
    // must be as large as the one given to Build): black off the disc, opaque.
    void Render(const MoonLighting& lighting, const PixelTarget& target, CBandWorkers& workers) const;

private:
    struct Grid;
    void BuildGrid(const CAlbedoMap& map, Grid& grid, CBandWorkers& workers) const;
    void SampleRows(const CAlbedoMap& map, const Grid& grid, Sampling sampling, int firstRow, int endRow);
    // Keeps a pixel's albedo (linear) and the height that the relief is derived from.
    void Store(size_t at, double linear);
    void DeriveRelief(CBandWorkers& workers);

    CProjection projection{MoonFrame()};
    double tint[3] = {1.0, 1.0, 1.0};
    int left = 0, top = 0, width = 0, height = 0;  // the sampled rectangle of the target
    int unitSize = 0;                              // the picture square's size
    std::vector<uint16_t> albedo;                  // linear grey, 0 to 65535 a pixel; 0 off the disc
    // Fine detail of a pseudo-height taken from the albedo (bright crater rims stand high):
    // its slope gives the low Sun along the terminator something to cast light and shadow on.
    std::vector<float> detail;
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
