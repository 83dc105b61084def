#include "viewer/viewer_toolbar.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "resources/resource.h"
#include "viewer/viewer_commands.h"
#include "win/app_instance.h"
#include "win/screen_dpi_win.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

const WindowClassInfo kToolbarClass = {"QuellwickViewerToolbar", nullptr, nullptr, 0};

constexpr int kCellWidth = 21;
constexpr int kButtonGap = 4;

struct ButtonRow {
    UINT command;
    UINT strip;
    UINT tooltip;
};

// Left to right.
constexpr ButtonRow kButtons[] = {
    {kCommandPreviousPhase, IDB_BUTTON_PREVIOUS_PHASE, IDS_PREVIOUS_PHASE},
    {kCommandNextPhase, IDB_BUTTON_NEXT_PHASE, IDS_NEXT_PHASE},
    {kCommandAnnotations, IDB_BUTTON_ANNOTATIONS, IDS_SHOW_ANNOTATIONS},
    {kCommandBestFit, IDB_BUTTON_BEST_FIT, IDS_ZOOM_TO_FIT},
    {kCommandActualSize, IDB_BUTTON_ACTUAL_SIZE, IDS_ACTUAL_SIZE},
    {kCommandZoomIn, IDB_BUTTON_ZOOM_IN, IDS_ZOOM_IN},
    {kCommandZoomOut, IDB_BUTTON_ZOOM_OUT, IDS_ZOOM_OUT},
    {kCommandClose, IDB_BUTTON_CLOSE, IDS_CLOSE},
};

std::string LoadResourceString(UINT id) {
    char text[256] = {};
    const int length = LoadStringA(AppInstance().GetInstance(), id, text, sizeof(text));
    return std::string(text, static_cast<size_t>(std::max(length, 0)));
}

}  // namespace

GdipImagePtr LoadResourcePicture(UINT resourceId) {
    GpBitmap* raw = nullptr;
    if (GdipCreateBitmapFromResource(AppInstance().GetInstance(),
                                     reinterpret_cast<const WCHAR*>(MAKEINTRESOURCEW(resourceId)), &raw) != Ok) {
        return nullptr;
    }
    return GdipImagePtr(raw);
}

CViewerToolbar::~CViewerToolbar() {
    if (GetHwnd())
        DestroyWindow(GetHwnd());
}

HWND CViewerToolbar::Create(HWND frame) {
    const RECT initial = {500, 500, 540, 525};
    return CreateWindowOfClass(kToolbarClass, WS_EX_TOOLWINDOW, nullptr, WS_POPUP | WS_VISIBLE, initial, frame, 0);
}

LRESULT CViewerToolbar::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            OnCreate();
            return 0;
        case WM_PAINT:
        case WM_PRINTCLIENT:
            return PaintMessage(message, wParam);
        case WM_CHAR:
        case WM_KEYDOWN:
            SendMessageA(Owner(), message, wParam, lParam);
            return 0;
        case WM_DESTROY:
            TearDown();
            return 0;
        case WM_MOUSEACTIVATE:
            // A click on a button leaves the viewer frame the active window.
            return MA_NOACTIVATE;
        case WM_WINDOWPOSCHANGING:
            OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam));
            return DefaultProcessing(message, wParam, lParam);
        case WM_COMMAND:
            if (IsViewerCommand(LOWORD(wParam))) {
                OnCommand(wParam, lParam);
                return 0;
            }
            return DefaultProcessing(message, wParam, lParam);
        default:
            if (message == WM_MOUSEWHEEL || (wheelMessage != 0 && message == wheelMessage))
                return SendMessageA(Owner(), message, wParam, lParam);
            return DefaultProcessing(message, wParam, lParam);
    }
}

void CViewerToolbar::OnCreate() {
    wheelMessage = RegisterWindowMessageA(kWheelMessageName);
    layout = {ScaleToScreen(2), ScaleToScreen(2), ScaleToScreen(27), ScaleToScreen(25)};
    buttons.clear();
    for (const ButtonRow& row : kButtons)
        AddButton(row.command, row.strip, row.tooltip);
    background = LoadResourcePicture(IDB_TOOLBAR_BACKGROUND);
}

void CViewerToolbar::AddButton(UINT commandId, UINT stripResource, UINT tooltipString) {
    auto button = std::make_unique<CToolButton>(CToolButton::kHover | CToolButton::kAutoSize);
    if (!button->Create(GetHwnd(), layout, commandId))
        return;
    button->SetStrip(LoadResourcePicture(stripResource), kCellWidth);
    button->SetImageIndices(0, 1, 2, 3);
    button->SetToolTipText(LoadResourceString(tooltipString));
    RECT window;
    GetWindowRect(button->GetHwnd(), &window);
    OffsetRect(&layout, window.right - window.left + ScaleToScreen(kButtonGap), 0);
    buttons.push_back(std::move(button));
}

void CViewerToolbar::ResetTooltip(UINT commandId) {
    for (const auto& button : buttons) {
        if (button->GetHwnd() && static_cast<UINT>(GetDlgCtrlID(button->GetHwnd())) == commandId &&
            button->GetToolTip()) {
            SendMessageA(button->GetToolTip(), TTM_ACTIVATE, FALSE, 0);
            SendMessageA(button->GetToolTip(), TTM_ACTIVATE, TRUE, 0);
        }
    }
}

void CViewerToolbar::OnPaint(HDC dc) {
    RECT client;
    GetClientRect(GetHwnd(), &client);
    const SIZE size = ImagePixelSize(background.get());
    GpGraphics* raw = nullptr;
    if (background && GdipCreateFromHDC(dc, &raw) == Ok) {
        const GdipGraphicsPtr graphics(raw);
        GdipDrawImageRectRectI(graphics.get(), background.get(), 0, 0, client.right, client.bottom, 0, 0, size.cx,
                               size.cy, UnitPixel, nullptr, nullptr, nullptr);
    }
}

void CViewerToolbar::OnWindowPosChanging(WINDOWPOS* position) {
    // Lengths in pixels at 96 DPI, scaled to the screen's, as the buttons are.
    int width = ScaleToScreen(2);
    int height = 0;
    if (!destroying) {
        for (const auto& button : buttons) {
            RECT window = {};
            if (button->GetHwnd())
                GetWindowRect(button->GetHwnd(), &window);
            width += window.right - window.left + ScaleToScreen(kButtonGap);
            height = std::max(height, static_cast<int>(window.bottom - window.top));
        }
    }
    height += ScaleToScreen(4);
    RECT owner = {};
    GetClientRect(Owner(), &owner);
    // A popup's position is in screen coordinates: with the frame maximized this is the
    // screen's top-right corner, left of where the pane's vertical scroll bar goes.
    position->x = owner.right - width - GetSystemMetrics(SM_CXVSCROLL);
    position->y = owner.top + ScaleToScreen(2);
    position->cx = width;
    position->cy = height;
    position->flags &= ~SWP_NOSIZE;
    SetFocus(Owner());
}

void CViewerToolbar::OnCommand(WPARAM wParam, LPARAM lParam) {
    SendMessageA(Owner(), WM_COMMAND, wParam, lParam);
    // Close destroys this window.
    if (GetHwnd())
        SetFocus(Owner());
}

void CViewerToolbar::TearDown() {
    destroying = true;
    for (const auto& button : buttons) {
        button->SetStrip(nullptr, 0);
        if (button->GetHwnd())
            DestroyWindow(button->GetHwnd());
    }
    background.reset();
    destroying = false;
}
