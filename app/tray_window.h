#pragma once

#include <cstdint>
#include <memory>

#include "app/session_events.h"
#include "app/tray_icon.h"
#include "catalog/moon_catalog.h"
#include "settings_dialog/settings_dialog.h"
#include "wallpaper/wallpaper_maker.h"
#include "win/window_base.h"

// The hidden window's class and caption: how a second copy of the program and the
// installer find the running one.
constexpr char kTrayWindowClass[] = "QuellwickTrayIconWindow";
constexpr char kTrayWindowTitle[] = "QuellwickShellIconHiddenWindow";

// The application's hidden window: shows the notification icon, runs the once-a-minute
// wallpaper refresh from its timer (and at once after a wake from sleep, an unlock, the
// display coming back on, a display or clock change), answers the icon's mouse messages and
// menu, and tells the user what stands in the way of the wallpaper.
class CTrayWindow : public CWindowBase {
public:
    // Creates the hidden window, adds the icon, loads the catalogue and then starts the
    // timer. When the catalogue cannot be read the user is told, the icon and the window are
    // removed and the quit message (code 1) is posted.
    explicit CTrayWindow(UINT iconResource);

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Arms the refresh timer to fire once, after `delayMs`.
    void ScheduleTick(UINT delayMs);
    // Removes the icon, the timer and the window.
    void Close();
    // Tracks the tray menu at the cursor: the chosen command id, or 0.
    UINT TrackMenu();
    void OnTimerTick();
    void RefreshNow();
    void Refresh();
    // Shows how a wallpaper update ended: a second line in the tip while it failed, and the
    // missing-encoder box, owned by `owner`, once until a save succeeds.
    void ShowStatus(WallpaperStatus status, HWND owner);
    void OnTrayNotify(LPARAM mouseMessage);
    void OnEndSession(bool ending);
    void OnInitMenuPopup(HMENU menu);
    void OnSettingsClosed();
    void RunPopupMenu();
    void OpenSettings();
    void ShowAbout();
    void ToggleAnnotation();
    void Exit();

    // The program's catalogue, pictures and wallpaper maker, lent to the dialogs it opens.
    CMoonCatalog catalog;
    CPictureSet pictures;
    CWallpaperMaker wallpaperMaker{catalog, pictures};
    std::unique_ptr<CSettingsDlg> settingsDlg;
    CTrayIcon icon;
    CSessionEvents sessionEvents;
    uint32_t lastRefreshTick = 0;
    // The tip's first line: the Moon's phase and age at the last refresh.
    std::string phaseTip = "Quellwick";
    WallpaperStatus lastStatus = WallpaperStatus::Ok;
    // The catalogue has loaded: refreshes may run and the icon opens windows.
    bool running = false;
    // The menu, or what was chosen from it, is running: the icon opens nothing more.
    bool menuBusy = false;
};
