#pragma once

#include <windows.h>

#include <filesystem>
#include <vector>

#include "catalog/picture_files.h"
#include "moon_render/live_moon.h"
#include "services/live_moon_data.h"
#include "services/picture_set.h"
#include "wallpaper/bmp_file.h"
#include "win/imaging_win.h"
#include "wallpaper/wallpaper_choice.h"
#include "wallpaper/wallpaper_layout.h"

// The wallpaper's picture: the catalogue's picture fitted on black to every monitor and
// saved. Reads no settings and shows no window.

// The display monitors' rectangles in the platform's order; the primary screen alone when
// they cannot be listed.
std::vector<MonitorRect> CurrentMonitors();
// Whether the desktop can span one bitmap across several monitors (Windows 8 and later).
bool CanSpan();

// Saves a BMP file made in memory to `outputPath` as it stands: first beside the output,
// then moved over it, written through, so that a failure or a power cut leaves the previous
// file as it was.
WallpaperStatus SaveWallpaper(const CBmpFile& bmp, const std::filesystem::path& outputPath);

// Renders `files` (the picture turned when they say so, then the overlay as it is) fitted
// and centred on black for each of `monitors` (see LayoutWallpaper) and saves it to
// `outputPath` in the format its extension selects. The picture is first saved beside the
// output and then moved over it, written through, so that a failure or a power cut leaves
// the previous file as it was. Returns Ok, or what failed; a read-only output is kept.
WallpaperStatus RenderWallpaper(const PictureFiles& files, const std::vector<MonitorRect>& monitors,
                                const std::filesystem::path& outputPath);

// The side of the square picture that the live Moon is laid out as: the catalogue's, so
// that both discs have the same size and place on the screen.
constexpr uint32_t kLivePictureSize = 2048;

// What the live Moon is drawn for: the instant (a Julian date, UT), how it is turned (the
// place counts only for AsInSky), and whether its features are labelled.
struct LiveMoonRequest {
    double julianDate = 0.0;
    MoonOrientation orientation = MoonOrientation::NorthUp;
    GeoPlace place{};
    bool labels = false;
};

// The request that `settings` make at `julianDate`.
LiveMoonRequest LiveRequestFor(const WallpaperSettings& settings, double julianDate);

// The live Moon on an opaque black canvas of `width` x `height`, drawn into each of
// `squares` (where a 2048 x 2048 catalogue picture would be fitted), labelled when the
// request asks and `data` has the fonts. Null when it cannot be drawn (no map, no memory).
GdipBitmapPtr DrawLiveMoon(const LiveMoonRequest& request, const CLiveMoonData& data, UINT width, UINT height,
                           const std::vector<PictureSquare>& squares);

// RenderWallpaper for the live Moon: drawn for `request` from the data folder of `pictures`,
// fitted to each of `monitors` as the catalogue's pictures are, and saved the same way,
// always as a 24-bit BMP.
WallpaperStatus RenderLiveWallpaper(const LiveMoonRequest& request, const CPictureSet& pictures,
                                    const std::vector<MonitorRect>& monitors, const std::filesystem::path& outputPath);
