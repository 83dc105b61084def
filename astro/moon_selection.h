#pragma once

#include <vector>

#include "catalog/moon_entry.h"

// Age above which the Moon is placed on the waning half of the phase scale.
constexpr double kWaningAgeDays = 14.0;

// The illuminated percentage folded onto the 0 to 200 phase scale: the percentage while
// the age is at most 14.0 days, 200 minus it afterwards.
double PhaseScaleValue(double illuminatedPercent, double ageDays);

// Index of the entry whose phase is nearest to `phase`, for entries whose phases rise
// with the index; a tie goes to the later entry. -1 when no entry qualifies: fewer than
// two entries, or `phase` above every phase from index 1 on.
int FindNearestEntry(const std::vector<MoonEntry>& entries, double phase);

// The entry of `entries` nearest the Moon's phase at a Julian date (UT). Each out-pointer
// may be null: `illuminatedPercent` receives the lit percentage (0 to 100), `ageDays` the
// Moon's age and `index` the chosen entry's index. When no entry qualifies the result is an
// empty entry and `index` is left alone.
MoonEntry SelectMoonForDate(const std::vector<MoonEntry>& entries, double julianDate, double* illuminatedPercent,
                            double* ageDays, int* index);
