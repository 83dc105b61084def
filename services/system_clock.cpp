#include "astro/calendar.h"

DateValue CurrentLocalDate() {
    DateValue result;
    std::tm local{};
    if (!LocalBrokenDownTime(std::time(nullptr), &local))
        return result;
    CalendarTime time;
    time.year = local.tm_year + 1900;
    time.month = local.tm_mon + 1;
    time.dayOfWeek = local.tm_wday;
    time.day = local.tm_mday;
    time.hour = local.tm_hour;
    time.minute = local.tm_min;
    time.second = local.tm_sec;
    double days = 0.0;
    if (DaysFromCalendar(time, &days)) {
        result.days = days;
        result.status = DateValue::Status::valid;
    }
    return result;
}
