// The portable date arithmetic checked against the platform's own conversions.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "astro/calendar.h"

namespace {

// A reproducible spread of whole-second moments from 1600 to 2400.
class CMomentSequence {
public:
    double Next() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        const double first = -109572.0;  // 1600-01-01
        const double span = 182622.0;    // to 2400-01-01
        const uint64_t day = (state_ >> 33) % static_cast<uint64_t>(span);
        const uint64_t second = (state_ >> 11) % 86400;
        const double date = first + static_cast<double>(day);
        return date + (date < 0.0 ? -1.0 : 1.0) * static_cast<double>(second) / 86400.0;
    }

private:
    uint64_t state_ = 0x51A7E5EEDULL;
};

TEST(PlatformOleDate, DaysToCalendarMatchesVariantTimeToSystemTime) {
    CMomentSequence moments;
    for (int i = 0; i < 4000; ++i) {
        const double days = moments.Next();
        SYSTEMTIME expected{};
        ASSERT_TRUE(VariantTimeToSystemTime(days, &expected)) << days;
        CalendarTime actual;
        ASSERT_TRUE(CalendarFromDays(days, &actual)) << days;
        ASSERT_EQ(expected.wYear, actual.year) << days;
        ASSERT_EQ(expected.wMonth, actual.month) << days;
        ASSERT_EQ(expected.wDay, actual.day) << days;
        ASSERT_EQ(expected.wDayOfWeek, actual.dayOfWeek) << days;
        ASSERT_EQ(expected.wHour, actual.hour) << days;
        ASSERT_EQ(expected.wMinute, actual.minute) << days;
        ASSERT_EQ(expected.wSecond, actual.second) << days;
    }
}

TEST(PlatformOleDate, CalendarToDaysMatchesSystemTimeToVariantTime) {
    CMomentSequence moments;
    for (int i = 0; i < 4000; ++i) {
        CalendarTime time;
        ASSERT_TRUE(CalendarFromDays(moments.Next(), &time));
        SYSTEMTIME st{};
        st.wYear = static_cast<WORD>(time.year);
        st.wMonth = static_cast<WORD>(time.month);
        st.wDay = static_cast<WORD>(time.day);
        st.wHour = static_cast<WORD>(time.hour);
        st.wMinute = static_cast<WORD>(time.minute);
        st.wSecond = static_cast<WORD>(time.second);
        double expected = 0.0;
        ASSERT_TRUE(SystemTimeToVariantTime(&st, &expected));
        double actual = 0.0;
        ASSERT_TRUE(DaysFromCalendar(time, &actual));
        ASSERT_NEAR(expected, actual, 1e-9) << time.year << "-" << time.month << "-" << time.day;
    }
}

TEST(PlatformTime, PresentMomentIsUniversalTime) {
    // Read the platform's UTC on both sides of our own reading and accept either.
    SYSTEMTIME before{}, after{};
    GetSystemTime(&before);
    const double ours = JulianDateFromDate(LocalToUniversal(CurrentLocalDate()));
    GetSystemTime(&after);
    const double first = JulianDateFromCalendar(before.wYear, before.wMonth - 1, before.wDay, before.wHour,
                                                before.wMinute, before.wSecond);
    const double last =
        JulianDateFromCalendar(after.wYear, after.wMonth - 1, after.wDay, after.wHour, after.wMinute, after.wSecond);
    EXPECT_GE(ours, first - 2.0 / 86400.0);
    EXPECT_LE(ours, last + 2.0 / 86400.0);
}

}  // namespace
