#pragma once

// A civil calendar time, laid out like the platform's SYSTEMTIME: month 1 to 12,
// day of week 0 (Sunday) to 6.
struct CalendarTime {
    int year = 0;
    int month = 0;
    int dayOfWeek = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int milliseconds = 0;
};

// A moment as an OLE Automation date: days since 1899-12-30 00:00. Before that day the
// integer part is negative while the fraction still counts forward from midnight
// (-1.25 is 1899-12-29 06:00).
struct DateValue {
    enum class Status { valid, invalid };
    double days = 0.0;
    Status status = Status::invalid;

    bool IsValid() const { return status == Status::valid; }
};

// The earliest and latest OLE dates (100-01-01 and 9999-12-31).
constexpr double kDateMin = -657434.0;
constexpr double kDateMax = 2958465.0;

// Calendar time to OLE date, as SystemTimeToVariantTime does it. Days beyond the end of
// a month roll over into the next one. Fails for a month outside 1 to 12, a day outside
// 1 to 31, a time outside the day, or a result outside kDateMin to kDateMax.
bool DaysFromCalendar(const CalendarTime& time, double* days);

// OLE date to calendar time at whole-second resolution, as VariantTimeToSystemTime does
// it. Fails outside kDateMin to kDateMax (exclusive of the next whole day) and for NaN.
bool CalendarFromDays(double days, CalendarTime* time);

// Julian date of a calendar time; month is zero-based (0 = January). Dates up to
// 1582 October 4 are Julian calendar dates, from 1582 October 5 on Gregorian.
double JulianDateFromCalendar(int year, int month, int day, int hour, int minute, int second);

// Julian date of an OLE date. An invalid date gives components of -1.
double JulianDateFromDate(const DateValue& date);
