#pragma once

#include <string>

// Whether the user's country, as the platform's geographic settings name it, lies south of
// the equator: by the latitude the platform gives for it, or, where the platform knows no
// latitude (Wine answers 0 for every country), by IsSouthernCountryCode. False when the
// country is unknown.
bool UserCountryIsSouthern();

// Whether the country or territory with this ISO 3166 two-letter code (upper case) lies
// mainly south of the equator, by the latitude of its centre.
bool IsSouthernCountryCode(const std::string& iso2);
