#include "settings_dialog/sky_text.h"

#include <charconv>
#include <cmath>

namespace {

// The altitude of the Moon's centre at which its upper limb touches the horizon, seen
// through the standard refraction of 34': the horizon of almanacs' rise and set times.
constexpr double kHorizonAltitudeDeg = -(34.0 + 15.5) / 60.0;

bool AboveHorizon(double julianDate, const GeoPlace& place) {
    return ComputeMoonInPlace(julianDate, place).altitudeDeg > kHorizonAltitudeDeg;
}

// "59.9° N": rounded first, so that a value that rounds to zero is neither south nor west.
std::string AngleText(double degrees, char positive, char negative) {
    const double rounded = std::round(degrees * 10.0) / 10.0;
    char text[32];
    const std::to_chars_result written =
        std::to_chars(text, text + sizeof text, std::fabs(rounded), std::chars_format::fixed, 1);
    return std::string(text, written.ptr) + "\xB0 " + (rounded < 0.0 ? negative : positive);
}

std::string CoordinatesText(const GeoPlace& place) {
    return AngleText(place.latitudeDeg, 'N', 'S') + ", " + AngleText(place.longitudeDeg, 'E', 'W');
}

const char* KindName(EclipseKind kind) {
    switch (kind) {
        case EclipseKind::Penumbral:
            return "penumbral";
        case EclipseKind::Partial:
            return "partial";
        case EclipseKind::Total:
            break;
    }
    return "total";
}

}  // namespace

std::string PlaceText(const std::string& name, const GeoPlace& place) {
    if (name.empty())
        return "Your place: " + CoordinatesText(place);
    return "Your place: " + name + " (" + CoordinatesText(place) + ")";
}

std::string MoonRiseSetText(double julianDate, const GeoPlace& place, const InstantText& timeText) {
    const MoonRiseSet next = NextMoonRiseSet(julianDate, place);
    if (next.riseJulianDate == 0.0 && next.setJulianDate == 0.0)
        return AboveHorizon(julianDate, place) ? "The Moon stays up today" : "The Moon stays down today";
    std::string text;
    if (next.riseJulianDate != 0.0)
        text = "Moonrise: " + timeText(next.riseJulianDate);
    if (next.setJulianDate != 0.0)
        text += (text.empty() ? "" : " \xB7 ") + std::string("Moonset: ") + timeText(next.setJulianDate);
    return text;
}

std::string NextEclipseText(double julianDate, const std::string& name, const GeoPlace& place,
                            const InstantText& instantText) {
    const LunarEclipse eclipse = NextLunarEclipse(julianDate);
    return std::string("Next lunar eclipse: ") + KindName(eclipse.kind) + ", " + instantText(eclipse.peakJulianDate) +
           (AboveHorizon(eclipse.peakJulianDate, place) ? " (visible from " : " (not visible from ") +
           (name.empty() ? CoordinatesText(place) : name) + ")";
}
