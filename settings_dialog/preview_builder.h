#pragma once

#include <filesystem>

#include "catalog/moon_entry.h"
#include "win/imaging_win.h"

// Width and height of the settings dialog's preview picture, in pixels.
constexpr int kPreviewSize = 128;

// The 128 x 128 ARGB preview of an entry: the 128 x 128 thumbnail of its picture, and,
// when `annotated`, the thumbnail of its annotated picture over it with pure black left
// out. Pictures that cannot be loaded draw nothing, so the preview may stay transparent.
// Null only when the preview bitmap itself cannot be made. `southern` shows the Moon as
// seen from the southern hemisphere: the picture turned by a half turn, with the southern
// overlay (SouthernOverlayName).
GdipBitmapPtr BuildPreview(const MoonEntry& entry, bool annotated, bool southern = false);

// BuildPreview with the entry's file names taken relative to `directory` (which ends in a
// separator) instead of the data directory.
GdipBitmapPtr BuildPreviewFrom(const std::filesystem::path& directory, const MoonEntry& entry, bool annotated,
                               bool southern = false);
