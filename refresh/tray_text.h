#pragma once

#include <string>

// The tray icon's tooltip once the Moon is known: "Quellwick (Phase: 47.3% Age: 14.2 days)",
// one decimal each, numbers in the "C" locale.
std::string FormatPhaseTooltip(double illuminatedPercent, double ageDays);
