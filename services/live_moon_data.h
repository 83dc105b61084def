#pragma once

#include "moon_render/albedo_map.h"
#include "moon_render/moon_overlay.h"
#include "services/mapped_file.h"
#include "services/picture_set.h"

// The data folder's albedo map and, for labels, its two fonts, mapped into memory for the
// time of one drawing: nothing is decoded and nothing stays once it is done.
class CLiveMoonData {
public:
    CLiveMoonData(const CPictureSet& pictures, bool labels);
    CLiveMoonData(const CLiveMoonData&) = delete;
    CLiveMoonData& operator=(const CLiveMoonData&) = delete;

    // Whether the map, and the fonts when asked for, could be read.
    bool IsReady() const { return ready; }
    const CAlbedoMap& Map() const { return map; }
    // Null without labels.
    const FontFile* Regular() const { return labels ? &regular : nullptr; }
    const FontFile* Bold() const { return labels ? &bold : nullptr; }

private:
    CMappedFile mapFile, regularFile, boldFile;
    CAlbedoMap map;
    FontFile regular, bold;
    bool labels = false;
    bool ready = false;
};
