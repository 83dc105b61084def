#include "app/tray_icon.h"

#include <shellapi.h>

#include <algorithm>

#include "resources/app_messages.h"
#include "win/app_instance.h"
#include "win/owners_win.h"

namespace {

const WindowClassInfo kWindowClass = {kTrayWindowClass, nullptr, nullptr, 0};
constexpr UINT kTimerId = 1;
constexpr UINT kIconRetryTimerId = 2;
// A refused icon is tried again after a second, then after twice as long each time, and at
// least once a minute.
constexpr UINT kFirstIconRetryMs = 1000;
constexpr UINT kLongestIconRetryMs = 60000;
// How late the window timer may come, so that the system can serve it with other wake-ups.
constexpr ULONG kTimerToleranceMs = 1000;

using SetCoalescableTimerFn = UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC, ULONG);

// SetCoalescableTimer exists from Windows 8, so it is looked up; SetTimer serves before.
UINT_PTR StartTimer(HWND window, UINT_PTR id, UINT periodMs) {
    static const auto coalescable = reinterpret_cast<SetCoalescableTimerFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetCoalescableTimer")));
    return coalescable ? coalescable(window, id, periodMs, nullptr, kTimerToleranceMs)
                       : SetTimer(window, id, periodMs, nullptr);
}

// The record's second form: the first (window, id, flags, message, icon) with a 128-character
// tip, state, balloon text and title.
static_assert(sizeof(void*) != 4 || NOTIFYICONDATAA_V2_SIZE == 488, "unexpected notification record size");

}  // namespace

CTrayIcon::CTrayIcon() : taskbarCreatedMessage(RegisterWindowMessageA("TaskbarCreated")) {}

bool CTrayIcon::PreHandleMessage(UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
    if (message == WM_TIMER && wParam == kIconRetryTimerId) {
        KillTimer(GetHwnd(), kIconRetryTimerId);
        if (shown && !iconAdded)
            AddIcon();
    } else if (message == taskbarCreatedMessage && taskbarCreatedMessage != 0) {
        if (shown) {
            iconAdded = false;
            iconRetryDelayMs = 0;
            AddIcon();
        }
    } else {
        return false;
    }
    *result = 0;
    return true;
}

void CTrayIcon::AddIcon() {
    // An icon that the shell still holds (a task bar announced twice) takes a modification.
    iconAdded = NotifyShell(NIM_ADD) || NotifyShell(NIM_MODIFY);
    if (iconAdded) {
        iconRetryDelayMs = 0;
        KillTimer(GetHwnd(), kIconRetryTimerId);
        return;
    }
    iconRetryDelayMs = iconRetryDelayMs == 0 ? kFirstIconRetryMs : std::min(2 * iconRetryDelayMs, kLongestIconRetryMs);
    SetTimer(GetHwnd(), kIconRetryTimerId, iconRetryDelayMs, nullptr);
}

void CTrayIcon::UpdateIcon() {
    // A modification the shell refuses means it has lost the icon: add it again.
    if (iconAdded && !NotifyShell(NIM_MODIFY)) {
        iconAdded = false;
        AddIcon();
    }
}

bool CTrayIcon::NotifyShell(DWORD shellMessage) {
    NOTIFYICONDATAA data = {};
    // The second form of the record: a tip of two lines needs its 128 characters, and every
    // shell since Windows 2000 understands it.
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = GetHwnd();
    data.uID = 0;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_TRAYNOTIFY;
    lstrcpynA(data.szTip, tooltip.c_str(), sizeof(data.szTip));
    // The shell keeps its own copy of the image, so ours lives only for this call. Loading
    // at the small-icon size keeps it sharp at every display scaling.
    const CIconOwner icon(shellMessage == NIM_DELETE
                              ? nullptr
                              : static_cast<HICON>(LoadImageA(AppInstance().GetInstance(), MAKEINTRESOURCEA(iconId),
                                                              IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                              GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR)));
    data.hIcon = icon.Get();
    return Shell_NotifyIconA(shellMessage, &data) != FALSE;
}

bool CTrayIcon::Create() {
    const RECT empty = {0, 0, 0, 0};
    if (!CreateWindowOfClass(kWindowClass, 0, kTrayWindowTitle, WS_POPUP, empty, nullptr, 0))
        return false;
    iconRetryDelayMs = 0;
    AddIcon();
    return true;
}

void CTrayIcon::Destroy() {
    if (iconAdded)
        NotifyShell(NIM_DELETE);
    iconAdded = false;
    if (GetHwnd()) {
        KillTimer(GetHwnd(), kIconRetryTimerId);
        DestroyWindow(GetHwnd());
    }
}

void CTrayIcon::SetTooltipText(const std::string& text) {
    tooltip = text;
    UpdateIcon();
}

void CTrayIcon::SetIcon(UINT id) {
    iconId = LOWORD(id);
    UpdateIcon();
}

void CTrayIcon::EnableTimer(bool enable, UINT periodMs) {
    if (GetHwnd())
        KillTimer(GetHwnd(), timerId);
    timerId = 0;
    if (enable && GetHwnd())
        timerId = StartTimer(GetHwnd(), kTimerId, periodMs);
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
