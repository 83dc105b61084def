#pragma once

#include <string>
#include <vector>

// One picture of the set and its catalogue entry.
struct PictureEntry {
    double ageDays = 0.0;
    double illuminatedPercent = 0.0;
    double phase = 0.0;          // on the program's 0 to 200 phase scale
    double elongationDeg = 0.0;  // the Moon's elongation from the Sun, which lights the picture
    std::string paper;
    std::string ann;
    std::string title;
    std::string description;  // "<br>" marks a line break
};

// The set: `evenlySpaced` ages through one synodic month (an even count, so that the full
// moon is one of them), except those that the folded phase scale would put out of order,
// followed by a last entry at phase 200 that shows the new moon again. Phases and
// illuminated fractions come from the program's own phase computation.
std::vector<PictureEntry> PlanMoonSet(int evenlySpaced);

// "New Moon", "Waxing Crescent", "First Quarter", ... for an age in days.
std::string PhaseName(double ageDays);

// The catalogue file for the set.
std::string CatalogueXml(const std::vector<PictureEntry>& entries);
