#include "services/system_clock.h"

#include <windows.h>

bool UniversalCalendarNow(CalendarTime* time) {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    SYSTEMTIME utc{};
    if (!FileTimeToSystemTime(&now, &utc))
        return false;
    *time = CalendarTime{utc.wYear, utc.wMonth, utc.wDayOfWeek, utc.wDay, utc.wHour, utc.wMinute, utc.wSecond, 0};
    return true;
}
