#pragma once

// The GDI+ imaging library as the system uses it: its start-up and shutdown, and loading
// pictures. The owners of its objects are in win/owners_win.h.

#include <filesystem>

#include "win/owners_win.h"

// The library's lifetime: started by the constructor (version 1, no debug callback, the
// library's background thread and external codecs allowed), shut down by the destructor.
class CGdiplusSession {
public:
    CGdiplusSession();
    ~CGdiplusSession();
    CGdiplusSession(const CGdiplusSession&) = delete;
    CGdiplusSession& operator=(const CGdiplusSession&) = delete;

    bool IsStarted() const { return started; }

private:
    ULONG_PTR token = 0;
    bool started = false;
};

// A picture loaded from a file, without colour correction.
// Null when the file is missing or cannot be decoded, or when the picture has no pixels.
GdipImagePtr LoadPicture(const std::filesystem::path& path);

// Turns a picture by a half turn in place. False when the library cannot.
bool TurnHalfTurn(Gdiplus::GpImage* image);

// A transparent 32-bit ARGB bitmap, or null.
GdipBitmapPtr CreateCanvas(UINT width, UINT height);

// Width and height of an image in pixels; 0 x 0 for a null image or on failure.
SIZE ImagePixelSize(Gdiplus::GpImage* image);
