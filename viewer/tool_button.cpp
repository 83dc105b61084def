#include "viewer/tool_button.h"

#include <commctrl.h>
#include <windowsx.h>

#include "win/app_instance.h"
#include "win/screen_dpi_win.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

const WindowClassInfo kButtonClass = {"QuellwickToolButton", "BUTTON", nullptr, 0};

// The tool record up to its lParam member, which every version of the control accepts.
TOOLINFOA ToolFor(HWND button, const std::string* text) {
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = button;
    tool.uId = reinterpret_cast<UINT_PTR>(button);
    tool.lpszText = text ? const_cast<char*>(text->c_str()) : nullptr;
    return tool;
}

}  // namespace

CToolButton::~CToolButton() {
    if (toolTip)
        DestroyWindow(toolTip);
}

HWND CToolButton::Create(HWND parent, const RECT& rect, UINT commandId) {
    return CreateWindowOfClass(kButtonClass, 0, nullptr, WS_CHILD | WS_VISIBLE, rect, parent, commandId);
}

GdipImagePtr CToolButton::SetStrip(GdipImagePtr picture, int width) {
    GdipImagePtr previous = std::move(strip);
    strip = std::move(picture);
    cellWidth = width;
    if (strip && (extendedStyle & kAutoSize) && GetHwnd()) {
        const SIZE size = ImagePixelSize(strip.get());
        RECT rect = {0, 0, ScaleToScreen(cellWidth), ScaleToScreen(size.cy)};
        AdjustWindowRectEx(&rect, static_cast<DWORD>(GetWindowLongPtrA(GetHwnd(), GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongPtrA(GetHwnd(), GWL_EXSTYLE)));
        SetWindowPos(GetHwnd(), nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return previous;
}

void CToolButton::SetImageIndices(int normal, int pushed, int hover, int disabled) {
    const int values[4] = {normal, pushed, hover, disabled};
    for (int i = 0; i < 4; ++i) {
        if (values[i] != -1)
            cells[i] = values[i];
    }
}

void CToolButton::SetToolTipText(const std::string& text) {
    toolTipText = text;
    if (!toolTip)
        return;
    if (toolTipText.empty()) {
        SendMessageA(toolTip, TTM_ACTIVATE, FALSE, 0);
        return;
    }
    SendMessageA(toolTip, TTM_ACTIVATE, TRUE, 0);
    RegisterTool();
}

void CToolButton::RegisterTool() {
    TOOLINFOA tool = ToolFor(GetHwnd(), &toolTipText);
    SendMessageA(toolTip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(toolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

int CToolButton::CurrentCell() const {
    int cell = cells[kNormalFace];
    if (state & kPressed)
        cell = cells[kPushedFace];
    else if ((state & kMouseOver) || (!(extendedStyle & kHover) && (state & kFocus)))
        cell = cells[kHoverFace];
    else if (GetHwnd() && !IsWindowEnabled(GetHwnd()))
        cell = cells[kDisabledFace];
    return cell == -1 ? cells[kNormalFace] : cell;
}

LRESULT CToolButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_MOUSEFIRST && message <= WM_MBUTTONDBLCLK)
        RelayToToolTip(message, wParam, lParam);
    switch (message) {
        case WM_CREATE:
            return OnCreate(lParam);
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
        case WM_PRINTCLIENT:
            return PaintMessage(message, wParam);
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            OnFocus(message == WM_SETFOCUS);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            OnLButtonDown();
            return 0;
        case WM_LBUTTONUP:
            OnLButtonUp();
            return 0;
        case WM_CAPTURECHANGED:
            OnCaptureChanged();
            return 0;
        case WM_ENABLE:
            Redraw(false);
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(lParam);
            return 0;
        case WM_MOUSELEAVE:
            OnMouseLeave();
            return 0;
        case WM_KEYDOWN:
        case WM_KEYUP:
            // A hover-styled button is never pressed from the keyboard.
            if ((extendedStyle & kHover) && wParam == VK_SPACE)
                return 0;
            return DefaultProcessing(message, wParam, lParam);
        case WM_DESTROY:
            if (toolTip) {
                DestroyWindow(toolTip);
                toolTip = nullptr;
            }
            return DefaultProcessing(message, wParam, lParam);
        default:
            return DefaultProcessing(message, wParam, lParam);
    }
}

LRESULT CToolButton::OnCreate(LPARAM lParam) {
    const LRESULT result = DefaultProcessing(WM_CREATE, 0, lParam);
    if (result == -1)
        return result;
    // The system button never paints this window itself.
    SetWindowLongPtrA(GetHwnd(), GWL_STYLE, (GetWindowLongPtrA(GetHwnd(), GWL_STYLE) & ~BS_TYPEMASK) | BS_OWNERDRAW);
    toolTip =
        CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, GetHwnd(), nullptr, AppInstance().GetInstance(), nullptr);
    if (toolTip && !toolTipText.empty()) {
        SendMessageA(toolTip, TTM_ACTIVATE, TRUE, 0);
        RegisterTool();
    }
    return result;
}

void CToolButton::RelayToToolTip(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!toolTip)
        return;
    MSG relayed = {};
    relayed.hwnd = GetHwnd();
    relayed.message = message;
    relayed.wParam = wParam;
    relayed.lParam = lParam;
    relayed.time = GetMessageTime();
    const DWORD position = GetMessagePos();
    relayed.pt = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    SendMessageA(toolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

void CToolButton::OnLButtonDown() {
    SetCapture(GetHwnd());
    SetStateBit(kPressed, true);
    Redraw(true);
}

void CToolButton::OnLButtonUp() {
    if (GetCapture() != GetHwnd())
        return;
    if (state & kPressed) {
        // The parent may destroy this window while it handles the command.
        SendMessageA(GetParent(GetHwnd()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(GetHwnd()), BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetHwnd()));
    }
    ReleaseCapture();
}

void CToolButton::OnMouseMove(LPARAM lParam) {
    if (GetCapture() == GetHwnd()) {
        POINT pointer = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(GetHwnd(), &pointer);
        RECT window;
        GetWindowRect(GetHwnd(), &window);
        const bool over = PtInRect(&window, pointer) != FALSE;
        if (over != ((state & kPressed) != 0)) {
            SetStateBit(kPressed, over);
            Redraw(true);
        }
        return;
    }
    if (!(state & kMouseOver)) {
        SetStateBit(kMouseOver, true);
        Redraw(true);
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, GetHwnd(), 0};
        _TrackMouseEvent(&track);
    }
}

void CToolButton::OnMouseLeave() {
    SetStateBit(kMouseOver, false);
    Redraw(false);
}

void CToolButton::OnCaptureChanged() {
    if (state & kPressed) {
        SetStateBit(kPressed, false);
        Redraw(false);
    }
}

void CToolButton::OnFocus(bool focused) {
    SetStateBit(kFocus, focused);
    Redraw(false);
}

void CToolButton::SetStateBit(DWORD bit, bool on) {
    state = on ? (state | bit) : (state & ~bit);
}

void CToolButton::Redraw(bool now) {
    if (!GetHwnd())
        return;
    InvalidateRect(GetHwnd(), nullptr, TRUE);
    if (now)
        UpdateWindow(GetHwnd());
}

void CToolButton::OnPaint(HDC dc) {
    if (!strip)
        return;
    const SIZE size = ImagePixelSize(strip.get());
    GpGraphics* raw = nullptr;
    if (GdipCreateFromHDC(dc, &raw) != Ok)
        return;
    const GdipGraphicsPtr graphics(raw);
    // The faces are drawn for 96 DPI and scaled to the screen's.
    GdipSetInterpolationMode(graphics.get(), InterpolationModeHighQualityBicubic);
    GdipDrawImageRectRectI(graphics.get(), strip.get(), 0, 0, ScaleToScreen(cellWidth), ScaleToScreen(size.cy),
                           cellWidth * CurrentCell(), 0, cellWidth, size.cy, UnitPixel, nullptr, nullptr, nullptr);
}
