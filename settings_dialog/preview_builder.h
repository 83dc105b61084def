#pragma once

#include "catalog/picture_files.h"
#include "win/imaging_win.h"

// Width and height of the settings dialog's preview picture, in pixels.
constexpr int kPreviewSize = 128;

// The 128 x 128 ARGB preview of an entry's files (CPictureSet::FilesFor): the 128 x 128
// thumbnail of its picture, turned when the files say so, and the thumbnail of its overlay
// over it with pure black left out. Pictures that cannot be loaded draw nothing, so the
// preview may stay transparent. Null only when the preview bitmap itself cannot be made.
GdipBitmapPtr BuildPreview(const PictureFiles& files);
