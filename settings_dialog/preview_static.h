#pragma once

#include <windows.h>

#include "win/imaging_win.h"
#include "win/window_base.h"

// A static control that shows the preview picture at its top-left corner on a black
// ground, in place of a static control of a dialog template. Owns the picture it shows.
class CPreviewStatic : public CWindowBase {
public:
    CPreviewStatic() = default;

    // Takes the place of control `controlId` of `dialog`: a control of this class with
    // the same id, styles, position and size replaces it. False when there is no such
    // control or the new one cannot be created.
    bool Attach(HWND dialog, int controlId);
    // Destroys the control.
    void Detach();

    // Installs a picture (or none), repaints the control and hands back the previous one.
    GdipBitmapPtr SetImage(GdipBitmapPtr newImage);

    Gdiplus::GpBitmap* GetImage() const { return image.get(); }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnPaint(HDC dc) override;
    void OnEraseBackground(HDC dc);

    GdipBitmapPtr image;
};
