#include "viewer/moon_view.h"

#include <windowsx.h>

#include "resources/resource.h"
#include "viewer/viewer_commands.h"
#include "win/app_instance.h"
#include "win/wait_cursor.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

const WindowClassInfo kViewClass = {"QuellwickMoonView", nullptr, nullptr, CS_DBLCLKS};

HCURSOR DragCursor() {
    return LoadCursorA(AppInstance().GetInstance(), MAKEINTRESOURCEA(IDC_DRAG_HAND));
}

int BarOf(ScrollAxis axis) {
    return axis == ScrollAxis::Horizontal ? SB_HORZ : SB_VERT;
}

}  // namespace

CMoonView::~CMoonView() {
    if (GetHwnd())
        DestroyWindow(GetHwnd());
}

HWND CMoonView::Create(HWND frame) {
    const RECT empty = {0, 0, 0, 0};
    return CreateWindowOfClass(kViewClass, WS_EX_CLIENTEDGE, nullptr,
                               WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, empty, frame, 0);
}

void CMoonView::SetImages(GdipImagePtr plain, GdipImagePtr annotated, bool show) {
    plainPicture = std::move(plain);
    annotatedPicture = std::move(annotated);
    showAnnotations = show;
    const CWaitCursor wait;
    plainSurface.Compose(plainPicture.get(), nullptr);
    annotatedSurface.Reset();
    if (annotatedPicture)
        annotatedSurface.Compose(plainPicture.get(), annotatedPicture.get());
    // The scroll range and both rectangles of every paint come from the plain picture alone.
    const SIZE size = ImagePixelSize(plainPicture.get());
    model.SetPictureSize(static_cast<uint32_t>(size.cx), static_cast<uint32_t>(size.cy));
    Apply(model.Relayout());
}

void CMoonView::ZoomToFit() {
    const ZoomSize client = ClientSize();
    const LONG_PTR style = GetHwnd() ? GetWindowLongPtrA(GetHwnd(), GWL_STYLE) : 0;
    const CWaitCursor wait;
    Apply(model.ZoomToFit(client.cx, client.cy, (style & WS_VSCROLL) != 0, GetSystemMetrics(SM_CXVSCROLL),
                          (style & WS_HSCROLL) != 0, GetSystemMetrics(SM_CYHSCROLL)));
}

void CMoonView::ZoomActualSize() {
    const CWaitCursor wait;
    Apply(model.ZoomActualSize());
}

void CMoonView::ZoomStep(ZoomDirection direction, int anchorX, int anchorY) {
    const ViewUpdate update = model.ZoomStep(direction, anchorX, anchorY);
    if (update.IsEmpty())
        return;
    const CWaitCursor wait;
    Apply(update);
}

void CMoonView::ScrollLine(ScrollAxis axis, ScrollCode code) {
    Apply(model.ScrollLine(axis, code));
}

void CMoonView::ToggleAnnotations() {
    showAnnotations = !showAnnotations;
    if (GetHwnd())
        InvalidateRect(GetHwnd(), nullptr, TRUE);
}

ZoomSize CMoonView::ClientSize() const {
    RECT client = {};
    if (GetHwnd())
        GetClientRect(GetHwnd(), &client);
    return {client.right, client.bottom};
}

void CMoonView::Apply(const ViewUpdate& update) {
    // Setting a bar may show or hide it, which resizes the pane at once: WM_SIZE then
    // carries out the model's resize before this update goes on.
    SetScrollBar(ScrollAxis::Horizontal, update.horizontalBar);
    SetScrollBar(ScrollAxis::Vertical, update.verticalBar);
    if (update.placement.kind != Placement::Kind::None)
        Apply(model.Place(update.placement, ClientSize()));
    if (!GetHwnd())
        return;
    if (update.scrollBy.x != 0 || update.scrollBy.y != 0) {
        ScrollWindowEx(GetHwnd(), update.scrollBy.x, update.scrollBy.y, nullptr, nullptr, nullptr, nullptr,
                       SW_INVALIDATE);
    }
    if (update.invalidateAll)
        InvalidateRect(GetHwnd(), nullptr, TRUE);
}

void CMoonView::SetScrollBar(ScrollAxis axis, unsigned parts) {
    if (parts == 0 || !GetHwnd())
        return;
    const ScrollBarSettings bar = model.GetScrollBar(axis);
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    if (parts & kScrollBarRange) {
        info.fMask |= SIF_RANGE;
        info.nMin = bar.min;
        info.nMax = bar.max;
    }
    if (parts & kScrollBarPage) {
        info.fMask |= SIF_PAGE;
        info.nPage = static_cast<UINT>(bar.page > 0 ? bar.page : 0);
    }
    if (parts & kScrollBarPosition) {
        info.fMask |= SIF_POS;
        info.nPos = bar.position;
    }
    SetScrollInfo(GetHwnd(), BarOf(axis), &info, TRUE);
}

