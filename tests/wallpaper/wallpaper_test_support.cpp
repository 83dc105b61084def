#include "tests/wallpaper/wallpaper_test_support.h"

#include "wallpaper/wallpaper_fit.h"

#include <fstream>
#include <sstream>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace wallpaper_test {

PixelCapture CaptureFromDC(HDC source, int left, int top, int width, int height) {
    PixelCapture capture;
    capture.width = width;
    capture.height = height;
    const HDC memory = CreateCompatibleDC(source);
    const HBITMAP bitmap = CreateCompatibleBitmap(source, width, height);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, left, top, SRCCOPY);
    SelectObject(memory, previous);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    capture.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), capture.pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    for (DWORD& pixel : capture.pixels)
        pixel &= 0x00FFFFFF;
    return capture;
}

CScratchFolder::CScratchFolder(const std::string& name) {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(sizeof(temp), temp);
    folder = std::string(temp) + name + "_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
}

CScratchFolder::~CScratchFolder() {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string path = folder + "\\" + found.cFileName;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveDirectoryA(path.c_str());
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

bool SavePicture(const std::string& path, int width, int height, std::initializer_list<Block> blocks) {
    const GdipBitmapPtr bitmap = CreateCanvas(static_cast<UINT>(width), static_cast<UINT>(height));
    if (!bitmap)
        return false;
    {
        GpGraphics* raw = nullptr;
        if (GdipGetImageGraphicsContext(bitmap.get(), &raw) != Ok)
            return false;
        const GdipGraphicsPtr graphics(raw);
        for (const Block& block : blocks) {
            GpSolidFill* rawBrush = nullptr;
            if (GdipCreateSolidFill(block.colour, &rawBrush) != Ok)
                return false;
            const GdipSolidFillPtr brush(rawBrush);
            if (GdipFillRectangleI(graphics.get(), brush.get(), block.x, block.y, block.width, block.height) != Ok)
                return false;
        }
    }
    CLSID encoder;
    if (!FindEncoderForExtension(PathExtension(path), &encoder))
        return false;
    return GdipSaveImageToFile(bitmap.get(), WideFromAnsi(path).c_str(), &encoder, nullptr) == Ok;
}

GdipBitmapPtr OpenBitmap(const std::string& path) {
    GpBitmap* raw = nullptr;
    if (GdipCreateBitmapFromFile(WideFromAnsi(path).c_str(), &raw) != Ok)
        return nullptr;
    return GdipBitmapPtr(raw);
}

ARGB PixelAt(GpBitmap* bitmap, int x, int y) {
    ARGB colour = 0;
    GdipBitmapGetPixel(bitmap, x, y, &colour);
    return colour;
}

bool ColourNear(ARGB actual, ARGB expected, int tolerance) {
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = static_cast<int>((actual >> shift) & 0xFF);
        const int e = static_cast<int>((expected >> shift) & 0xFF);
        if (a - e > tolerance || e - a > tolerance)
            return false;
    }
    return true;
}

bool EnterVirtualDesktop(const std::string& name, int width, int height) {
    // Wine makes a named desktop a virtual one of the size registered for its name.
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\Explorer\\Desktops", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(size.c_str()),
                   static_cast<DWORD>(size.size() + 1));
    RegCloseKey(key);

    // The handle stays open for the life of the process.
    const HDESK desktop = CreateDesktopA(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    if (!desktop || !SetThreadDesktop(desktop))
        return false;
    // The desktop's shell starts with its first window.
    const HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    bool ready = false;
    for (int i = 0; i < 400 && !ready; ++i) {
        ready = FindWindowA("Shell_TrayWnd", nullptr) != nullptr;
        if (!ready)
            Sleep(50);
    }
    if (probe)
        DestroyWindow(probe);
    return ready;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out);
}

}  // namespace wallpaper_test
