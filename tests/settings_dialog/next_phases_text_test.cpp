#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

#include "astro/calendar.h"
#include "settings_dialog/next_phases_text.h"

namespace {

// Run once in each zone (ctest sets TZ, from which Wine takes its zone). 2026-12-24 and
// 2026-07-01 at 01:27:40 UT, which round to 01:28: Sydney is then on UTC+11 and UTC+10, New
// York on UTC-5 and UTC-4, so the local day and hour differ from the universal ones.
TEST(LocalInstantText, ShowsTheInstantInTheLocalZoneInTheUserFormatsToTheMinute) {
    const char* zone = std::getenv("TZ");
    if (!zone)
        GTEST_SKIP() << "run with TZ set";
    struct Case {
        const char* zone;
        WORD utcMonth, utcDay, month, day, hour;
    };
    const Case cases[] = {{"Australia/Sydney", 12, 24, 12, 24, 12}, {"Australia/Sydney", 7, 1, 7, 1, 11},
                          {"America/New_York", 12, 24, 12, 23, 20}, {"America/New_York", 7, 1, 6, 30, 21}};
    int checked = 0;
    for (const Case& c : cases) {
        if (std::string(zone) != c.zone)
            continue;
        const SYSTEMTIME local = {2026, c.month, 0, c.day, c.hour, 28, 0, 0};
        char date[128] = {}, time[64] = {};
        GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, &local, nullptr, date, sizeof date);
        GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &local, nullptr, time, sizeof time);
        const double instant = JulianDateFromCalendar(2026, c.utcMonth - 1, c.utcDay, 1, 27, 40);
        EXPECT_EQ(std::string(date) + ", " + time, LocalInstantText(instant)) << c.zone;
        ++checked;
    }
    EXPECT_EQ(2, checked) << "no cases for TZ=" << zone;
}

}  // namespace
