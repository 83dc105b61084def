#include "moon_set.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "astro/moon_phase.h"
#include "astro/moon_selection.h"
#include "moon_render/moon_features.h"
#include "moon_render/moon_geometry.h"

namespace {

constexpr double kSynodicMonth = 29.53058868;
// A new moon near the start of 2000, refined below with the program's own model.
constexpr double kReferenceNewMoonGuess = 2451550.26;

double SignedLunation(double julianDate) {
    const double f = ComputeMoonPhase(julianDate).lunationFraction;
    return f >= 0.5 ? f - 1.0 : f;
}

// The instant near the guess at which the model's lunation starts again.
double FindNewMoon(double guess) {
    double lo = guess - 2.0, hi = guess + 2.0;
    for (int i = 0; i < 60; ++i) {
        const double mid = (lo + hi) / 2.0;
        (SignedLunation(mid) < 0.0 ? lo : hi) = mid;
    }
    return hi;
}

// The instant after `newMoon` at which the model gives the age `ageDays`.
double FindAge(double newMoon, double ageDays) {
    double jd = newMoon + ageDays;
    for (int i = 0; i < 50; ++i) {
        double error = ageDays - ComputeMoonPhase(jd).ageDays;
        if (error > kSynodicMonth / 2.0)
            error -= kSynodicMonth;
        else if (error < -kSynodicMonth / 2.0)
            error += kSynodicMonth;
        jd += error;
        if (std::fabs(error) < 1e-9)
            break;
    }
    return jd;
}

std::string Format(const char* format, double a, double b = 0.0) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, format, a, b);
    return buffer;
}

std::string JoinNames(const std::vector<const char*>& names) {
    std::string text;
    for (size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            text += i + 1 == names.size() ? " and " : ", ";
        text += names[i];
    }
    return text;
}

// One or two sentences on what the night's Moon shows best.
std::string Highlights(double ageDays, double illuminatedPercent, double elongationDeg) {
    const bool waxing = ageDays < kSynodicMonth / 2.0;
    if (illuminatedPercent < 1.0)
        return "The Moon stands close to the Sun and is lost in its glare; only faint earthshine lights the near side.";
    std::vector<const MoonFeature*> nearTerminator;
    for (const MoonFeature& feature : NearSideFeatures()) {
        const double elevation = SunElevationDeg(feature.latitudeDeg, feature.longitudeDeg, elongationDeg);
        const double limbDistance = SurfaceNormal(feature.latitudeDeg, feature.longitudeDeg).z;
        if (elevation > 0.0 && elevation < 10.0 && limbDistance > 0.25 && feature.kind != FeatureKind::LandingSite)
            nearTerminator.push_back(&feature);
    }
    std::stable_sort(nearTerminator.begin(), nearTerminator.end(), [](const MoonFeature* a, const MoonFeature* b) {
        if ((a->kind == FeatureKind::Crater) != (b->kind == FeatureKind::Crater))
            return a->kind == FeatureKind::Crater;
        return a->rank < b->rank;
    });
    std::vector<const char*> names;
    for (size_t i = 0; i < nearTerminator.size() && i < 3; ++i)
        names.push_back(nearTerminator[i]->name);

    std::string text;
    if (illuminatedPercent > 98.0)
        text = "The Sun stands high over the whole near side: the relief flattens out, and the bright rays of "
               "Tycho and Copernicus stretch across the maria.";
    else if (!names.empty())
        text = std::string(waxing ? "Sunrise along the terminator brings out " : "The setting Sun along the terminator "
                                                                                 "brings out ") +
               JoinNames(names) + " in long shadows.";
    if (illuminatedPercent < 12.0)
        text += std::string(text.empty() ? "" : " ") +
                (waxing ? "A thin crescent in the evening twilight, with earthshine on the dark side."
                        : "A thin crescent before dawn, with earthshine on the dark side.");
    else if (std::fabs(illuminatedPercent - 50.0) < 8.0)
        text += std::string(text.empty() ? "" : " ") + "The terminator runs almost straight down the middle of the disc.";
    return text.empty() ? "The lit part of the disc shows its maria and highlands clearly." : text;
}

