#pragma once

#include <windows.h>

#include "win/imaging_win.h"

// Takes over a dialog's static control to show the preview picture at its top-left
// corner on a black ground. Owns the picture it shows.
class CPreviewStatic {
public:
    CPreviewStatic() = default;
    ~CPreviewStatic();
    CPreviewStatic(const CPreviewStatic&) = delete;
    CPreviewStatic& operator=(const CPreviewStatic&) = delete;

    // Subclasses control `controlId` of `dialog`; false when there is no such control.
    bool Attach(HWND dialog, int controlId);
    // Gives the control back its own window procedure.
    void Detach();

    // Installs a picture (or none), repaints the control and hands back the previous one.
    GdipBitmapPtr SetImage(GdipBitmapPtr newImage);

    HWND GetHwnd() const { return control; }
    Gdiplus::GpBitmap* GetImage() const { return image.get(); }

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);
    void OnPaint();
    void OnEraseBackground(HDC dc);

    HWND control = nullptr;
    GdipBitmapPtr image;
};
