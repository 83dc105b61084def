// The portable date arithmetic checked against the platform's own conversions.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>

#include "astro/calendar.h"

namespace {

TEST(PlatformOleDate, BothDirectionsMatchThePlatformOnWholeSecondsFrom1600To2400) {
    uint64_t state = 0x51A7E5EEDULL;
    for (int i = 0; i < 4000; ++i) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        const double date = -109572.0 + static_cast<double>((state >> 33) % 182622);  // from 1600-01-01
        const double days = date + (date < 0.0 ? -1.0 : 1.0) * static_cast<double>((state >> 11) % 86400) / 86400.0;

        SYSTEMTIME platform{};
        ASSERT_TRUE(VariantTimeToSystemTime(days, &platform)) << days;
        CalendarTime ours;
        ASSERT_TRUE(CalendarFromDays(days, &ours)) << days;
        using Fields = std::tuple<int, int, int, int, int, int, int>;
        ASSERT_EQ(Fields(platform.wYear, platform.wMonth, platform.wDay, platform.wDayOfWeek, platform.wHour,
                         platform.wMinute, platform.wSecond),
                  Fields(ours.year, ours.month, ours.day, ours.dayOfWeek, ours.hour, ours.minute, ours.second))
            << days;

        double platformDays = 0.0, ourDays = 0.0;
        ASSERT_TRUE(SystemTimeToVariantTime(&platform, &platformDays)) << days;
        ASSERT_TRUE(DaysFromCalendar(ours, &ourDays)) << days;
        ASSERT_NEAR(platformDays, ourDays, 1e-9) << days;
    }
}

}  // namespace
