#pragma once

#include <cstdint>
#include <memory>

#include "app/session_events.h"
#include "app/tray_icon.h"
#include "catalog/moon_catalog.h"
#include "settings_dialog/settings_dialog.h"
#include "wallpaper/wallpaper_maker.h"

// The application's hidden window: shows the notification icon, runs the once-a-minute
// wallpaper refresh from its timer (and at once after a wake from sleep, an unlock, the
// display coming back on, a display or clock change), answers the icon's mouse messages and
// menu, and tells the user what stands in the way of the wallpaper.
class CTrayWindow : public CTrayIcon {
public:
    // Adds the icon, loads the catalogue and then starts the timer. When the catalogue cannot
    // be read the user is told, the icon is removed and the quit message (code 1) is posted.
    explicit CTrayWindow(UINT iconResource);

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
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

    // The program's catalogue and wallpaper maker, lent to the dialogs it opens.
    CMoonCatalog catalog;
    CWallpaperMaker wallpaperMaker{catalog};
    std::unique_ptr<CSettingsDlg> settingsDlg;
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
