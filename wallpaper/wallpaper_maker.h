#pragma once

#include <string>

#include "catalog/moon_entry.h"

// The stateless service that chooses, renders and installs the wallpaper. Create it on
// the stack where it is needed.
class CWallpaperMaker {
public:
    // Resolves the process-wide data directory the first time a maker is constructed.
    CWallpaperMaker();

    // A copy of the data directory; file names are appended to it directly.
    std::string GetDataDirectory() const;

    // The catalogue entry nearest the Moon's phase at a Julian date (UT). Each out-pointer
    // may be null: `illuminatedPercent` receives the lit percentage (0 to 100), `ageDays`
    // the Moon's age and `index` the chosen entry's index. When no entry qualifies the
    // result is an empty entry and `index` is left alone.
    MoonEntry SelectMoonForDate(double julianDate, double* illuminatedPercent, double* ageDays, int* index) const;

    // SelectMoonForDate for the present moment.
    MoonEntry CurrentMoon(double* illuminatedPercent, double* ageDays, int* index) const;
};
