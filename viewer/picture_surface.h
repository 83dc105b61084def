#pragma once

#include <windows.h>

#include "viewer/zoom_scroll_model.h"
#include "win/imaging_win.h"
#include "win/owners_win.h"

// A picture composed once onto black in a GDI bitmap, so that every paint is one stretch
// blit: the imaging library's own scaler is far too slow for a fullscreen pane. The bitmap
// is padded with black to whole blocks of 100 picture pixels, so that every block a paint
// asks for lies inside it.
class CPictureSurface {
public:
    // The picture, with `overlay` (may be null) drawn over it at the same scale, both from
    // their top-left corners. False, and empty, when either cannot be drawn.
    bool Compose(Gdiplus::GpImage* picture, Gdiplus::GpImage* overlay);
    void Reset() { bitmap.Reset(); }
    bool IsEmpty() const { return bitmap.Get() == nullptr; }

    // Stretches `source` (picture pixels) into `destination` (device coordinates).
    void Draw(HDC dc, const ZoomRect& destination, const ZoomRect& source) const;

private:
    CBitmapOwner bitmap;
};
