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

// The overlay that labels a picture turned by a half turn, as the Moon is seen from the
// southern hemisphere: the file named by `ann` with "_south" before its extension
// ("moon_07_ann.png" gives "moon_07_ann_south.png"). The picture set's generator writes
// one beside every overlay; a catalogue is free to have none, and then the turned picture
// is shown without labels. Empty when `ann` is.
inline std::string SouthernOverlayName(const std::string& ann) {
    if (ann.empty())
        return ann;
    const std::string::size_type dot = ann.find_last_of('.');
    const std::string::size_type separator = ann.find_last_of("\\/");
    const bool hasExtension = dot != std::string::npos && (separator == std::string::npos || dot > separator);
    return hasExtension ? ann.substr(0, dot) + "_south" + ann.substr(dot) : ann + "_south";
}
