// The present moment against the platform's clock, in the zone this program runs in
// (also run in zones east and west of Greenwich: tests/CMakeLists.txt).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "astro/calendar.h"
#include "astro/moon_selection.h"
#include "services/system_clock.h"

namespace {

// The C runtime reads its zone once, from a TZ of its own format: here it changes under the
// running program, whose Moon must stay that of the platform's UTC.
TEST(PresentMoment, MoonAgeFollowsThePlatformsClock) {
    _putenv("TZ=QWT-6");
    _tzset();
    double ours = 0.0, platform = 0.0;
    SelectMoonForDate({}, CurrentJulianDate(), nullptr, &ours, nullptr);
    SYSTEMTIME utc{};
    GetSystemTime(&utc);
    SelectMoonForDate({},
                      JulianDateFromCalendar(utc.wYear, utc.wMonth - 1, utc.wDay, utc.wHour, utc.wMinute, utc.wSecond),
                      nullptr, &platform, nullptr);
    EXPECT_NEAR(platform, ours, 3.0 / 86400.0);
    _putenv("TZ=");
    _tzset();
}

}  // namespace
