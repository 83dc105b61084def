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

}  // namespace

std::string LocalInstantText(double julianDate) {
    const double minutes = std::floor((julianDate - kOleEpochJulianDate) * 1440.0 + 0.5);
    CalendarTime calendar;
    if (!CalendarFromDays(minutes / 1440.0, &calendar))
        return std::string();
    const SYSTEMTIME universal = {static_cast<WORD>(calendar.year), static_cast<WORD>(calendar.month),
                                  static_cast<WORD>(calendar.dayOfWeek), static_cast<WORD>(calendar.day),
                                  static_cast<WORD>(calendar.hour), static_cast<WORD>(calendar.minute), 0, 0};
    SYSTEMTIME local{};
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
        return std::string();
    char date[128] = {};
    char time[64] = {};
    if (!GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, &local, nullptr, date, sizeof date) ||
        !GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &local, nullptr, time, sizeof time))
        return std::string();
    return std::string(date) + ", " + time;
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
