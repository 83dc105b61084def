#pragma once

#include <windows.h>

#include <string>

#include "win/window_base.h"

// The hidden window's class and caption: how a second copy of the program and the
// installer find the running one.
constexpr char kTrayWindowClass[] = "QuellwickTrayIconWindow";
constexpr char kTrayWindowTitle[] = "QuellwickShellIconHiddenWindow";

// A hidden top-level window that owns one notification-area icon with its tooltip, one
// window timer and the tracking of popup menus. A derived class supplies HandleMessage.
class CTrayIcon : public CWindowBase {
public:
    CTrayIcon();

    // The derived class's message map; messages it does not handle go to DefaultProcessing.
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override = 0;

    // Creates the hidden window and adds the icon; while the shell refuses the icon (the task
    // bar may not be up yet at sign-in) it is tried again, less and less often. False when
    // the window cannot be created.
    virtual bool Create();
    // Deletes the icon and destroys the window.
    virtual void Destroy();
    // Stores the tip and updates the icon; the notification area shows at most 127 characters.
    virtual void SetTooltipText(const std::string& text);
    // Stores the icon resource id (low 16 bits) and updates the icon.
    virtual void SetIcon(UINT iconId);
    // Stops the timer and, when enabling, starts window timer 1 with the period in ms. The
    // timer may come up to a second late, so that the system can serve it with other wake-ups.
    virtual void EnableTimer(bool enable, UINT periodMs);
    // true: create the window and icon if needed and start an enabled timer;
    // false: stop the timer and remove the icon and the window.
    virtual void Show(bool show);
    // Tracks the first submenu of a menu resource at the cursor and returns the chosen
    // command id, or 0 when nothing was chosen or the menu cannot be loaded.
    virtual UINT TrackMenu(UINT menuId);

    // Sends the icon's current state to the shell with NIM_ADD, NIM_MODIFY or NIM_DELETE;
    // the shell's answer.
    bool NotifyShell(DWORD shellMessage);

    bool IsShown() const { return shown; }

protected:
    using CWindowBase::DefaultProcessing;
    // Adds the icon again when the task bar has been re-created, and retries an icon that the
    // shell has refused.
    bool PreHandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    // Adds the icon; on a refusal arms the retry timer with the next, longer delay.
    void AddIcon();
    // Sends the stored tip and image to an icon the shell holds; adds it again if lost.
    void UpdateIcon();

    bool shown = false;
    bool iconAdded = false;
    UINT iconRetryDelayMs = 0;
    bool timerEnabled = false;
    UINT_PTR timerId = 0;
    WORD timerPeriod = 0;
    WORD iconId = 0;
    std::string tooltip;
    // Broadcast when the task bar has been re-created; the icon must then be added again.
    UINT taskbarCreatedMessage = 0;
};
