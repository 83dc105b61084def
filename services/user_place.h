#pragma once

#include <string>
#include <vector>

#include "astro/moon_sky.h"

// A place on the Earth: its English name ("Oslo"; empty for one given only by its
// coordinates) and its IANA time zone ("Europe/Oslo"; empty where unknown).
struct NamedPlace {
    std::string name;
    GeoPlace place;
    std::string timeZone;
};

// The principal place of each zone of the time zone database (zone.tab), in its order.
const std::vector<NamedPlace>& KnownPlaces();

// The user's likely place from the Windows time zone's key name ("W. Europe Standard
// Time") and the user's country (ISO 3166 code, "NO"), through CLDR's Windows zones:
// the zone of that time zone in that country; else, in that country, the zone of another
// time zone of the same offset from UTC (which the user may have picked alike); else the
// time zone's own principal zone; else, for a time zone of no place, the country's first
// zone. Unknown both: 0, 0 with no name.
NamedPlace DefaultPlace(const std::string& windowsTimeZoneKey, const std::string& countryIso2);

// DefaultPlace of the machine's time zone and the user's country (services/user_place_win.cpp).
NamedPlace MachineDefaultPlace();

// A latitude or longitude as it is stored: a decimal number with "." as the decimal point
// and at most six decimals, "59.916667".
std::string CoordinateValueText(double degrees);
// Reads a number of degrees as the user or the store writes it ("." or "," as the decimal
// point, blanks around it) within -limit to limit; false for anything else.
bool ParseCoordinate(const std::string& text, double limit, double* degrees);
