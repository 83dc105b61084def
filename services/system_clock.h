#pragma once

#include "astro/calendar.h"

// The present moment in universal time, read from the platform's clock at whole-second
// resolution. False when the clock cannot be read.
bool UniversalCalendarNow(CalendarTime* time);

// The present moment in universal time as an OLE date, at whole-second resolution. Taken
// straight from the clock, so neither a TZ variable nor a zone changed while the program
// runs can move it. Invalid (days 0) when the clock cannot be read.
DateValue CurrentUniversalDate();

// The present moment as a Julian date (UT).
double CurrentJulianDate();
