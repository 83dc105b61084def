#pragma once

#include <functional>
#include <string>

#include "astro/moon_sky.h"

// Text of a universal-time Julian date in the user's local time and formats
// (settings_dialog/next_phases_text.h).
using InstantText = std::function<std::string(double julianDate)>;

// "Your place: Oslo (59.9° N, 10.8° E)", or without a name "Your place: 33.5° S, 151.2° E",
// in the ANSI code page.
std::string PlaceText(const std::string& name, const GeoPlace& place);

// "Moonrise: 16:42 · Moonset: 07:55": the first rise and set after `julianDate` (UT) at the
// place, each given by `timeText`; the one that does not come within two days left out.
// Neither within two days: "The Moon stays up today" or "The Moon stays down today".
std::string MoonRiseSetText(double julianDate, const GeoPlace& place, const InstantText& timeText);

// "Next lunar eclipse: total, Sunday, 31 December 2028, 17:52 (visible from Oslo)": the first
// one after `julianDate` (UT), its greatest eclipse given by `instantText`, visible from the
// place when the Moon is above its horizon then. The place is called by its name, or
// without one by its coordinates.
std::string NextEclipseText(double julianDate, const std::string& name, const GeoPlace& place,
                            const InstantText& instantText);
