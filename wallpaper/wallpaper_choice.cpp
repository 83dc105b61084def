#include "wallpaper/wallpaper_choice.h"

#include <algorithm>
#include <cmath>

bool FollowsPresentMoment(const WallpaperSettings& settings, size_t entryCount) {
    const int pinned = settings.selectedMoon;
    return settings.moonType != 1 || pinned < 0 || static_cast<size_t>(pinned) >= entryCount;
}

bool ChooseWallpaper(const MoonEntry& current, const std::vector<MoonEntry>& entries, const WallpaperSettings& settings,
                     MoonEntry* chosen) {
    const MoonEntry* entry = &current;
    if (!FollowsPresentMoment(settings, entries.size()))
        entry = &entries[static_cast<size_t>(settings.selectedMoon)];
    if (entry->paper.empty())
        return false;
    *chosen = *entry;
    return true;
}

std::string WallpaperStatusText(WallpaperStatus status) {
    switch (status) {
        case WallpaperStatus::PictureUnreadable:
            return "The wallpaper could not be made: the Moon picture could not be read.";
        case WallpaperStatus::OutOfMemory:
            return "The wallpaper could not be made: there is not enough memory.";
        case WallpaperStatus::NoEncoder:
            return "The wallpaper could not be saved: Windows has no encoder for its file type.";
        case WallpaperStatus::FileInUse:
            return "The wallpaper could not be saved: the file is in use by another program.";
        case WallpaperStatus::FileReadOnly:
            return "The wallpaper could not be saved: the file is read-only.";
        case WallpaperStatus::SaveFailed:
            return "The wallpaper could not be saved.";
        case WallpaperStatus::Refused:
            return "Windows did not accept the new wallpaper.";
        case WallpaperStatus::Ok:
        case WallpaperStatus::NothingToShow:
            break;
    }
    return std::string();
}

bool WallpaperNeedsInstall(const RenderedFor& wanted, const RenderedFor& lastInstalled, const FailedAttempt& lastFailed,
                           uint32_t now, bool force) {
    if (force)
        return true;
    if (wanted == lastInstalled)
        return false;
    // Unsigned arithmetic: the tick counter wraps about every 49.7 days.
    return !(lastFailed.failed && wanted == lastFailed.wanted && now - lastFailed.tick < kFailedRetryMs);
}

namespace {

// The difference of two angles in degrees, folded to 0 to 180.
double AngleBetween(double a, double b) {
    const double d = std::fabs(std::fmod(a - b, 360.0));
    return d > 180.0 ? 360.0 - d : d;
}

}  // namespace

bool LiveNeedsRedraw(const LiveState& last, const LiveState& now, double radiusPx) {
    if (last.inShadow != now.inShadow || (now.inShadow && now.julianDate - last.julianDate >= kEclipseRedrawDays))
        return true;
    const double degrees = std::max({AngleBetween(last.subSolarLongitudeDeg, now.subSolarLongitudeDeg),
                                     AngleBetween(last.subSolarLatitudeDeg, now.subSolarLatitudeDeg),
                                     AngleBetween(last.librationLongitudeDeg, now.librationLongitudeDeg),
                                     AngleBetween(last.librationLatitudeDeg, now.librationLatitudeDeg),
                                     AngleBetween(last.turnDeg, now.turnDeg)});
    // An arc of the disc's edge: radius times the angle in radians.
    return radiusPx * degrees * 3.14159265358979323846 / 180.0 > 1.0;
}
