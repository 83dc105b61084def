#include "viewer/picture_surface.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

constexpr LONG kBlock = 100;

LONG WholeBlocks(LONG pixels) {
    return (pixels + kBlock - 1) / kBlock * kBlock;
}

}  // namespace

bool CPictureSurface::Compose(GpImage* picture, GpImage* overlay) {
    Reset();
    const SIZE size = ImagePixelSize(picture);
    if (size.cx <= 0 || size.cy <= 0)
        return false;
    const LONG width = WholeBlocks(size.cx);
    const LONG height = WholeBlocks(size.cy);

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap.Get())
        return false;
    // A section is created all zeros: black. The imaging library draws straight into it.
    GpBitmap* rawTarget = nullptr;
    bool drawn = GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppRGB, static_cast<BYTE*>(bits),
                                           &rawTarget) == Ok;
    if (drawn) {
        const GdipBitmapPtr target(rawTarget);
        GpGraphics* rawGraphics = nullptr;
        drawn = GdipGetImageGraphicsContext(target.get(), &rawGraphics) == Ok;
        if (drawn) {
            const GdipGraphicsPtr graphics(rawGraphics);
            drawn = GdipDrawImageRectI(graphics.get(), picture, 0, 0, size.cx, size.cy) == Ok;
            const SIZE overlaySize = ImagePixelSize(overlay);
            if (drawn && overlaySize.cx > 0 && overlaySize.cy > 0)
                drawn = GdipDrawImageRectI(graphics.get(), overlay, 0, 0, overlaySize.cx, overlaySize.cy) == Ok;
            GdipFlush(graphics.get(), FlushIntentionSync);
        }
    }
    if (!drawn)
        bitmap.Reset();
    return drawn;
}

void CPictureSurface::Draw(HDC dc, const ZoomRect& destination, const ZoomRect& source) const {
    if (!bitmap.Get())
        return;
    const CMemoryDC memory(dc, bitmap.Get());
    if (!memory.Get())
        return;
    // The low-quality mode: each pane pixel takes one picture pixel.
    const int previousMode = SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, destination.left, destination.top, destination.Width(), destination.Height(), memory.Get(),
               source.left, source.top, source.Width(), source.Height(), SRCCOPY);
    SetStretchBltMode(dc, previousMode);
}