LRESULT CMoonView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            eraseAll = true;
            wheelMessage = RegisterWindowMessageA(kWheelMessageName);
            return 0;
        case WM_ERASEBKGND:
            OnEraseBackground(reinterpret_cast<HDC>(wParam));
            return 1;
        case WM_MOUSEWHEEL:
            OnWheel(GET_WHEEL_DELTA_WPARAM(wParam), lParam);
            return 0;
        case WM_LBUTTONDOWN:
            OnLButtonDown(lParam);
            return 0;
        case WM_LBUTTONUP:
            if (model.IsDragging()) {
                EndDrag();
                ReleaseCapture();
            }
            return 0;
        case WM_MOUSEMOVE:
            if (!model.IsDragging())
                return DefaultProcessing(message, wParam, lParam);
            OnMouseMove(lParam);
            return 0;
        case WM_CAPTURECHANGED:
            // Capture taken away in the middle of a drag (another window, a system key) ends it.
            if (model.IsDragging() && reinterpret_cast<HWND>(lParam) != GetHwnd())
                EndDrag();
            return 0;
        case WM_CHAR:
        case WM_KEYDOWN:
            SendMessageA(GetParent(GetHwnd()), message, wParam, lParam);
            return 0;
        case WM_SIZE:
            Apply(model.OnClientResize(LOWORD(lParam), HIWORD(lParam)));
            return 0;
        case WM_HSCROLL:
            OnScroll(ScrollAxis::Horizontal, wParam);
            return 0;
        case WM_VSCROLL:
            OnScroll(ScrollAxis::Vertical, wParam);
            return 0;
        case WM_PAINT:
        case WM_PRINTCLIENT:
            return PaintMessage(message, wParam);
        default:
            if (wheelMessage != 0 && message == wheelMessage) {
                OnWheel(static_cast<int>(wParam), lParam);
                return 0;
            }
            return DefaultProcessing(message, wParam, lParam);
    }
}

void CMoonView::OnEraseBackground(HDC dc) {
    const auto black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    for (const ZoomRect& strip : model.BackgroundRects(ClientSize(), eraseAll)) {
        const RECT rect = {strip.left, strip.top, strip.right, strip.bottom};
        FillRect(dc, &rect, black);
    }
}

void CMoonView::OnPaint(HDC dc) {
    if (plainSurface.IsEmpty())
        return;
    RECT clip;
    if (GetClipBox(dc, &clip) == NULLREGION || IsRectEmpty(&clip))
        return;
    // Content coordinates are client coordinates moved by the offset.
    const ZoomPoint offset = model.GetOffset();
    const ZoomRect content = {clip.left + offset.x, clip.top + offset.y, clip.right + offset.x, clip.bottom + offset.y};
    PaintPlan plan;
    if (!model.PaintRects(content, plan))
        return;
    const ZoomRect destination = {plan.destination.left - offset.x, plan.destination.top - offset.y,
                                  plan.destination.right - offset.x, plan.destination.bottom - offset.y};
    // While dragging, the overlay is left out; the release repaints the whole pane with it.
    const bool annotated = showAnnotations && !annotatedSurface.IsEmpty() && !model.IsDragging();
    (annotated ? annotatedSurface : plainSurface).Draw(dc, destination, plan.source);
}

void CMoonView::OnWheel(int delta, LPARAM screenPoint) {
    POINT pointer = {GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
    ScreenToClient(GetHwnd(), &pointer);
    ZoomStep(delta > 0 ? ZoomDirection::In : ZoomDirection::Out, pointer.x, pointer.y);
}

void CMoonView::OnScroll(ScrollAxis axis, WPARAM wParam) {
    const auto code = static_cast<ScrollCode>(LOWORD(wParam));
    int32_t track = 0;
    if (code == ScrollCode::ThumbPosition || code == ScrollCode::ThumbTrack) {
        // The message carries only 16 bits of the position; the bar keeps all 32.
        SCROLLINFO info = {};
        info.cbSize = sizeof(info);
        info.fMask = SIF_TRACKPOS;
        GetScrollInfo(GetHwnd(), BarOf(axis), &info);
        track = info.nTrackPos;
    }
    Apply(model.ScrollLine(axis, code, track));
}

void CMoonView::OnLButtonDown(LPARAM lParam) {
    Apply(model.DragPress({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}));
    savedCursor = GetCursor();
    SetCursor(DragCursor());
    SetCapture(GetHwnd());
}

void CMoonView::OnMouseMove(LPARAM lParam) {
    Apply(model.DragMove({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}));
    SetCursor(DragCursor());
}

void CMoonView::EndDrag() {
    const ViewUpdate update = model.DragRelease();
    SetCursor(savedCursor);
    Apply(update);
}
