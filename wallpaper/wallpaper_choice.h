#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "catalog/moon_entry.h"
#include "astro/moon_sky.h"
#include "catalog/picture_files.h"
#include "wallpaper/wallpaper_layout.h"

// The settings that decide the wallpaper, as a value: follow the present moment (moonType
// 0) or pin the entry at `selectedMoon` (moonType 1), viewed as `view` says. While it
// follows the present moment, `live` draws the Moon as it is now instead of the nearest
// picture, turned as it stands in the sky of `place` when `asInSky`.
struct WallpaperSettings {
    int moonType = 0;
    int selectedMoon = 0;
    ViewSettings view;
    bool live = false;
    bool asInSky = false;
    GeoPlace place{};
};

// Chooses the entry the wallpaper shows. `current` is the entry for the present moment;
// with `moonType` 1 the entry at `selectedMoon` replaces it, unless that index lies outside
// `entries`, in which case the present moment is followed. Returns false, leaving `chosen`
// alone, when there is no picture to show (an empty catalogue), so that nothing is
// installed rather than a black screen.
bool ChooseWallpaper(const MoonEntry& current, const std::vector<MoonEntry>& entries, const WallpaperSettings& settings,
                     MoonEntry* chosen);

// Whether the wallpaper follows the present moment: no pin, or a pin outside the entries.
bool FollowsPresentMoment(const WallpaperSettings& settings, size_t entryCount);

// What a wallpaper was rendered for: everything that changes the picture (the files and
// how they are drawn) and the monitors it was fitted to.
struct RenderedFor {
    PictureFiles files;
    std::vector<MonitorRect> monitors;
};
inline bool operator==(const RenderedFor& a, const RenderedFor& b) {
    return a.files == b.files && a.monitors == b.monitors;
}

// How a wallpaper render or update ended.
enum class WallpaperStatus {
    Ok,                 // saved, or installed (or already shown)
    NothingToShow,      // no catalogue entry to show
    PictureUnreadable,  // the picture is missing or cannot be decoded
    OutOfMemory,        // the picture or the screen is too large to draw in memory
    NoEncoder,          // the imaging library has no encoder for the file's type
    FileInUse,          // another program holds the wallpaper file open
    FileReadOnly,       // the wallpaper file is read-only
    SaveFailed,         // any other failure to write the wallpaper file
    Refused,            // Windows did not take the file as its wallpaper
};

// What went wrong, in plain words for the user; empty for Ok and NothingToShow.
std::string WallpaperStatusText(WallpaperStatus status);

// A failed attempt at a wallpaper, so that it is not tried again at every refresh.
struct FailedAttempt {
    bool failed = false;
    RenderedFor wanted;
    uint32_t tick = 0;  // tick-count reading when it failed
    WallpaperStatus status = WallpaperStatus::Ok;
};

// How long a failed wallpaper waits before a refresh tries it again by itself.
constexpr uint32_t kFailedRetryMs = 60 * 60 * 1000;

// Whether a chosen picture must be rendered and installed at tick-count reading `now`: it or
// the monitors differ from the last install (exact comparison) and it is not the attempt that
// failed less than kFailedRetryMs ago; or the caller forces it.
bool WallpaperNeedsInstall(const RenderedFor& wanted, const RenderedFor& lastInstalled, const FailedAttempt& lastFailed,
                           uint32_t now, bool force);

// What a live wallpaper was drawn from: the angles that move its pixels, and the instant.
struct LiveState {
    double julianDate = 0.0;
    double subSolarLongitudeDeg = 0.0;
    double subSolarLatitudeDeg = 0.0;
    double librationLongitudeDeg = 0.0;
    double librationLatitudeDeg = 0.0;
    double turnDeg = 0.0;
    bool inShadow = false;  // the Earth's penumbra reaches the disc
};

// How often a live wallpaper is drawn again while the Earth's shadow lies on the Moon.
constexpr double kEclipseRedrawDays = 10.0 / (24.0 * 60.0);

// Whether a live wallpaper drawn from `last`, with a disc `radiusPx` pixels in radius, must
// be drawn again for `now`: a point at the disc's edge would move by more than a pixel
// (the terminator, the libration or the turn), or the shadow has come or gone, or it lies
// on the disc and kEclipseRedrawDays have passed.
bool LiveNeedsRedraw(const LiveState& last, const LiveState& now, double radiusPx);
