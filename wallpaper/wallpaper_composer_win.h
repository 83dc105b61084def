#pragma once

#include <windows.h>

#include <filesystem>
#include <vector>

#include "catalog/picture_files.h"
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

// Saves a finished canvas to `outputPath` in the format its extension selects: first beside
// the output, then moved over it, written through, so that a failure or a power cut leaves
// the previous file as it was.
WallpaperStatus SaveWallpaper(Gdiplus::GpBitmap* canvas, const std::filesystem::path& outputPath);
// Whether the output is a file the user made read-only, which is kept.
bool IsReadOnlyWallpaper(const std::filesystem::path& outputPath);

// Renders `files` (the picture turned when they say so, then the overlay as it is) fitted
// and centred on black for each of `monitors` (see LayoutWallpaper) and saves it to
// `outputPath` in the format its extension selects. The picture is first saved beside the
// output and then moved over it, written through, so that a failure or a power cut leaves
// the previous file as it was. Returns Ok, or what failed; a read-only output is kept.
WallpaperStatus RenderWallpaper(const PictureFiles& files, const std::vector<MonitorRect>& monitors,
                                const std::filesystem::path& outputPath);
