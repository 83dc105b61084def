#pragma once

#include <windows.h>

// The session's lock and unlock notices (WM_WTSSESSION_CHANGE) and the display's power
// state (WM_POWERBROADCAST with PBT_POWERSETTINGCHANGE) asked for on behalf of one window,
// and withdrawn before that window goes.
class CSessionEvents {
public:
    CSessionEvents() = default;
    ~CSessionEvents() { Stop(); }
    CSessionEvents(const CSessionEvents&) = delete;
    CSessionEvents& operator=(const CSessionEvents&) = delete;

    void Start(HWND window);
    void Stop();
    // Whether a power-setting notice (the message's LPARAM) says that the display has just
    // come back on after it was off or dimmed.
    bool DisplayCameOn(LPARAM setting);

private:
    HWND window = nullptr;
    HPOWERNOTIFY display = nullptr;
    DWORD displayState = 1;  // 0 off, 1 on, 2 dimmed
};
