// The present moment against the platform's clock in a zone, and after the C runtime's idea
// of the zone has changed under a running program.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "astro/calendar.h"
#include "wallpaper/wallpaper_maker.h"

namespace {

double JulianDate(const SYSTEMTIME& t) {
    return JulianDateFromCalendar(t.wYear, t.wMonth - 1, t.wDay, t.wHour, t.wMinute, t.wSecond);
}

// The Moon's age that the program works with, and that of the platform's UTC read just after.
void ExpectMoonAgeOfUniversalTime(const char* when) {
    const CWallpaperMaker maker;
    double ours = 0.0, platform = 0.0;
    maker.CurrentMoon(nullptr, &ours, nullptr);
    SYSTEMTIME utc{};
    GetSystemTime(&utc);
    maker.SelectMoonForDate(JulianDate(utc), nullptr, &platform, nullptr);
    EXPECT_NEAR(platform, ours, 3.0 / 86400.0) << when;
}

// Run in the machine's zone, and in zones east and west of Greenwich (tests/CMakeLists.txt),
// where QW_EXPECTED_BIAS lists the total biases in minutes that the zone may have now.
TEST(PresentMoment, BiasAndMoonAgeFollowThePlatformsClock) {
    const TimeZoneBias zone = SystemTimeZone().CurrentBias();
    const long bias = zone.bias + (zone.daylight ? zone.daylightBias : zone.standardBias);
    if (const char* expected = std::getenv("QW_EXPECTED_BIAS")) {
        EXPECT_NE(std::string::npos, (" " + std::string(expected) + " ").find(" " + std::to_string(bias) + " "))
            << "bias " << bias << ", expected one of " << expected;
    }
    // The platform's local time taken back to UTC with that bias.
    SYSTEMTIME local{}, utc{};
    GetLocalTime(&local);
    GetSystemTime(&utc);
    double localDays = 0.0;
    ASSERT_TRUE(SystemTimeToVariantTime(&local, &localDays));
    const DateValue universal = LocalToUniversal(DateValue{localDays, DateValue::Status::valid});
    EXPECT_NEAR(JulianDate(utc), JulianDateFromDate(universal), 3.0 / 86400.0);

    ExpectMoonAgeOfUniversalTime("at start");
    // The C runtime reads its zone once, from a TZ of its own format; here it changes while
    // the program runs.
    _putenv("TZ=QWT-6");
    _tzset();
    ExpectMoonAgeOfUniversalTime("after the zone changed");
    _putenv("TZ=");
    _tzset();
}

}  // namespace
