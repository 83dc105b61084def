#include "astro/moon_selection.h"

#include <cmath>

#include "astro/moon_phase.h"

double PhaseScaleValue(double illuminatedPercent, double ageDays) {
    return ageDays > kWaningAgeDays ? (100.0 - illuminatedPercent) + 100.0 : illuminatedPercent;
}

int FindNearestEntry(const std::vector<MoonEntry>& entries, double phase) {
    for (size_t i = 1; i < entries.size(); ++i) {
        if (phase > entries[i].phase)
            continue;
        const double previous = std::fabs(entries[i - 1].phase - phase);
        const double current = std::fabs(entries[i].phase - phase);
        return static_cast<int>(previous < current ? i - 1 : i);
    }
    return -1;
}

MoonEntry SelectMoonForDate(const std::vector<MoonEntry>& entries, double julianDate, double* illuminatedPercent,
                            double* ageDays, int* index) {
    const PhaseInfo info = ComputeMoonPhase(julianDate);
    const double percent = info.illuminatedFraction * 100.0;
    if (illuminatedPercent)
        *illuminatedPercent = percent;
    if (ageDays)
        *ageDays = info.ageDays;
    const int chosen = FindNearestEntry(entries, PhaseScaleValue(percent, info.ageDays));
    if (chosen < 0)
        return MoonEntry();
    if (index)
        *index = chosen;
    return entries[static_cast<size_t>(chosen)];
}
