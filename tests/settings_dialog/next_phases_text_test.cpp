#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

#include "astro/calendar.h"
#include "settings_dialog/next_phases_text.h"
#include "settings_dialog/sky_text.h"

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
    const Case cases[] = {{"Australia/Sydney", 12, 24, 12, 24, 12},
                          {"Australia/Sydney", 7, 1, 7, 1, 11},
                          {"America/New_York", 12, 24, 12, 23, 20},
                          {"America/New_York", 7, 1, 6, 30, 21}};
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
        EXPECT_EQ(time, LocalTimeText(instant)) << c.zone;
        ++checked;
    }
    EXPECT_EQ(2, checked) << "no cases for TZ=" << zone;
}

// The lines show the sky model's instants as the user reads them in the local zone; that
// the model finds the total eclipse of 31 December 2028 (greatest at 16:52 UT) is a check on
// the model.
TEST(SkyText, RiseSetAndEclipseLinesInTheLocalZone) {
    const GeoPlace oslo{59.9167, 10.75}, newYork{40.7142, -74.0064}, longyearbyen{78.0, 16.0};
    const double fullMoon = JulianDateFromCalendar(2026, 11, 24, 1, 27, 40);
    const MoonRiseSet next = NextMoonRiseSet(fullMoon, oslo);
    EXPECT_TRUE(next.riseJulianDate > fullMoon && next.riseJulianDate < fullMoon + 1.1);
    EXPECT_TRUE(next.setJulianDate > fullMoon && next.setJulianDate < fullMoon + 1.1);
    EXPECT_EQ("Moonrise: " + LocalTimeText(next.riseJulianDate) + " \xB7 Moonset: " + LocalTimeText(next.setJulianDate),
              MoonRiseSetText(fullMoon, oslo, LocalTimeText));
    // In the polar night the full Moon is circumpolar (some 27 degrees north) and the new
    // Moon of the same month never rises.
    EXPECT_EQ("The Moon stays up today", MoonRiseSetText(fullMoon, longyearbyen, LocalTimeText));
    EXPECT_EQ("The Moon stays down today",
              MoonRiseSetText(JulianDateFromCalendar(2026, 11, 9, 0, 0, 0), longyearbyen, LocalTimeText));

    const double before = JulianDateFromCalendar(2028, 11, 1, 0, 0, 0);
    const LunarEclipse eclipse = NextLunarEclipse(before);
    EXPECT_EQ(EclipseKind::Total, eclipse.kind);
    EXPECT_NEAR(JulianDateFromCalendar(2028, 11, 31, 16, 52, 0), eclipse.peakJulianDate, 5.0 / 1440.0);
    const std::string line = "Next lunar eclipse: total, " + LocalInstantText(eclipse.peakJulianDate);
    EXPECT_EQ(line + " (visible from Oslo)", NextEclipseText(before, "Oslo", oslo, LocalInstantText));
    EXPECT_EQ(line + " (not visible from 40.7\xB0 N, 74.0\xB0 W)",
              NextEclipseText(before, "", newYork, LocalInstantText));
}

}  // namespace
