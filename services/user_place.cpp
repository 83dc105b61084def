#include "services/user_place.h"

#include <charconv>
#include <cmath>

namespace {

struct PlaceRow {
    const char* country;
    const char* zone;
    const char* name;
    int latitudeSeconds;  // of arc
    int longitudeSeconds;
};

struct WindowsZoneRow {
    const char* windowsZone;
    const char* territory;  // "001": the time zone's own principal zone
    int offsetMinutes;      // of standard time from UTC
    int place;              // in kPlaces
};

// Generated at build time by services/place_table.cmake.
#include "place_table.inc"

const NamedPlace& PlaceOf(const WindowsZoneRow& row) {
    return KnownPlaces()[static_cast<size_t>(row.place)];
}

}  // namespace

const std::vector<NamedPlace>& KnownPlaces() {
    static const std::vector<NamedPlace> places = [] {
        std::vector<NamedPlace> all;
        for (const PlaceRow& row : kPlaces)
            all.push_back({row.name, {row.latitudeSeconds / 3600.0, row.longitudeSeconds / 3600.0}, row.zone});
        return all;
    }();
    return places;
}

NamedPlace DefaultPlace(const std::string& windowsTimeZoneKey, const std::string& countryIso2) {
    const WindowsZoneRow* principal = nullptr;
    const WindowsZoneRow* anyRow = nullptr;
    for (const WindowsZoneRow& row : kWindowsZones) {
        if (windowsTimeZoneKey != row.windowsZone)
            continue;
        if (countryIso2 == row.territory)
            return PlaceOf(row);
        if (std::string(row.territory) == "001")
            principal = &row;
        anyRow = &row;
    }
    if (anyRow) {
        for (const WindowsZoneRow& row : kWindowsZones) {
            if (countryIso2 == row.territory && row.offsetMinutes == anyRow->offsetMinutes)
                return PlaceOf(row);
        }
    }
    if (principal)
        return PlaceOf(*principal);
    for (size_t i = 0; i < KnownPlaces().size(); ++i) {
        if (countryIso2 == kPlaces[i].country)
            return KnownPlaces()[i];
    }
    return {};
}

std::string CoordinateValueText(double degrees) {
    char text[32];
    const std::to_chars_result written = std::to_chars(text, text + sizeof text, degrees, std::chars_format::fixed, 6);
    std::string value(text, written.ptr);
    while (value.back() == '0')
        value.pop_back();
    if (value.back() == '.')
        value.pop_back();
    return value == "-0" ? "0" : value;
}

bool ParseCoordinate(const std::string& text, double limit, double* degrees) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return false;
    std::string number = text.substr(first, text.find_last_not_of(" \t") + 1 - first);
    if (number[0] == '+')
        number.erase(0, 1);
    const size_t comma = number.find(',');
    if (comma != std::string::npos && comma == number.rfind(',') && number.find('.') == std::string::npos)
        number[comma] = '.';
    double value = 0.0;
    const char* end = number.data() + number.size();
    const std::from_chars_result read = std::from_chars(number.data(), end, value);
    if (read.ec != std::errc() || read.ptr != end || !std::isfinite(value) || std::fabs(value) > limit)
        return false;
    *degrees = value;
    return true;
}
