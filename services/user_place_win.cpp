#include "services/user_place.h"

#include <windows.h>

#include "win/ansi_text_win.h"

NamedPlace MachineDefaultPlace() {
    DYNAMIC_TIME_ZONE_INFORMATION zone{};
    std::string key;
    if (GetDynamicTimeZoneInformation(&zone) != TIME_ZONE_ID_INVALID)
        key = AnsiFromWide(zone.TimeZoneKeyName, lstrlenW(zone.TimeZoneKeyName));
    char country[8] = {};
    const GEOID nation = GetUserGeoID(GEOCLASS_NATION);
    if (nation == GEOID_NOT_AVAILABLE || GetGeoInfoA(nation, GEO_ISO2, country, sizeof country, 0) <= 0)
        country[0] = '\0';
    return DefaultPlace(key, country);
}