void AppendEscaped(std::string& out, const std::string& text) {
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
}

}  // namespace

std::string PhaseName(double ageDays) {
    const double quarter = kSynodicMonth / 4.0;
    const double a = std::fmod(std::fmod(ageDays, kSynodicMonth) + kSynodicMonth, kSynodicMonth);
    if (a < 0.4 || a > kSynodicMonth - 0.4)
        return "New Moon";
    if (std::fabs(a - quarter) < 0.5)
        return "First Quarter";
    if (std::fabs(a - 2.0 * quarter) < 0.4)
        return "Full Moon";
    if (std::fabs(a - 3.0 * quarter) < 0.5)
        return "Last Quarter";
    if (a < quarter)
        return "Waxing Crescent";
    if (a < 2.0 * quarter)
        return "Waxing Gibbous";
    if (a < 3.0 * quarter)
        return "Waning Gibbous";
    return "Waning Crescent";
}

std::vector<PictureEntry> PlanMoonSet(int evenlySpaced) {
    std::vector<PictureEntry> entries;
    const double newMoon = FindNewMoon(kReferenceNewMoonGuess);
    for (int k = 0; k < evenlySpaced; ++k) {
        const double targetAge = kSynodicMonth * k / evenlySpaced;
        const PhaseInfo info = ComputeMoonPhase(k == 0 ? newMoon : FindAge(newMoon, targetAge));
        double age = info.ageDays;
        double elongation = info.lunationFraction * 360.0;
        if (k == 0 && age > kSynodicMonth / 2.0) {
            // The instant of new moon may land a hair before the wrap of the lunation.
            age = 0.0;
            elongation = 0.0;
        }
        const double percent = info.illuminatedFraction * 100.0;
        // Between an age of 14 days and the full moon the folded scale runs backwards.
        if (age > kWaningAgeDays && age < kSynodicMonth / 2.0 - 1e-6)
            continue;
        PictureEntry entry;
        entry.ageDays = age;
        entry.illuminatedPercent = percent;
        entry.phase = PhaseScaleValue(percent, age);
        entry.elongationDeg = elongation;
        const int index = static_cast<int>(entries.size());
        char name[32];
        std::snprintf(name, sizeof name, "moon_%02d.jpg", index);
        entry.paper = name;
        std::snprintf(name, sizeof name, "moon_%02d_ann.png", index);
        entry.ann = name;
        const std::string phaseName = PhaseName(age);
        entry.title = phaseName + Format(", day %.1f", age);
        entry.description = phaseName + "<br>" + Format(percent < 1.0 && percent > 0.05 ? "Age %.1f days, %.1f%% illuminated." : "Age %.1f days, %.0f%% illuminated.", age, percent) + "<br>" +
                            Highlights(age, percent, elongation);
        entries.push_back(entry);
    }
    // The top of the scale, so that the nearest-entry search covers the last days of the
    // month: the new moon again.
    PictureEntry last = entries.front();
    last.ageDays = kSynodicMonth;
    last.phase = 200.0;
    last.title = "New Moon, day 29.5";
    last.description = "New Moon<br>Age 29.5 days, 0% illuminated.<br>" + Highlights(0.0, 0.0, 0.0);
    entries.push_back(last);
    return entries;
}

std::string CatalogueXml(const std::vector<PictureEntry>& entries) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Quellwicks>\n";
    for (const PictureEntry& entry : entries) {
        xml += "  <Quellwick paper=\"";
        AppendEscaped(xml, entry.paper);
        xml += "\" phase=\"" + Format("%.3f", entry.phase) + "\" ann=\"";
        AppendEscaped(xml, entry.ann);
        xml += "\" title=\"";
        AppendEscaped(xml, entry.title);
        xml += "\">";
        AppendEscaped(xml, entry.description);
        xml += "</Quellwick>\n";
    }
    xml += "</Quellwicks>\n";
    return xml;
}
