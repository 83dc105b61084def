#include "astro/calendar.h"

#include <cmath>

namespace {

// 1899-12-30, day 0 of the OLE scale, counted from 1970-01-01.
constexpr long long kOleEpochFromUnixDays = -25569;

// Days from 1970-01-01 of a proleptic Gregorian date. The day may run past the end of
// its month; it simply counts on.
long long DaysFromCivil(long long year, int month, int day) {
    year -= month <= 2;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const long long yearOfEra = year - era * 400;
    const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(long long days, CalendarTime* time) {
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const long long dayOfEra = days - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long monthIndex = (5 * dayOfYear + 2) / 153;
    const int month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    time->year = static_cast<int>(yearOfEra + era * 400 + (month <= 2));
    time->month = month;
    time->day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
}

}  // namespace

bool DaysFromCalendar(const CalendarTime& time, double* days) {
    if (time.month < 1 || time.month > 12 || time.day < 1 || time.day > 31)
        return false;
    if (time.hour < 0 || time.hour > 23 || time.minute < 0 || time.minute > 59 || time.second < 0 || time.second > 59)
        return false;
    const double date = static_cast<double>(DaysFromCivil(time.year, time.month, time.day) - kOleEpochFromUnixDays);
    if (date < kDateMin || date > kDateMax)
        return false;
    // The time of day counts away from day 0, so before 1899-12-30 it is subtracted.
    const double sign = date < 0.0 ? -1.0 : 1.0;
    double value = date;
    value += time.hour / 24.0 * sign;
    value += time.minute / 1440.0 * sign;
    value += time.second / 86400.0 * sign;
    *days = value;
    return true;
}

bool CalendarFromDays(double days, CalendarTime* time) {
    if (!(days > kDateMin - 1.0 && days < kDateMax + 1.0))
        return false;
    const double datePart = std::trunc(days);
    long long seconds = std::llround(std::fabs(days - datePart) * 86400.0);
    long long civilDay = static_cast<long long>(datePart) + kOleEpochFromUnixDays;
    if (seconds >= 86400) {  // rounded up to the next midnight
        seconds -= 86400;
        ++civilDay;
    }
    CivilFromDays(civilDay, time);
    time->dayOfWeek = static_cast<int>(((civilDay + 4) % 7 + 7) % 7);  // 1970-01-01 was a Thursday
    time->hour = static_cast<int>(seconds / 3600);
    time->minute = static_cast<int>(seconds / 60 % 60);
    time->second = static_cast<int>(seconds % 60);
    time->milliseconds = 0;
    return true;
}

double JulianDateFromCalendar(int year, int month, int day, int hour, int minute, int second) {
    int m = month + 1;
    int y = year;
    if (m <= 2) {
        y -= 1;
        m += 12;
    }
    int b = 0;
    const bool julianCalendar = year < 1582 || (year == 1582 && (month < 9 || (month == 9 && day < 5)));
    if (!julianCalendar) {
        const int a = y / 100;
        b = 2 - a + a / 4;
    }
    const long long whole =
        static_cast<long long>(365.25 * (y + 4716)) + static_cast<long long>(30.6001 * (m + 1)) + day + b;
    return static_cast<double>(whole) - 1524.5 + ((hour * 60 + minute) * 60 + second) / 86400.0;
}

double JulianDateFromDate(const DateValue& date) {
    CalendarTime time;
    if (!date.IsValid() || !CalendarFromDays(date.days, &time)) {
        time.year = time.month = time.day = time.hour = time.minute = time.second = -1;
    }
    return JulianDateFromCalendar(time.year, time.month - 1, time.day, time.hour, time.minute, time.second);
}
