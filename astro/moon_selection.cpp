#include "astro/moon_selection.h"

#include <cmath>

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
