// The present moment against the platform's clock, in the zone this program runs in.
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

// Also run in zones east and west of Greenwich (tests/CMakeLists.txt), where
// QW_EXPECTED_BIAS lists the total biases in minutes that the zone may have now.
TEST(PresentMoment, BiasAndMoonAgeFollowThePlatformsClock) {
    const TimeZoneBias zone = SystemTimeZone().CurrentBias();
    const std::string bias = std::to_string(zone.bias + (zone.daylight ? zone.daylightBias : zone.standardBias));
    if (const char* expected = std::getenv("QW_EXPECTED_BIAS")) {
        EXPECT_NE(std::string::npos, (" " + std::string(expected) + " ").find(" " + bias + " ")) << bias;
    }
    SYSTEMTIME local{}, utc{};
    GetLocalTime(&local);
    GetSystemTime(&utc);
    double localDays = 0.0;
    ASSERT_TRUE(SystemTimeToVariantTime(&local, &localDays));
    EXPECT_NEAR(JulianDate(utc), JulianDateFromDate(LocalToUniversal({localDays, DateValue::Status::valid})),
                3.0 / 86400.0);

    // The C runtime reads its zone once, from a TZ of its own format: here it changes under
    // the running program, whose Moon must stay that of the platform's UTC.
    _putenv("TZ=QWT-6");
    _tzset();
    const CWallpaperMaker maker;
    double ours = 0.0, platform = 0.0;
    maker.CurrentMoon(nullptr, &ours, nullptr);
    GetSystemTime(&utc);
    maker.SelectMoonForDate(JulianDate(utc), nullptr, &platform, nullptr);
    EXPECT_NEAR(platform, ours, 3.0 / 86400.0);
    _putenv("TZ=");
    _tzset();
}

}  // namespace
