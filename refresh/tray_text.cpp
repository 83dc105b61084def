#include "refresh/tray_text.h"

#include <cstdio>

std::string FormatPhaseTooltip(double illuminatedPercent, double ageDays) {
    char buffer[256];
    std::snprintf(buffer, sizeof(buffer), "Quellwick (Phase: %2.1f%% Age: %2.1f days)", illuminatedPercent, ageDays);
    return buffer;
}
