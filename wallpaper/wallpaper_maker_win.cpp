#include "wallpaper/wallpaper_maker.h"

#include <windows.h>

#include "astro/moon_selection.h"
#include "services/system_clock.h"
#include "wallpaper/desktop_wallpaper_win.h"
#include "wallpaper/wallpaper_composer_win.h"

MoonEntry CWallpaperMaker::CurrentMoon(double* illuminatedPercent, double* ageDays, int* index) const {
    return SelectMoonForDate(GetEntries(), CurrentJulianDate(), illuminatedPercent, ageDays, index);
}

WallpaperStatus CWallpaperMaker::UpdateWallpaper(const WallpaperSettings& settings, double* illuminatedPercent,
                                                 double* ageDays, bool force) {
    const MoonEntry current = CurrentMoon(illuminatedPercent, ageDays, nullptr);
    MoonEntry chosen;
    if (!ChooseWallpaper(current, GetEntries(), settings, &chosen))
        return WallpaperStatus::NothingToShow;
    RenderedFor wanted{pictures.FilesFor(chosen, settings.view), CurrentMonitors()};
    if (!WallpaperNeedsInstall(wanted, lastInstalled, lastFailed, GetTickCount(), force))
        return wanted == lastInstalled ? WallpaperStatus::Ok : lastFailed.status;

    const std::filesystem::path output = WallpaperOutputPath();
    WallpaperStatus status =
        output.empty() ? WallpaperStatus::SaveFailed : RenderWallpaper(wanted.files, wanted.monitors, output);
    if (status == WallpaperStatus::Ok)
        status = InstallWallpaper(output, ArrangementFor(wanted.monitors, CanSpan()));
    if (status == WallpaperStatus::Ok) {
        lastInstalled = std::move(wanted);
        lastFailed = FailedAttempt();
    } else {
        lastFailed = {true, std::move(wanted), GetTickCount(), status};
    }
    return status;
}
