#pragma once

#include <vector>

#include "catalog/moon_catalog.h"
#include "catalog/moon_entry.h"
#include "services/picture_set.h"
#include "wallpaper/wallpaper_choice.h"

struct LiveMoonRequest;

// The wallpaper's road, as the tray window and the settings dialog use it: the choice of
// the entry (present moment or pinned), its files from the picture set, the composer's
// picture (wallpaper_composer_win.h) and the desktop's install (desktop_wallpaper_win.h).
// It reads no settings and shows no window: callers hand it the settings and tell the user
// what its status says. The tray window owns the program's one maker and lends it.
class CWallpaperMaker {
public:
    // A maker that chooses from `catalog` and draws from `pictures`, which outlive it.
    CWallpaperMaker(const CMoonCatalog& entries, const CPictureSet& pictureSet)
        : catalog(entries), pictures(pictureSet) {}
    CWallpaperMaker(const CWallpaperMaker&) = delete;
    CWallpaperMaker& operator=(const CWallpaperMaker&) = delete;

    const std::vector<MoonEntry>& GetEntries() const { return catalog.GetEntries(); }
    const CPictureSet& Pictures() const { return pictures; }

    // The catalogue entry for the present moment (SelectMoonForDate).
    MoonEntry CurrentMoon(double* illuminatedPercent, double* ageDays, int* index) const;

    // Chooses the picture for the present moment (or the pinned one) and, when what it
    // would draw (files, turn, monitors) differs from what this maker installed last or
    // `force` is set, renders and installs it. A picture that failed is tried again only
    // when forced, after ForgetFailure, or once kFailedRetryMs have passed. The out-pointers,
    // which may be null, always receive the present illuminated percentage and age. Returns
    // Ok when the wallpaper shows the chosen picture, otherwise what stood in the way.
    WallpaperStatus UpdateWallpaper(const WallpaperSettings& settings, double* illuminatedPercent, double* ageDays,
                                    bool force);

    // Whether UpdateWallpaper with `settings` draws the live Moon rather than a picture.
    bool DrawsLive(const WallpaperSettings& settings) const {
        return settings.live && FollowsPresentMoment(settings, GetEntries().size());
    }

    // Lets the next update try again a picture that failed (after a wake, an unlock, a
    // display or clock change, when what stood in its way may have gone).
    void ForgetFailure() { lastFailed = FailedAttempt(); }

private:
    // Renders and installs what `wanted` names (the live Moon for `live`), and records the
    // outcome.
    WallpaperStatus Install(RenderedFor wanted, const LiveMoonRequest* live);

    const CMoonCatalog& catalog;
    const CPictureSet& pictures;
    // What this maker installed last; empty until its first successful install.
    RenderedFor lastInstalled;
    // The last attempt that failed, until an install succeeds.
    FailedAttempt lastFailed;
    // What the last live Moon installed was drawn from.
    LiveState lastLive;
};
