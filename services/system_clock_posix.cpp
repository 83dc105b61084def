#include "services/system_clock.h"

#include <ctime>

bool UniversalCalendarNow(CalendarTime* time) {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    if (!gmtime_r(&now, &utc))
        return false;
    *time = CalendarTime{utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_wday, utc.tm_mday,
                         utc.tm_hour,        utc.tm_min,     utc.tm_sec,  0};
    return true;
}
