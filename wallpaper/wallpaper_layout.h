#pragma once

#include <cstdint>
#include <vector>

// A monitor's rectangle in virtual-screen coordinates: the primary monitor's top left is
// the origin, so monitors left of or above it have negative coordinates.
struct MonitorRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool operator==(const MonitorRect& other) const {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
};

// How the desktop shows the bitmap, and so which "WallpaperStyle" and "TileWallpaper"
// values go with it.
enum class WallpaperArrangement {
    Stretch,  // one monitor: a bitmap of its size ("2", "0")
    Span,     // one bitmap across the virtual screen, Windows 8 and later ("22", "0")
    Tile,     // Windows 7: tiled from the primary monitor's origin ("0", "1")
};
const char* WallpaperStyleValue(WallpaperArrangement arrangement);
const char* TileWallpaperValue(WallpaperArrangement arrangement);

// Stretch for one monitor (empty rectangles do not count); for several, Span where
// `canSpan`, else Tile.
WallpaperArrangement ArrangementFor(const std::vector<MonitorRect>& monitors, bool canSpan);

// A place on the bitmap where the picture is drawn; may reach past the bitmap's edges,
// which clip it.
struct DrawRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool operator==(const DrawRect& other) const {
        return x == other.x && y == other.y && width == other.width && height == other.height;
    }
};

struct WallpaperLayout {
    WallpaperArrangement arrangement = WallpaperArrangement::Stretch;
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<DrawRect> draws;
};

// The bitmap for `monitors` and where a sw x sh picture goes on it: fitted on black to
// each monitor, so that no monitor shows it out of shape. One monitor gives a bitmap of its
// size with the picture fitted as ComputeFit does. Several give a bitmap as large as the
// rectangle around them all: spanned where `canSpan`, else tiled, in which case a monitor
// left of or above the primary one is drawn where the tiling wraps it to. Monitors that
// overlap (a clone, or Wine placing every monitor at the origin) share the part they all
// show. No monitors, or a picture with no pixels, give no draws.
WallpaperLayout LayoutWallpaper(const std::vector<MonitorRect>& monitors, bool canSpan, uint32_t pictureWidth,
                                uint32_t pictureHeight);
