#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

#include "astro/calendar.h"
#include "settings_dialog/next_phases_text.h"

namespace {

// The user's own formats for a local time, as the dialog should show it.
std::string UserFormat(WORD year, WORD month, WORD day, WORD hour, WORD minute) {
    const SYSTEMTIME local = {year, month, 0, day, hour, minute, 0, 0};
    char date[128] = {}, time[64] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, &local, nullptr, date, sizeof date);
    GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &local, nullptr, time, sizeof time);
    return std::string(date) + ", " + time;
}

// Registered once for each time zone below (ctest sets TZ, which Wine takes its zone from).
// 2026-12-24 01:27:40 UT, which rounds to 01:28: in Sydney (summer time, UTC+11) the
// afternoon of the 24th, in New York (UTC-5) the evening of the 23rd; and a July instant,
// when Sydney is on UTC+10 and New York on summer time, UTC-4.
TEST(LocalInstantText, ShowsTheInstantInTheLocalZoneToTheMinute) {
    const char* zone = std::getenv("TZ");
    if (!zone)
        GTEST_SKIP() << "run with TZ set";
    struct Case {
        const char* zone;
        int utcMonth, utcDay, utcHour;
        WORD month, day, hour;
    };
    const Case cases[] = {
        {"Australia/Sydney", 12, 24, 1, 12, 24, 12},
        {"Australia/Sydney", 7, 1, 1, 7, 1, 11},
        {"America/New_York", 12, 24, 1, 12, 23, 20},
        {"America/New_York", 7, 1, 1, 6, 30, 21},
    };
    int checked = 0;
    for (const Case& c : cases) {
        if (std::string(zone) != c.zone)
            continue;
        const double instant = JulianDateFromCalendar(2026, c.utcMonth - 1, c.utcDay, c.utcHour, 27, 40);
        EXPECT_EQ(UserFormat(2026, c.month, c.day, c.hour, 28), LocalInstantText(instant)) << c.zone;
        ++checked;
    }
    EXPECT_EQ(2, checked) << "no cases for TZ=" << zone;
}

// Four lines in time order, each named by its phase.
TEST(NextPhasesText, NamesFourPhasesOnALineEach) {
    // 2026-12-20 00:00 UT: first quarter on the 27th... all four follow within a lunation.
    const std::string text = NextPhasesText(JulianDateFromCalendar(2026, 11, 20, 0, 0, 0));
    size_t lines = 1;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
        ++lines;
    EXPECT_EQ(4u, lines) << text;
    for (const char* name : {"New moon: ", "First quarter: ", "Full moon: ", "Last quarter: "})
        EXPECT_NE(std::string::npos, text.find(name)) << text;
}

}  // namespace
