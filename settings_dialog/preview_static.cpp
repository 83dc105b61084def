#include "settings_dialog/preview_static.h"

#include "settings_dialog/preview_builder.h"
#include "settings_dialog/settings_choice.h"
#include "win/owners_win.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

// A superclass of the system's static control: everything but painting is the static's.
const WindowClassInfo kPreviewClass = {"QuellwickPreviewStatic", "Static", nullptr, 0};

void FillBlack(HDC dc, const ScreenRect& area) {
    const RECT rect = {area.left, area.top, area.right, area.bottom};
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

}  // namespace

bool CPreviewStatic::Attach(HWND dialog, int controlId) {
    Detach();
    const HWND placeholder = GetDlgItem(dialog, controlId);
    if (!placeholder)
        return false;
    RECT rect = {};
    GetWindowRect(placeholder, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(placeholder, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrA(placeholder, GWL_EXSTYLE));
    if (!CreateWindowOfClass(kPreviewClass, exStyle, "", style, rect, dialog, static_cast<UINT_PTR>(controlId)))
        return false;
    // The new control keeps the placeholder's place in the dialog's order.
    SetWindowPos(GetHwnd(), placeholder, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    DestroyWindow(placeholder);
    return true;
}

void CPreviewStatic::Detach() {
    if (GetHwnd())
        DestroyWindow(GetHwnd());
}

GdipBitmapPtr CPreviewStatic::SetImage(GdipBitmapPtr newImage) {
    image.swap(newImage);
    if (GetHwnd())
        InvalidateRect(GetHwnd(), nullptr, FALSE);
    return newImage;
}

LRESULT CPreviewStatic::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
        case WM_PRINTCLIENT:
            return PaintMessage(message, wParam);
        case WM_ERASEBKGND:
            OnEraseBackground(reinterpret_cast<HDC>(wParam));
            return TRUE;
        default:
            return DefaultProcessing(message, wParam, lParam);
    }
}

void CPreviewStatic::OnPaint(HDC dc) {
    if (!image) {
        // Repaints after a picture was taken away come without erasing.
        RECT client = {};
        GetClientRect(GetHwnd(), &client);
        FillBlack(dc, {0, 0, client.right, client.bottom});
        return;
    }
    // The picture's transparent parts show black, as they do on the wallpaper, rather
    // than whatever the control showed before.
    FillBlack(dc, {0, 0, kPreviewSize, kPreviewSize});
    GpGraphics* rawGraphics = nullptr;
    if (GdipCreateFromHDC(dc, &rawGraphics) != Ok)
        return;
    const GdipGraphicsPtr graphics(rawGraphics);
    const SIZE size = ImagePixelSize(image.get());
    GdipDrawImageRectRectI(graphics.get(), image.get(), 0, 0, kPreviewSize, kPreviewSize, 0, 0, size.cx, size.cy,
                           UnitPixel, nullptr, nullptr, nullptr);
}

void CPreviewStatic::OnEraseBackground(HDC dc) {
    RECT client = {};
    GetClientRect(GetHwnd(), &client);
    const SIZE size = ImagePixelSize(image.get());
    const PreviewStrips strips = PreviewBackgroundStrips(client.right, client.bottom, size.cx, size.cy);
    if (strips.right.used)
        FillBlack(dc, strips.right.rect);
    if (strips.below.used)
        FillBlack(dc, strips.below.rect);
}
