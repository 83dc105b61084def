#include "astro/calendar.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class CFixedZone : public ITimeZone {
public:
    explicit CFixedZone(TimeZoneBias bias) : bias_(bias) {}
    TimeZoneBias CurrentBias() const override { return bias_; }

private:
    TimeZoneBias bias_;
};

DateValue Date(int year, int month, int day, int hour, int minute, int second) {
    CalendarTime time;
    time.year = year;
    time.month = month;
    time.day = day;
    time.hour = hour;
    time.minute = minute;
    time.second = second;
    DateValue value;
    EXPECT_TRUE(DaysFromCalendar(time, &value.days));
    value.status = DateValue::Status::valid;
    return value;
}

void ExpectCalendar(double days, int year, int month, int day, int hour, int minute, int second) {
    CalendarTime time;
    ASSERT_TRUE(CalendarFromDays(days, &time)) << days;
    EXPECT_EQ(year, time.year) << days;
    EXPECT_EQ(month, time.month) << days;
    EXPECT_EQ(day, time.day) << days;
    EXPECT_EQ(hour, time.hour) << days;
    EXPECT_EQ(minute, time.minute) << days;
    EXPECT_EQ(second, time.second) << days;
}

TEST(JulianDateFromCalendar, KnownDates) {
    EXPECT_DOUBLE_EQ(2451545.0, JulianDateFromCalendar(2000, 0, 1, 12, 0, 0));
    EXPECT_NEAR(2451544.499988426, JulianDateFromCalendar(1999, 11, 31, 23, 59, 59), 1e-9);
    EXPECT_DOUBLE_EQ(2444238.5, JulianDateFromCalendar(1980, 0, 0, 0, 0, 0));
    EXPECT_DOUBLE_EQ(2451603.5, JulianDateFromCalendar(2000, 1, 29, 0, 0, 0));
    EXPECT_DOUBLE_EQ(2451604.5, JulianDateFromCalendar(2000, 2, 1, 0, 0, 0));
}

TEST(JulianDateFromCalendar, GregorianReformIn1582) {
    EXPECT_DOUBLE_EQ(2299159.5, JulianDateFromCalendar(1582, 9, 4, 0, 0, 0));   // last Julian day
    EXPECT_DOUBLE_EQ(2299160.5, JulianDateFromCalendar(1582, 9, 15, 0, 0, 0));  // first Gregorian day
    EXPECT_DOUBLE_EQ(2299150.5, JulianDateFromCalendar(1582, 9, 5, 0, 0, 0));   // already Gregorian
    EXPECT_DOUBLE_EQ(2299138.5, JulianDateFromCalendar(1582, 8, 13, 0, 0, 0));  // September: Julian
}

TEST(OleDate, CalendarToDays) {
    EXPECT_DOUBLE_EQ(0.0, Date(1899, 12, 30, 0, 0, 0).days);
    EXPECT_DOUBLE_EQ(1.5, Date(1899, 12, 31, 12, 0, 0).days);
    EXPECT_DOUBLE_EQ(-1.25, Date(1899, 12, 29, 6, 0, 0).days);  // fraction counts forward
    EXPECT_DOUBLE_EQ(36526.0, Date(2000, 1, 1, 0, 0, 0).days);
    EXPECT_DOUBLE_EQ(36585.0, Date(2000, 2, 29, 0, 0, 0).days);
    EXPECT_DOUBLE_EQ(kDateMin, Date(100, 1, 1, 0, 0, 0).days);
    EXPECT_DOUBLE_EQ(kDateMax, Date(9999, 12, 31, 0, 0, 0).days);
    EXPECT_DOUBLE_EQ(Date(2001, 3, 1, 0, 0, 0).days, Date(2001, 2, 29, 0, 0, 0).days);  // rolls over
}

TEST(OleDate, RejectsImpossibleCalendarTimes) {
    double days = 0.0;
    CalendarTime time;
    time.year = 2000;
    time.month = 13;
    time.day = 1;
    EXPECT_FALSE(DaysFromCalendar(time, &days));
    time.month = 1;
    time.day = 32;
    EXPECT_FALSE(DaysFromCalendar(time, &days));
    time.day = 1;
    time.hour = 24;
    EXPECT_FALSE(DaysFromCalendar(time, &days));
    time.hour = 0;
    time.year = 10000;
    EXPECT_FALSE(DaysFromCalendar(time, &days));
}

