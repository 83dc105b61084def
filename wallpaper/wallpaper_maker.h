#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "catalog/moon_entry.h"
#include "wallpaper/wallpaper_choice.h"

class CMoonCatalog;

#ifdef _WIN32
namespace Gdiplus {
class GpBitmap;
class GpImage;
}  // namespace Gdiplus
#endif

// The service that chooses, renders and installs the wallpaper. The tray window owns the
// program's one maker and lends it to the windows that need it.
class CWallpaperMaker {
public:
    // A maker that chooses from `catalog`, which outlives it. Resolves the process-wide
    // data directory the first time a maker is constructed.
    explicit CWallpaperMaker(const CMoonCatalog& catalog);
    // A maker without a catalogue: it renders and installs given pictures and chooses none.
    CWallpaperMaker();
    CWallpaperMaker(const CWallpaperMaker&) = delete;
    CWallpaperMaker& operator=(const CWallpaperMaker&) = delete;

    // The catalogue's entries; empty for a maker without a catalogue.
    const std::vector<MoonEntry>& GetEntries() const;

    // The data directory, ending in a separator; file names are joined onto it (JoinPath).
    const std::filesystem::path& GetDataDirectory() const;

    // The catalogue entry nearest the Moon's phase at a Julian date (UT). Each out-pointer
    // may be null: `illuminatedPercent` receives the lit percentage (0 to 100), `ageDays`
    // the Moon's age and `index` the chosen entry's index. When no entry qualifies the
    // result is an empty entry and `index` is left alone.
    MoonEntry SelectMoonForDate(double julianDate, double* illuminatedPercent, double* ageDays, int* index) const;

    // The present moment as a Julian date (UT).
    double CurrentJulianDate() const;

    // SelectMoonForDate for the present moment.
    MoonEntry CurrentMoon(double* illuminatedPercent, double* ageDays, int* index) const;

#ifdef _WIN32
    // Chooses the picture for the present moment (or the pinned one) and, when it or the
    // monitors differ from what this maker installed last or `force` is non-zero, renders
    // and installs it. A picture that failed is tried again only when forced, or once
    // kFailedRetryMs have passed. The out-pointers, which may be null, always receive the
    // present illuminated percentage and age. Returns Ok when the wallpaper shows the chosen
    // picture, otherwise what stood in the way.
    WallpaperStatus UpdateWallpaper(double* illuminatedPercent, double* ageDays, int force);

    // Lets the next update try again a picture that failed (after a wake, an unlock, a
    // display or clock change, when what stood in its way may have gone).
    void ForgetFailure() {
        lastFailed = FailedAttempt();
    }

    // Renders the data directory's `paper` (with the `annotated` overlay unless empty) for
    // `monitors` to the output file and installs it; `turned` turns the picture by a half
    // turn (the overlay is drawn as it is).
    WallpaperStatus MakeAndInstallWallpaper(std::string paper, std::string annotated,
                                            const std::vector<MonitorRect>& monitors, bool turned = false) const;

    // Where the wallpaper file goes: "Quellwick.bmp" in the Windows directory when a file
    // can be written there, otherwise in a "Quellwick" folder of the user's local
    // application data. Empty when neither is available.
    std::filesystem::path WallpaperOutputPath() const;

    // Writes the desktop's tiling and style values for `arrangement` and makes the file the
    // desktop wallpaper: Ok, or Refused when the platform does not take it.
    WallpaperStatus InstallWallpaper(const std::filesystem::path& path, WallpaperArrangement arrangement) const;

    // The display monitors' rectangles in the platform's order; the primary screen alone
    // when they cannot be listed.
    static std::vector<MonitorRect> CurrentMonitors();
    // Whether the desktop can span one bitmap across several monitors (Windows 8 and later).
    static bool CanSpan();

    // Renders the picture fitted and centred on black for each of `monitors` (by default
    // the present ones; see LayoutWallpaper) and saves it to `outputPath` in the format its
    // extension selects. The picture is first saved beside the output and then moved over
    // it, so a failure (or a power cut) leaves the previous file as it was. Returns Ok, or
    // what failed. `turned` turns the picture, not the overlay, by a half turn.
    WallpaperStatus RenderWallpaper(const std::filesystem::path& picturePath, const std::filesystem::path& outputPath,
                                    const std::filesystem::path& annotatedPath) const;
    WallpaperStatus RenderWallpaper(const std::filesystem::path& picturePath, const std::filesystem::path& outputPath,
                                    const std::filesystem::path& annotatedPath,
                                    const std::vector<MonitorRect>& monitors, bool turned = false) const;

    // Paints the canvas black and draws the picture, then the overlay (may be null), into
    // each of `draws`. The overlay is read from the picture's own source rectangle.
    // Returns the canvas, or null when a drawing step failed.
    Gdiplus::GpBitmap* ComposeFitted(Gdiplus::GpBitmap* canvas, Gdiplus::GpImage* picture, Gdiplus::GpImage* overlay,
                                     const std::vector<DrawRect>& draws) const;
#endif

private:
    const CMoonCatalog* catalog = nullptr;
    // What this maker installed last; empty until its first successful install.
    RenderedFor lastInstalled;
    // The last attempt that failed, until an install succeeds.
    FailedAttempt lastFailed;
};
