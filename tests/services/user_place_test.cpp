#include <gtest/gtest.h>

#include "services/user_place.h"

namespace {

TEST(DefaultPlace, FromTheWindowsTimeZoneAndTheCountry) {
    const struct {
        const char* zone;
        const char* country;
        const char* name;
        double latitude, longitude;
        const char* timeZone;
    } cases[] = {
        {"W. Europe Standard Time", "DE", "Berlin", 52.5, 13.3667, "Europe/Berlin"},
        {"W. Europe Standard Time", "NO", "Oslo", 59.9167, 10.75, "Europe/Oslo"},
        {"Eastern Standard Time", "US", "New York", 40.7142, -74.0064, "America/New_York"},
        {"Pacific Standard Time", "US", "Los Angeles", 34.0522, -118.2428, "America/Los_Angeles"},
        {"Eastern Standard Time", "CA", "Toronto", 43.65, -79.3833, "America/Toronto"},
        {"AUS Eastern Standard Time", "AU", "Sydney", -33.8667, 151.2167, "Australia/Sydney"},
        {"E. South America Standard Time", "BR", "Sao Paulo", -23.5333, -46.6167, "America/Sao_Paulo"},
        {"India Standard Time", "IN", "Kolkata", 22.5333, 88.3667, "Asia/Kolkata"},
        {"Tokyo Standard Time", "JP", "Tokyo", 35.6544, 139.7447, "Asia/Tokyo"},
        {"South Africa Standard Time", "ZA", "Johannesburg", -26.25, 28.0, "Africa/Johannesburg"},
        // CLDR's old name America/Indianapolis, linked to the database's.
        {"US Eastern Standard Time", "US", "Indianapolis", 39.7683, -86.1581, "America/Indiana/Indianapolis"},
        // Another time zone of the same offset (Wine's for Europe/Oslo): the country's zone.
        {"Central Europe Standard Time", "NO", "Oslo", 59.9167, 10.75, "Europe/Oslo"},
        // A country without a zone of that offset, or none: the time zone's own place.
        {"W. Europe Standard Time", "US", "Berlin", 52.5, 13.3667, "Europe/Berlin"},
        {"Tokyo Standard Time", "", "Tokyo", 35.6544, 139.7447, "Asia/Tokyo"},
        // A time zone of no place, and an unknown one: the country's (first) zone.
        {"UTC", "GB", "London", 51.5083, -0.1253, "Europe/London"},
        {"Atlantis Standard Time", "CA", "St Johns", 47.5667, -52.7167, "America/St_Johns"},
        {"Atlantis Standard Time", "XX", "", 0.0, 0.0, ""},
    };
    for (const auto& c : cases) {
        const NamedPlace place = DefaultPlace(c.zone, c.country);
        EXPECT_EQ(c.name, place.name) << c.zone << ", " << c.country;
        EXPECT_EQ(c.timeZone, place.timeZone) << c.zone << ", " << c.country;
        EXPECT_NEAR(c.latitude, place.place.latitudeDeg, 1e-4) << c.zone << ", " << c.country;
        EXPECT_NEAR(c.longitude, place.place.longitudeDeg, 1e-4) << c.zone << ", " << c.country;
    }
}

}  // namespace
