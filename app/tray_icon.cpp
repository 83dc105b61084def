#include "app/tray_icon.h"

#include <shellapi.h>

#include <algorithm>

#include "resources/app_messages.h"
#include "win/app_instance.h"
#include "win/owners_win.h"

namespace {

// A refused icon is tried again after a second, then after twice as long each time, and at
// least once a minute.
constexpr UINT kFirstIconRetryMs = 1000;
constexpr UINT kLongestIconRetryMs = 60000;

// The record's second form: the first (window, id, flags, message, icon) with a 128-character
// tip, state, balloon text and title.
static_assert(sizeof(void*) != 4 || NOTIFYICONDATAA_V2_SIZE == 488, "unexpected notification record size");

}  // namespace

CTrayIcon::CTrayIcon() : taskbarCreatedMessage(RegisterWindowMessageA("TaskbarCreated")) {}

bool CTrayIcon::HandleMessage(UINT message, WPARAM wParam) {
    if (message == WM_TIMER && wParam == kIconRetryTimerId) {
        KillTimer(window, kIconRetryTimerId);
        if (window && !iconAdded)
            AddIcon();
        return true;
    }
    if (message == taskbarCreatedMessage && taskbarCreatedMessage != 0) {
        if (window) {
            iconAdded = false;
            iconRetryDelayMs = 0;
            AddIcon();
        }
        return true;
    }
    return false;
}

void CTrayIcon::Add(HWND owner) {
    window = owner;
    iconRetryDelayMs = 0;
    AddIcon();
}

void CTrayIcon::Remove() {
    if (iconAdded)
        NotifyShell(NIM_DELETE);
    iconAdded = false;
    if (window)
        KillTimer(window, kIconRetryTimerId);
    window = nullptr;
}

void CTrayIcon::AddIcon() {
    // An icon that the shell still holds (a task bar announced twice) takes a modification.
    iconAdded = NotifyShell(NIM_ADD) || NotifyShell(NIM_MODIFY);
    if (iconAdded) {
        iconRetryDelayMs = 0;
        KillTimer(window, kIconRetryTimerId);
        return;
    }
    iconRetryDelayMs = iconRetryDelayMs == 0 ? kFirstIconRetryMs : std::min(2 * iconRetryDelayMs, kLongestIconRetryMs);
    SetTimer(window, kIconRetryTimerId, iconRetryDelayMs, nullptr);
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
    data.hWnd = window;
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

void CTrayIcon::SetTooltipText(const std::string& text) {
    tooltip = text;
    UpdateIcon();
}

void CTrayIcon::SetIcon(UINT id) {
    iconId = LOWORD(id);
    UpdateIcon();
}
