#pragma once

#include <string>

// One picture of the Moon in the catalogue. File names are relative to the data
// directory; `ann` is empty when the picture has no annotated variant.
struct MoonEntry {
    std::string paper;
    double phase = 0.0;  // position in the lunar cycle, 0 (new) to 100 (full) to 200 (new)
    std::string ann;
    std::string title;
    std::string description;  // white space normalised, line breaks as CR LF

    // The text that lists the entry: its title, or its picture's file name.
    const std::string& DisplayName() const { return title.empty() ? paper : title; }
};
