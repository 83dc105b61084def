#include "astro/calendar.h"
#include "services/system_clock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace {

DateValue Date(int year, int month, int day, int hour, int minute, int second) {
    DateValue value;
    EXPECT_TRUE(DaysFromCalendar(CalendarTime{year, month, 0, day, hour, minute, second}, &value.days));
    value.status = DateValue::Status::valid;
    return value;
}

// Year, month, day, hour, minute and second of an OLE date.
using Ymdhms = std::tuple<int, int, int, int, int, int>;
Ymdhms Calendar(double days) {
    CalendarTime t;
    EXPECT_TRUE(CalendarFromDays(days, &t)) << days;
    return {t.year, t.month, t.day, t.hour, t.minute, t.second};
}

TEST(JulianDate, KnownDatesFromTheCalendarFromOleDatesAndOfNow) {
    // JulianDateFromCalendar counts months from 0.
    EXPECT_DOUBLE_EQ(2451545.0, JulianDateFromCalendar(2000, 0, 1, 12, 0, 0));
    EXPECT_DOUBLE_EQ(2444238.5, JulianDateFromCalendar(1980, 0, 0, 0, 0, 0));
    EXPECT_DOUBLE_EQ(2451604.5, JulianDateFromCalendar(2000, 2, 1, 0, 0, 0));
    EXPECT_DOUBLE_EQ(2451545.0, JulianDateFromDate(Date(2000, 1, 1, 12, 0, 0)));
    EXPECT_NEAR(2451544.499988426, JulianDateFromDate(Date(1999, 12, 31, 23, 59, 59)), 1e-9);
    EXPECT_DOUBLE_EQ(JulianDateFromCalendar(-1, -2, -1, -1, -1, -1), JulianDateFromDate(DateValue{}));

    // The present moment, in whole seconds.
    const DateValue now = CurrentUniversalDate();
    ASSERT_TRUE(now.IsValid());
    EXPECT_GT(now.days, 46000.0);  // after 2025
    const double jd = JulianDateFromDate(now);
    const double seconds = (jd - std::floor(jd)) * 86400.0;
    EXPECT_NEAR(seconds, std::round(seconds), 1e-3);
}

TEST(OleDate, BothWaysAndTheImpossibleTimes) {
    EXPECT_DOUBLE_EQ(-1.25, Date(1899, 12, 29, 6, 0, 0).days);  // fraction counts forward
    EXPECT_DOUBLE_EQ(kDateMin, Date(100, 1, 1, 0, 0, 0).days);
    EXPECT_DOUBLE_EQ(kDateMax, Date(9999, 12, 31, 0, 0, 0).days);
    EXPECT_DOUBLE_EQ(Date(2001, 3, 1, 0, 0, 0).days, Date(2001, 2, 29, 0, 0, 0).days);  // rolls over

    double days = 0.0;
    for (const CalendarTime& time : {CalendarTime{2000, 13, 0, 1}, CalendarTime{2000, 1, 0, 32},
                                     CalendarTime{2000, 1, 0, 1, 24}, CalendarTime{10000, 1, 0, 1}}) {
        EXPECT_FALSE(DaysFromCalendar(time, &days))
            << time.year << "-" << time.month << "-" << time.day << " " << time.hour << "h";
    }

    EXPECT_EQ(Ymdhms(1899, 12, 29, 6, 0, 0), Calendar(-1.25));
    EXPECT_EQ(Ymdhms(1899, 12, 30, 12, 0, 0), Calendar(-0.5));
    EXPECT_EQ(Ymdhms(2000, 1, 2, 0, 0, 0), Calendar(36526.0 + 86399.6 / 86400.0));  // rounds into the next day
    EXPECT_EQ(Ymdhms(1899, 12, 29, 0, 0, 0), Calendar(-2.0 - 86399.6 / 86400.0));
    EXPECT_EQ(Ymdhms(9999, 12, 31, 23, 58, 34), Calendar(kDateMax + 0.999));

    CalendarTime time;
    ASSERT_TRUE(CalendarFromDays(36526.0, &time));
    EXPECT_EQ(6, time.dayOfWeek);  // 2000-01-01 was a Saturday
    EXPECT_FALSE(CalendarFromDays(kDateMax + 1.0, &time));
    EXPECT_FALSE(CalendarFromDays(kDateMin - 1.0, &time));
    EXPECT_FALSE(CalendarFromDays(std::nan(""), &time));
}

}  // namespace
