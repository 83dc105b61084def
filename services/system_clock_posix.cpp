#include "astro/calendar.h"

#include <ctime>

namespace {

// The C library knows the offset of the moment it converts; express it as a bias.
class CSystemTimeZone : public ITimeZone {
public:
    TimeZoneBias CurrentBias() const override {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        if (!localtime_r(&now, &local))
            return TimeZoneBias{};
        return TimeZoneBias{-local.tm_gmtoff / 60, 0, 0, false};
    }
};

}  // namespace

const ITimeZone& SystemTimeZone() {
    static const CSystemTimeZone zone;
    return zone;
}

bool UniversalCalendarNow(CalendarTime* time) {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    if (!gmtime_r(&now, &utc))
        return false;
    *time = CalendarTime{utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_wday, utc.tm_mday,
                         utc.tm_hour,        utc.tm_min,     utc.tm_sec,  0};
    return true;
}
