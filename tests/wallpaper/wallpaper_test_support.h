#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "wallpaper/image_encoder_win.h"

// Pictures and files for tests that draw with GDI+.
namespace wallpaper_test {

// What a device context shows in a rectangle, as 0x00RRGGBB rows top down.
struct PixelCapture {
    int width = 0;
    int height = 0;
    std::vector<DWORD> pixels;
};
PixelCapture CaptureFromDC(HDC source, int left, int top, int width, int height);

// A fresh, empty folder under the temporary directory, removed with its files at the end.
class CScratchFolder {
public:
    explicit CScratchFolder(const std::string& name);
    ~CScratchFolder();
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    std::string Path(const std::string& file) const { return folder + "\\" + file; }
    const std::string& Folder() const { return folder; }

private:
    std::string folder;
};

// A rectangle of one colour, for building test pictures.
struct Block {
    int x, y, width, height;
    Gdiplus::ARGB colour;
};

// Saves a width x height picture, transparent except for the blocks, in the format the
// path's extension selects. False when anything fails.
bool SavePicture(const std::string& path, int width, int height, std::initializer_list<Block> blocks);

// A saved picture reopened for reading pixels; null when it cannot be read.
GdipBitmapPtr OpenBitmap(const std::string& path);

Gdiplus::ARGB PixelAt(Gdiplus::GpBitmap* bitmap, int x, int y);

// Whether two colours differ by at most `tolerance` in each channel.
bool ColourNear(Gdiplus::ARGB actual, Gdiplus::ARGB expected, int tolerance = 8);

// Moves the calling thread onto a Wine virtual desktop of the given size, which has a
// notification area and shows the wallpaper; Wine creates it the first time a thread
// asks for it. The thread must not own a window yet. Waits for the desktop's task bar.
bool EnterVirtualDesktop(const std::string& name, int width, int height);

std::string ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);

}  // namespace wallpaper_test
