#pragma once

#include <cstdint>
#include <memory>

#include "app/tray_icon.h"
#include "catalog/moon_catalog.h"
#include "settings_dialog/settings_dialog.h"
#include "wallpaper/wallpaper_maker.h"

// The application's hidden window: shows the notification icon, runs the once-a-minute
// wallpaper refresh from its timer (and at once after a wake from sleep or a clock change),
// and answers the icon's mouse messages and menu.
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
    void OnTrayNotify(LPARAM mouseMessage);
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
    uint32_t lastRefreshTick = 0;
    // The catalogue has loaded: refreshes may run.
    bool running = false;
};
