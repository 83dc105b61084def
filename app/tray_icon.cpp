#include "app/tray_icon.h"

#include <shellapi.h>

#include "app/app_instance.h"
#include "app/app_messages.h"

namespace {

constexpr UINT kTimerId = 1;

// The record's first form: window, id, flags, message, icon and a 64-character tip.
static_assert(sizeof(void*) != 4 || NOTIFYICONDATAA_V1_SIZE == 88, "unexpected notification record size");

class CIconHandle {
public:
    explicit CIconHandle(HICON icon) : handle(icon) {}
    ~CIconHandle() {
        if (handle)
            DestroyIcon(handle);
    }
    CIconHandle(const CIconHandle&) = delete;
    CIconHandle& operator=(const CIconHandle&) = delete;
    HICON Get() const { return handle; }

private:
    HICON handle;
};

class CMenuHandle {
public:
    explicit CMenuHandle(HMENU menu) : handle(menu) {}
    ~CMenuHandle() {
        if (handle)
            DestroyMenu(handle);
    }
    CMenuHandle(const CMenuHandle&) = delete;
    CMenuHandle& operator=(const CMenuHandle&) = delete;
    HMENU Get() const { return handle; }

private:
    HMENU handle;
};

}  // namespace

CTrayIcon::CTrayIcon() : taskbarCreatedMessage(RegisterWindowMessageA("TaskbarCreated")) {}

CTrayIcon::~CTrayIcon() {
    // Normally Show(false) has removed everything; a window must never outlive its object.
    if (hwnd) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        DestroyWindow(hwnd);
    }
}

ATOM CTrayIcon::RegisterWindowClass() {
    static const ATOM atom = [] {
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = &CTrayIcon::WindowProc;
        windowClass.hInstance = AppInstance().GetInstance();
        windowClass.lpszClassName = kTrayWindowClass;
        return RegisterClassExA(&windowClass);
    }();
    return atom;
}

LRESULT CALLBACK CTrayIcon::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<CTrayIcon*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->hwnd = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<CTrayIcon*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcA(window, message, wParam, lParam);

    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->hwnd = nullptr;
        const LRESULT result = DefWindowProcA(window, message, wParam, lParam);
        self->OnFinalMessage();
        return result;
    }
    if (message == self->taskbarCreatedMessage && self->taskbarCreatedMessage != 0) {
        if (self->shown)
            self->NotifyShell(NIM_ADD);
        return 0;
    }
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT CTrayIcon::DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void CTrayIcon::NotifyShell(DWORD shellMessage) {
    NOTIFYICONDATAA data = {};
    // The first form of the record: all this icon needs, and understood by every shell.
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = hwnd;
    data.uID = 0;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_TRAYNOTIFY;
    lstrcpynA(data.szTip, tooltip.c_str(), 64);
    // The shell keeps its own copy of the image, so ours lives only for this call. Loading
    // at the small-icon size keeps it sharp at every display scaling.
    const CIconHandle icon(shellMessage == NIM_DELETE
                               ? nullptr
                               : static_cast<HICON>(LoadImageA(AppInstance().GetInstance(), MAKEINTRESOURCEA(iconId),
                                                               IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                               GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR)));
    data.hIcon = icon.Get();
    Shell_NotifyIconA(shellMessage, &data);
}

bool CTrayIcon::Create() {
    if (!RegisterWindowClass())
        return false;
    CreateWindowExA(0, kTrayWindowClass, kTrayWindowTitle, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                    AppInstance().GetInstance(), this);
    if (!hwnd)
        return false;
    NotifyShell(NIM_ADD);
    return true;
}

void CTrayIcon::Destroy() {
    NotifyShell(NIM_DELETE);
    if (hwnd)
        DestroyWindow(hwnd);
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
    if (hwnd)
        KillTimer(hwnd, timerId);
    timerId = 0;
    if (enable && hwnd)
        timerId = SetTimer(hwnd, kTimerId, periodMs, nullptr);
    timerPeriod = LOWORD(periodMs);
    timerEnabled = enable;
}

void CTrayIcon::Show(bool show) {
    if (show) {
        if (!shown)
            Create();
        EnableTimer(timerEnabled, timerPeriod);
    } else if (shown) {
        if (timerEnabled && hwnd)
            KillTimer(hwnd, timerId);
        Destroy();
    }
    shown = show;
}

UINT CTrayIcon::TrackMenu(UINT menuId) {
    const CMenuHandle menu(LoadMenuA(AppInstance().GetInstance(), MAKEINTRESOURCEA(menuId)));
    if (!menu.Get())
        return 0;
    POINT cursor = {0, 0};
    GetCursorPos(&cursor);
    const HMENU popup = GetSubMenu(menu.Get(), 0);
    SetForegroundWindow(hwnd);
    const UINT command =
        static_cast<UINT>(TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, hwnd, nullptr));
    // Lets the menu close properly when the user clicks elsewhere.
    PostMessageA(hwnd, WM_NULL, 0, 0);
    return LOWORD(command);
}
