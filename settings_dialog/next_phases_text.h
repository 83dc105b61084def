#pragma once

#include <string>

// A universal-time Julian date, to the nearest minute, as the user reads it: the local
// time of the machine's time zone in the user's long date format and time format without
// seconds, "Thursday, 24 December 2026, 02:28" in a British setting. Empty when the date
// is beyond what the platform converts.
std::string LocalInstantText(double julianDate);
// The same instant's local time alone, "02:28".
std::string LocalTimeText(double julianDate);

// The next four principal phases after `julianDate` (UT), one line each in time order,
// "Full moon: " followed by LocalInstantText; lines end in CR LF, the last one excepted.
std::string NextPhasesText(double julianDate);
