#pragma once

#include <string>
#include <vector>

#include "catalog/moon_entry.h"
#include "wallpaper/wallpaper_layout.h"

// The pictures a wallpaper update would install.
struct WallpaperChoice {
    std::string paper;      // picture file name, relative to the data directory
    std::string annotated;  // overlay file name, empty for none
};

// Chooses what the wallpaper shows. `current` is the entry for the present moment;
// with `moonType` 1 the entry at `selectedMoon` replaces it, unless that index lies
// outside `entries`, in which case the present moment is followed. The overlay is the
// entry's `ann` when `annotate` is non-zero. Returns false when there is no picture to
// show (an empty catalogue), so that nothing is installed rather than a black screen.
bool ChooseWallpaper(const MoonEntry& current, const std::vector<MoonEntry>& entries, int moonType, int selectedMoon,
                     int annotate, WallpaperChoice* choice);

// What a wallpaper was rendered for: the picture and the monitors it was fitted to.
struct RenderedFor {
    std::string paper;
    std::vector<MonitorRect> monitors;
};

// Whether a chosen picture must be rendered and installed: it or the monitors differ from
// the last install (exact comparison), or the caller forces it.
bool WallpaperNeedsInstall(const RenderedFor& wanted, const RenderedFor& lastInstalled, bool force);
