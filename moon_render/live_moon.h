#pragma once

#include "astro/moon_sky.h"
#include "moon_render/albedo_map.h"
#include "moon_render/moon_geometry.h"
#include "moon_render/moon_overlay.h"
#include "moon_render/moon_shading.h"

// The Moon of the present moment, drawn for the wallpaper instead of the nearest catalogue
// picture: the phase, libration and lighting of the instant, and the Earth's shadow in an
// eclipse.

enum class MoonOrientation {
    NorthUp,  // as the catalogue's pictures
    SouthUp,  // turned by a half turn, as the southern hemisphere sees it
    AsInSky,  // turned so that up on the screen is up in the sky of a place, at that hour
};

struct MoonView {
    MoonFrame frame;
    MoonLighting lighting;
};

// The Moon at an instant seen from the Earth's centre, turned for `orientation` (`place`
// counts only for AsInSky), in a picture square: for each monitor the rectangle that the
// wallpaper fits a 2048 x 2048 catalogue picture to (LayoutWallpaper's draws), so that the
// disc has the catalogue picture's size and centre there.
MoonView MoonViewAt(double julianDateUt, MoonOrientation orientation, const GeoPlace& place,
                    const PictureSquare& square);

// Draws a view into a target (Rgb or Bgra): every pixel of its picture square within the
// target, black off the disc, opaque; pixels outside the square are left as they are. With
// both fonts given, the features' labels are drawn too, as the catalogue's overlays show
// them. `threads` threads share the work (0: one a core). False when the map is empty, the
// square misses the target, or a font given cannot be used.
bool RenderMoonView(const MoonView& view, const CAlbedoMap& map, const FontFile* regular, const FontFile* bold,
                    const PixelTarget& target, int threads = 0);
