#include "services/system_clock.h"

DateValue CurrentUniversalDate() {
    DateValue result;
    CalendarTime time;
    double days = 0.0;
    if (UniversalCalendarNow(&time) && DaysFromCalendar(time, &days)) {
        result.days = days;
        result.status = DateValue::Status::valid;
    }
    return result;
}

double CurrentJulianDate() {
    return JulianDateFromDate(CurrentUniversalDate());
}
