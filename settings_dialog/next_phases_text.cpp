#include "settings_dialog/next_phases_text.h"

#include <windows.h>

#include <cmath>

#include "astro/calendar.h"
#include "astro/principal_phases.h"

namespace {

// The Julian date of the OLE date 0 (1899-12-30 00:00).
constexpr double kOleEpochJulianDate = 2415018.5;

const char* PhaseName(PrincipalPhase kind) {
    switch (kind) {
        case PrincipalPhase::NewMoon: return "New moon";
        case PrincipalPhase::FirstQuarter: return "First quarter";
        case PrincipalPhase::FullMoon: return "Full moon";
        case PrincipalPhase::LastQuarter: break;
    }
    return "Last quarter";
}

// The local time of a universal-time Julian date, to the nearest minute; false beyond what
// the platform converts.
bool LocalTimeOf(double julianDate, SYSTEMTIME* local) {
    const double minutes = std::floor((julianDate - kOleEpochJulianDate) * 1440.0 + 0.5);
    CalendarTime calendar;
    if (!CalendarFromDays(minutes / 1440.0, &calendar))
        return false;
    const SYSTEMTIME universal = {static_cast<WORD>(calendar.year), static_cast<WORD>(calendar.month),
                                  static_cast<WORD>(calendar.dayOfWeek), static_cast<WORD>(calendar.day),
                                  static_cast<WORD>(calendar.hour), static_cast<WORD>(calendar.minute), 0, 0};
    return SystemTimeToTzSpecificLocalTime(nullptr, &universal, local) != FALSE;
}

std::string TimeText(const SYSTEMTIME& local) {
    char time[64] = {};
    if (!GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &local, nullptr, time, sizeof time))
        return std::string();
    return time;
}

}  // namespace

std::string LocalInstantText(double julianDate) {
    SYSTEMTIME local{};
    char date[128] = {};
    if (!LocalTimeOf(julianDate, &local) ||
        !GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, &local, nullptr, date, sizeof date))
        return std::string();
    const std::string time = TimeText(local);
    return time.empty() ? time : std::string(date) + ", " + time;
}

std::string LocalTimeText(double julianDate) {
    SYSTEMTIME local{};
    return LocalTimeOf(julianDate, &local) ? TimeText(local) : std::string();
}

std::string NextPhasesText(double julianDate) {
    std::string text;
    for (const PhaseInstant& phase : NextPrincipalPhases(julianDate)) {
        if (!text.empty())
            text += "\r\n";
        text += std::string(PhaseName(phase.kind)) + ": " + LocalInstantText(phase.julianDate);
    }
    return text;
}
