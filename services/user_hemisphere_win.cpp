#include "services/user_hemisphere.h"

#include <windows.h>

#include <cstdlib>

bool UserCountryIsSouthern() {
    const GEOID nation = GetUserGeoID(GEOCLASS_NATION);
    if (nation == GEOID_NOT_AVAILABLE)
        return false;
    char latitude[32] = {};
    if (GetGeoInfoA(nation, GEO_LATITUDE, latitude, sizeof latitude, 0) > 0) {
        // A decimal number of degrees such as "-25.61". No country's centre lies on the
        // equator, so 0 means that the platform does not know.
        char* end = nullptr;
        const double degrees = std::strtod(latitude, &end);
        if (end != latitude && degrees != 0.0)
            return degrees < 0.0;
    }
    char code[8] = {};
    return GetGeoInfoA(nation, GEO_ISO2, code, sizeof code, 0) > 0 && IsSouthernCountryCode(code);
}
