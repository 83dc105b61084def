#pragma once

#include <windows.h>

#include <string>

// The notification-area icon of one window: its tip and image, added again when the task
// bar has been re-created, and offered again, less and less often, while the shell refuses
// it (the task bar may not be up yet at sign-in).
class CTrayIcon {
public:
    CTrayIcon();
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // Adds the icon for `window`, which receives its WM_TRAYNOTIFY and must pass the
    // messages below to HandleMessage.
    void Add(HWND window);
    // Deletes the icon; the window may then be destroyed.
    void Remove();
    // Stores the tip and updates the icon; the notification area shows at most 127 characters.
    void SetTooltipText(const std::string& text);
    // Stores the icon resource id (low 16 bits) and updates the icon.
    void SetIcon(UINT iconId);
    // Answers a message of the window that concerns the icon: the task bar re-created, or
    // the retry timer (kIconRetryTimerId). True when it was one of those.
    bool HandleMessage(UINT message, WPARAM wParam);

    // The window timer id that the icon's retries use.
    static constexpr UINT_PTR kIconRetryTimerId = 2;

private:
    // Sends the icon's current state to the shell with NIM_ADD, NIM_MODIFY or NIM_DELETE;
    // the shell's answer.
    bool NotifyShell(DWORD shellMessage);
    // Adds the icon; on a refusal arms the retry timer with the next, longer delay.
    void AddIcon();
    // Sends the stored tip and image to an icon the shell holds; adds it again if lost.
    void UpdateIcon();

    HWND window = nullptr;
    bool iconAdded = false;
    UINT iconRetryDelayMs = 0;
    WORD iconId = 0;
    std::string tooltip;
    // Broadcast when the task bar has been re-created; the icon must then be added again.
    UINT taskbarCreatedMessage = 0;
};
