#include "app/session_events.h"

#include <wtsapi32.h>

namespace {

// The console display's state (Windows 8 and later) and, before it, the monitor's power.
constexpr GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr GUID kMonitorPowerOn = {0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};

}  // namespace

void CSessionEvents::Start(HWND target) {
    Stop();
    window = target;
    WTSRegisterSessionNotification(window, NOTIFY_FOR_THIS_SESSION);
    display = RegisterPowerSettingNotification(window, &kConsoleDisplayState, DEVICE_NOTIFY_WINDOW_HANDLE);
    if (!display)
        display = RegisterPowerSettingNotification(window, &kMonitorPowerOn, DEVICE_NOTIFY_WINDOW_HANDLE);
}

void CSessionEvents::Stop() {
    if (!window)
        return;
    WTSUnRegisterSessionNotification(window);
    if (display)
        UnregisterPowerSettingNotification(display);
    display = nullptr;
    window = nullptr;
}

bool CSessionEvents::DisplayCameOn(LPARAM setting) {
    const auto* notice = reinterpret_cast<const POWERBROADCAST_SETTING*>(setting);
    if (!notice || notice->DataLength < sizeof(DWORD) ||
        (notice->PowerSetting != kConsoleDisplayState && notice->PowerSetting != kMonitorPowerOn))
        return false;
    DWORD state = 0;
    CopyMemory(&state, notice->Data, sizeof(state));
    // The first notice, sent at registration, tells the present state: on, with nothing missed.
    const bool cameOn = state == 1 && displayState != 1;
    displayState = state;
    return cameOn;
}
