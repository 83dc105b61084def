#include "wallpaper/wallpaper_maker.h"

#include "astro/calendar.h"
#include "astro/moon_phase.h"
#include "astro/moon_selection.h"
#include "catalog/moon_catalog.h"
#include "services/data_directory.h"
#include "services/system_clock.h"

CWallpaperMaker::CWallpaperMaker(const CMoonCatalog& entries) : catalog(&entries) {
    ProcessDataDirectory();
}

CWallpaperMaker::CWallpaperMaker() {
    ProcessDataDirectory();
}

const std::vector<MoonEntry>& CWallpaperMaker::GetEntries() const {
    static const std::vector<MoonEntry> none;
    return catalog ? catalog->GetEntries() : none;
}

const std::filesystem::path& CWallpaperMaker::GetDataDirectory() const {
    return ProcessDataDirectory();
}

MoonEntry CWallpaperMaker::SelectMoonForDate(double julianDate, double* illuminatedPercent, double* ageDays,
                                             int* index) const {
    const PhaseInfo info = ComputeMoonPhase(julianDate);
    const double percent = info.illuminatedFraction * 100.0;
    if (illuminatedPercent)
        *illuminatedPercent = percent;
    if (ageDays)
        *ageDays = info.ageDays;

    const std::vector<MoonEntry>& entries = GetEntries();
    const int chosen = FindNearestEntry(entries, PhaseScaleValue(percent, info.ageDays));
    if (chosen < 0)
        return MoonEntry();
    if (index)
        *index = chosen;
    return entries[chosen];
}

double CWallpaperMaker::CurrentJulianDate() const {
    return JulianDateFromDate(CurrentUniversalDate());
}

MoonEntry CWallpaperMaker::CurrentMoon(double* illuminatedPercent, double* ageDays, int* index) const {
    return SelectMoonForDate(CurrentJulianDate(), illuminatedPercent, ageDays, index);
}
