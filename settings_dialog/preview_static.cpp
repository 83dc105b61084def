#include "settings_dialog/preview_static.h"

#include <commctrl.h>

#include "settings_dialog/preview_builder.h"
#include "settings_dialog/settings_choice.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

constexpr UINT_PTR kSubclassId = 1;

void FillBlack(HDC dc, const ScreenRect& area) {
    const RECT rect = {area.left, area.top, area.right, area.bottom};
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

// Pairs BeginPaint with EndPaint.
class CPaintScope {
public:
    explicit CPaintScope(HWND paintedWindow) : window(paintedWindow), dc(BeginPaint(paintedWindow, &paint)) {}
    ~CPaintScope() { EndPaint(window, &paint); }
    CPaintScope(const CPaintScope&) = delete;
    CPaintScope& operator=(const CPaintScope&) = delete;
    HDC Dc() const { return dc; }

private:
    PAINTSTRUCT paint = {};
    HWND window;
    HDC dc;
};

}  // namespace

CPreviewStatic::~CPreviewStatic() {
    Detach();
}

bool CPreviewStatic::Attach(HWND dialog, int controlId) {
    Detach();
    const HWND found = GetDlgItem(dialog, controlId);
    if (!found ||
        !SetWindowSubclass(found, &CPreviewStatic::SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    control = found;
    return true;
}

void CPreviewStatic::Detach() {
    if (control) {
        RemoveWindowSubclass(control, &CPreviewStatic::SubclassProc, kSubclassId);
        control = nullptr;
    }
}

GdipBitmapPtr CPreviewStatic::SetImage(GdipBitmapPtr newImage) {
    image.swap(newImage);
    if (control)
        InvalidateRect(control, nullptr, FALSE);
    return newImage;
}

LRESULT CALLBACK CPreviewStatic::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR self) {
    auto* preview = reinterpret_cast<CPreviewStatic*>(self);
    switch (message) {
        case WM_PAINT:
            preview->OnPaint();
            return 0;
        case WM_ERASEBKGND:
            preview->OnEraseBackground(reinterpret_cast<HDC>(wParam));
            return TRUE;
        case WM_NCDESTROY:
            // The control is going; nothing of it may be used afterwards.
            preview->Detach();
            return DefSubclassProc(window, message, wParam, lParam);
        default:
            return DefSubclassProc(window, message, wParam, lParam);
    }
}

void CPreviewStatic::OnPaint() {
    const CPaintScope paint(control);
    if (!image) {
        // Repaints after a picture was taken away come without erasing.
        RECT client = {};
        GetClientRect(control, &client);
        FillBlack(paint.Dc(), {0, 0, client.right, client.bottom});
        return;
    }
    // The picture's transparent parts show black, as they do on the wallpaper, rather
    // than whatever the control showed before.
    FillBlack(paint.Dc(), {0, 0, kPreviewSize, kPreviewSize});
    GpGraphics* rawGraphics = nullptr;
    if (GdipCreateFromHDC(paint.Dc(), &rawGraphics) != Ok)
        return;
    const GdipGraphicsPtr graphics(rawGraphics);
    const SIZE size = ImagePixelSize(image.get());
    GdipDrawImageRectRectI(graphics.get(), image.get(), 0, 0, kPreviewSize, kPreviewSize, 0, 0, size.cx, size.cy,
                           UnitPixel, nullptr, nullptr, nullptr);
}

void CPreviewStatic::OnEraseBackground(HDC dc) {
    RECT client = {};
    GetClientRect(control, &client);
    const SIZE size = ImagePixelSize(image.get());
    const PreviewStrips strips = PreviewBackgroundStrips(client.right, client.bottom, size.cx, size.cy);
    if (strips.right.used)
        FillBlack(dc, strips.right.rect);
    if (strips.below.used)
        FillBlack(dc, strips.below.rect);
}