TEST(OleDate, DaysToCalendar) {
    ExpectCalendar(0.0, 1899, 12, 30, 0, 0, 0);
    ExpectCalendar(-1.25, 1899, 12, 29, 6, 0, 0);
    ExpectCalendar(-0.5, 1899, 12, 30, 12, 0, 0);
    ExpectCalendar(36526.75, 2000, 1, 1, 18, 0, 0);
    ExpectCalendar(36526.0 + 86399.6 / 86400.0, 2000, 1, 2, 0, 0, 0);  // rounds into the next day
    ExpectCalendar(-2.0 - 86399.6 / 86400.0, 1899, 12, 29, 0, 0, 0);
    ExpectCalendar(kDateMax + 0.999, 9999, 12, 31, 23, 58, 34);

    CalendarTime time;
    ASSERT_TRUE(CalendarFromDays(36526.0, &time));
    EXPECT_EQ(6, time.dayOfWeek);  // 2000-01-01 was a Saturday
    EXPECT_FALSE(CalendarFromDays(kDateMax + 1.0, &time));
    EXPECT_FALSE(CalendarFromDays(kDateMin - 1.0, &time));
    EXPECT_FALSE(CalendarFromDays(std::nan(""), &time));
}

TEST(OleDate, RoundTripsWholeSeconds) {
    for (long long day = -100000; day < 200000; day += 37) {
        const double seconds = static_cast<double>((day * 7919 % 86400 + 86400) % 86400);
        const double days = static_cast<double>(day) + (day < 0 ? -seconds : seconds) / 86400.0;
        CalendarTime time;
        ASSERT_TRUE(CalendarFromDays(days, &time));
        double back = 0.0;
        ASSERT_TRUE(DaysFromCalendar(time, &back));
        ASSERT_NEAR(days, back, 1e-9) << days;
    }
}

TEST(LocalToUniversal, AddsTheBiasInForce) {
    const DateValue local = Date(2004, 6, 1, 14, 30, 0);
    const DateValue summer = LocalToUniversal(local, CFixedZone({-60, 0, -60, true}));
    const DateValue winter = LocalToUniversal(local, CFixedZone({-60, 0, -60, false}));
    EXPECT_TRUE(summer.IsValid());
    ExpectCalendar(summer.days, 2004, 6, 1, 12, 30, 0);
    ExpectCalendar(winter.days, 2004, 6, 1, 13, 30, 0);
    ExpectCalendar(LocalToUniversal(local, CFixedZone({300, 0, -60, false})).days, 2004, 6, 1, 19, 30, 0);
}

TEST(LocalToUniversal, CrossesMidnightAndDayZero) {
    ExpectCalendar(LocalToUniversal(Date(2004, 1, 1, 0, 30, 0), CFixedZone({-60, 0, 0, false})).days, 2003, 12, 31, 23,
                   30, 0);
    // Across 1899-12-30, where the OLE scale turns negative.
    ExpectCalendar(LocalToUniversal(Date(1899, 12, 30, 0, 30, 0), CFixedZone({-60, 0, 0, false})).days, 1899, 12, 29,
                   23, 30, 0);
    ExpectCalendar(LocalToUniversal(Date(1899, 12, 29, 23, 30, 0), CFixedZone({120, 0, 0, false})).days, 1899, 12, 30,
                   1, 30, 0);
    ExpectCalendar(LocalToUniversal(Date(1899, 12, 28, 6, 0, 0), CFixedZone({60, 0, 0, false})).days, 1899, 12, 28, 7,
                   0, 0);
}

TEST(LocalToUniversal, InvalidLocalDateStillGivesAValidResult) {
    const DateValue result = LocalToUniversal(DateValue{}, CFixedZone({-60, 0, 0, false}));
    EXPECT_TRUE(result.IsValid());
    ExpectCalendar(result.days, 1899, 12, 29, 23, 0, 0);
}

TEST(JulianDateFromDate, FollowsTheCalendarTime) {
    EXPECT_DOUBLE_EQ(2451545.0, JulianDateFromDate(Date(2000, 1, 1, 12, 0, 0)));
    EXPECT_NEAR(2451544.499988426, JulianDateFromDate(Date(1999, 12, 31, 23, 59, 59)), 1e-9);
    EXPECT_DOUBLE_EQ(JulianDateFromCalendar(-1, -2, -1, -1, -1, -1), JulianDateFromDate(DateValue{}));
}

TEST(CurrentLocalDate, IsWholeSecondsNow) {
    const DateValue now = CurrentLocalDate();
    ASSERT_TRUE(now.IsValid());
    EXPECT_GT(now.days, 46000.0);  // after 2025
    const double jd = JulianDateFromDate(LocalToUniversal(now));
    const double seconds = (jd - std::floor(jd)) * 86400.0;
    EXPECT_NEAR(seconds, std::round(seconds), 1e-3);
}

}  // namespace
