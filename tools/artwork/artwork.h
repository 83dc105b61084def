#pragma once

#include <map>
#include <string>
#include <vector>

#include "image_io.h"

// The program's resource artwork, file name (under resources/) to file bytes: the tray
// and window icon, the hand cursor of the viewer, and the viewer tool bar's background
// and button strips. `albedoMap` is the lunar map that the icon's Moon is rendered from.
std::map<std::string, std::vector<unsigned char>> GenerateArtwork(const Image& albedoMap);
