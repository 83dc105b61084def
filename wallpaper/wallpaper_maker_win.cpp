#include "wallpaper/wallpaper_maker.h"

#include <windows.h>

#include <algorithm>

#include "astro/moon_selection.h"
#include "services/system_clock.h"
#include "wallpaper/desktop_wallpaper_win.h"
#include "wallpaper/wallpaper_composer_win.h"

MoonEntry CWallpaperMaker::CurrentMoon(double* illuminatedPercent, double* ageDays, int* index) const {
    return SelectMoonForDate(GetEntries(), CurrentJulianDate(), illuminatedPercent, ageDays, index);
}

namespace {

// The angles of a live Moon's view that move its pixels.
LiveState LiveStateOf(const LiveMoonRequest& request) {
    const MoonView view = MoonViewAt(request.julianDate, request.orientation, request.place, {0, 0, 1});
    return {request.julianDate,
            view.lighting.sun.longitudeDeg,
            view.lighting.sun.latitudeDeg,
            view.frame.observer.longitudeDeg,
            view.frame.observer.latitudeDeg,
            view.frame.turnDeg,
            view.lighting.shadow.present};
}

// The radius in pixels of the largest disc the live Moon is drawn with on `monitors`.
double LargestDiscRadius(const std::vector<MonitorRect>& monitors) {
    const WallpaperLayout layout = LayoutWallpaper(monitors, CanSpan(), kLivePictureSize, kLivePictureSize);
    int32_t side = 0;
    for (const DrawRect& draw : layout.draws)
        side = std::max(side, draw.width);
    return DiscOf({0, 0, side}).radius;
}

}  // namespace

WallpaperStatus CWallpaperMaker::UpdateWallpaper(const WallpaperSettings& settings, double* illuminatedPercent,
                                                 double* ageDays, bool force) {
    const MoonEntry current = CurrentMoon(illuminatedPercent, ageDays, nullptr);
    const uint32_t now = GetTickCount();
    if (DrawsLive(settings)) {
        const LiveMoonRequest request = LiveRequestFor(settings, CurrentJulianDate());
        RenderedFor wanted{pictures.LiveFiles(request.labels), CurrentMonitors()};
        const bool moved = wanted == lastInstalled &&
                           LiveNeedsRedraw(lastLive, LiveStateOf(request), LargestDiscRadius(wanted.monitors));
        // A Moon that has moved is a new picture to the rule, which also keeps one that could
        // not be saved from being drawn again at every tick.
        if (!WallpaperNeedsInstall(wanted, moved ? RenderedFor() : lastInstalled, lastFailed, now, force))
            return !moved && wanted == lastInstalled ? WallpaperStatus::Ok : lastFailed.status;
        return Install(std::move(wanted), &request);
    }
    MoonEntry chosen;
    if (!ChooseWallpaper(current, GetEntries(), settings, &chosen))
        return WallpaperStatus::NothingToShow;
    RenderedFor wanted{pictures.FilesFor(chosen, settings.view), CurrentMonitors()};
    if (!WallpaperNeedsInstall(wanted, lastInstalled, lastFailed, now, force))
        return wanted == lastInstalled ? WallpaperStatus::Ok : lastFailed.status;
    return Install(std::move(wanted), nullptr);
}

WallpaperStatus CWallpaperMaker::Install(RenderedFor wanted, const LiveMoonRequest* live) {
    const std::filesystem::path output = WallpaperOutputPath();
    WallpaperStatus status = WallpaperStatus::SaveFailed;
    if (!output.empty()) {
        status = live ? RenderLiveWallpaper(*live, pictures, wanted.monitors, output)
                      : RenderWallpaper(wanted.files, wanted.monitors, output);
    }
    if (status == WallpaperStatus::Ok)
        status = InstallWallpaper(output, ArrangementFor(wanted.monitors, CanSpan()));
    if (status == WallpaperStatus::Ok) {
        lastInstalled = std::move(wanted);
        lastFailed = FailedAttempt();
        if (live)
            lastLive = LiveStateOf(*live);
    } else {
        lastFailed = {true, std::move(wanted), GetTickCount(), status};
    }
    return status;
}
