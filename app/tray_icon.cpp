#include "app/tray_icon.h"

#include <shellapi.h>

#include "resources/app_messages.h"
#include "win/app_instance.h"
#include "win/gdi_owners_win.h"

namespace {

const WindowClassInfo kWindowClass = {kTrayWindowClass, nullptr, nullptr, 0};
constexpr UINT kTimerId = 1;

// The record's first form: window, id, flags, message, icon and a 64-character tip.
static_assert(sizeof(void*) != 4 || NOTIFYICONDATAA_V1_SIZE == 88, "unexpected notification record size");

}  // namespace

CTrayIcon::CTrayIcon() : taskbarCreatedMessage(RegisterWindowMessageA("TaskbarCreated")) {}

bool CTrayIcon::PreHandleMessage(UINT message, WPARAM, LPARAM, LRESULT* result) {
    if (message != taskbarCreatedMessage || taskbarCreatedMessage == 0)
        return false;
    if (shown)
        NotifyShell(NIM_ADD);
    *result = 0;
    return true;
}

void CTrayIcon::NotifyShell(DWORD shellMessage) {
    NOTIFYICONDATAA data = {};
    // The first form of the record: all this icon needs, and understood by every shell.
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = GetHwnd();
    data.uID = 0;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_TRAYNOTIFY;
    lstrcpynA(data.szTip, tooltip.c_str(), 64);
    // The shell keeps its own copy of the image, so ours lives only for this call. Loading
    // at the small-icon size keeps it sharp at every display scaling.
    const CIconOwner icon(shellMessage == NIM_DELETE
                              ? nullptr
                              : static_cast<HICON>(LoadImageA(AppInstance().GetInstance(), MAKEINTRESOURCEA(iconId),
                                                              IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                              GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR)));
    data.hIcon = icon.Get();
    Shell_NotifyIconA(shellMessage, &data);
}

bool CTrayIcon::Create() {
    const RECT empty = {0, 0, 0, 0};
    if (!CreateWindowOfClass(kWindowClass, 0, kTrayWindowTitle, WS_POPUP, empty, nullptr, 0))
        return false;
    NotifyShell(NIM_ADD);
    return true;
}

void CTrayIcon::Destroy() {
    NotifyShell(NIM_DELETE);
    if (GetHwnd())
        DestroyWindow(GetHwnd());
}

void CTrayIcon::SetTooltipText(const std::string& text) {
    tooltip = text;
    NotifyShell(NIM_MODIFY);
}

void CTrayIcon::SetIcon(UINT id) {
    iconId = LOWORD(id);
    NotifyShell(NIM_MODIFY);
}

void CTrayIcon::EnableTimer(bool enable, UINT periodMs) {
    if (GetHwnd())
        KillTimer(GetHwnd(), timerId);
    timerId = 0;
    if (enable && GetHwnd())
        timerId = SetTimer(GetHwnd(), kTimerId, periodMs, nullptr);
    timerPeriod = LOWORD(periodMs);
    timerEnabled = enable;
}

void CTrayIcon::Show(bool show) {
    if (show) {
        if (!shown)
            Create();
        EnableTimer(timerEnabled, timerPeriod);
    } else if (shown) {
        if (timerEnabled && GetHwnd())
            KillTimer(GetHwnd(), timerId);
        Destroy();
    }
    shown = show;
}

UINT CTrayIcon::TrackMenu(UINT menuId) {
    const CMenuOwner menu(LoadMenuA(AppInstance().GetInstance(), MAKEINTRESOURCEA(menuId)));
    if (!menu.Get())
        return 0;
    POINT cursor = {0, 0};
    GetCursorPos(&cursor);
    const HMENU popup = GetSubMenu(menu.Get(), 0);
    SetForegroundWindow(GetHwnd());
    const UINT command = static_cast<UINT>(
        TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, GetHwnd(), nullptr));
    // Lets the menu close properly when the user clicks elsewhere.
    PostMessageA(GetHwnd(), WM_NULL, 0, 0);
    return LOWORD(command);
}
