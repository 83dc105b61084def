#include "astro/calendar.h"

#include <windows.h>

namespace {

class CSystemTimeZone : public ITimeZone {
public:
    TimeZoneBias CurrentBias() const override {
        TIME_ZONE_INFORMATION info{};
        // A failed query still leaves the record's biases to read (zero when cleared).
        const DWORD id = GetTimeZoneInformation(&info);
        return TimeZoneBias{info.Bias, info.StandardBias, info.DaylightBias, id == TIME_ZONE_ID_DAYLIGHT};
    }
};

}  // namespace

const ITimeZone& SystemTimeZone() {
    static const CSystemTimeZone zone;
    return zone;
}

bool UniversalCalendarNow(CalendarTime* time) {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    SYSTEMTIME utc{};
    if (!FileTimeToSystemTime(&now, &utc))
        return false;
    *time = CalendarTime{utc.wYear, utc.wMonth, utc.wDayOfWeek, utc.wDay, utc.wHour, utc.wMinute, utc.wSecond, 0};
    return true;
}
