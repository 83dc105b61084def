#include "win/imaging_win.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

CGdiplusSession::CGdiplusSession() {
    GdiplusStartupInput input;
    started = GdiplusStartup(&token, &input, nullptr) == Ok;
}

CGdiplusSession::~CGdiplusSession() {
    if (started)
        GdiplusShutdown(token);
}

GdipImagePtr LoadPicture(const std::filesystem::path& path) {
    GpImage* raw = nullptr;
    if (path.empty() || GdipLoadImageFromFile(path.c_str(), &raw) != Ok)
        return nullptr;
    GdipImagePtr image(raw);
    const SIZE size = ImagePixelSize(image.get());
    if (size.cx == 0 || size.cy == 0)
        image.reset();
    return image;
}

GdipBitmapPtr CreateCanvas(UINT width, UINT height) {
    GpBitmap* raw = nullptr;
    if (GdipCreateBitmapFromScan0(static_cast<INT>(width), static_cast<INT>(height), 0, PixelFormat32bppARGB, nullptr,
                                  &raw) != Ok) {
        return nullptr;
    }
    return GdipBitmapPtr(raw);
}

SIZE ImagePixelSize(GpImage* image) {
    SIZE size = {0, 0};
    UINT width = 0;
    UINT height = 0;
    if (image && GdipGetImageWidth(image, &width) == Ok && GdipGetImageHeight(image, &height) == Ok) {
        size.cx = static_cast<LONG>(width);
        size.cy = static_cast<LONG>(height);
    }
    return size;
}

bool TurnHalfTurn(Gdiplus::GpImage* image) {
    return image && Gdiplus::DllExports::GdipImageRotateFlip(image, Gdiplus::Rotate180FlipNone) == Gdiplus::Ok;
}
