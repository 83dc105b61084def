#pragma once

#include <filesystem>

// How the user views the Moon's pictures.
struct ViewSettings {
    bool annotated = false;  // with the overlay that names the features
    bool southern = false;   // as seen from the southern hemisphere: turned by a half turn
};

// The files that show one catalogue entry as viewed: the picture, its overlay (empty for
// none), and whether the picture is turned by a half turn. The overlay is drawn as it is:
// the southern overlay has its labels upright beside the turned features already.
struct PictureFiles {
    std::filesystem::path picture;
    std::filesystem::path overlay;
    bool turned = false;
};

inline bool operator==(const PictureFiles& a, const PictureFiles& b) {
    return a.picture == b.picture && a.overlay == b.overlay && a.turned == b.turned;
}
