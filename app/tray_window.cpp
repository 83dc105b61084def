#include "app/tray_window.h"

#include <shellapi.h>

#include <new>
#include <string>

#include "about/about_dlg.h"
#include "refresh/refresh_rule.h"
#include "refresh/tray_text.h"
#include "resources/app_messages.h"
#include "resources/resource.h"
#include "services/app_settings.h"
#include "services/data_directory.h"

namespace {

constexpr char kCaption[] = "Quellwick";
constexpr char kCatalogueFile[] = "Quellwicks.xml";
constexpr char kCatalogueFailure[] =
    "Unable ot initialize list of available Quellwicks. You may need to install msxml3.dll.";

}  // namespace

CTrayWindow::CTrayWindow(UINT iconResource) {
    SetTooltipText("Quellwick");
    SetIcon(iconResource);
    Show(true);

    // The timer starts only with a catalogue: the failure box below runs a message loop, and
    // a refresh from it would install a picture before the program gives up.
    if (catalog.Load(JoinPath(wallpaperMaker.GetDataDirectory(), kCatalogueFile)) < 0) {
        MessageBoxA(GetHwnd(), kCatalogueFailure, kCaption, MB_OK);
        Show(false);
        PostQuitMessage(1);
        return;
    }
    running = true;
    // The first tick comes at once and refreshes; each tick then sets the next one.
    EnableTimer(true, 0);
}

LRESULT CTrayWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            OnTimerTick();
            return 0;
        case WM_TRAYNOTIFY:
            OnTrayNotify(lParam);
            return 0;
        case WM_CLOSE:
            Exit();
            return 0;
        case WM_INITMENUPOPUP:
            OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
            return 0;
        case WM_SETTINGS_CLOSED:
            OnSettingsClosed();
            return 0;
        case WM_DISPLAYCHANGE:  // the maker sees the new monitors and renders again
        case WM_TIMECHANGE:
            RefreshNow();
            return 0;
        case WM_POWERBROADCAST:
            if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND)
                RefreshNow();
            return TRUE;
        default:
            return DefaultProcessing(message, wParam, lParam);
    }
}

void CTrayWindow::OnTimerTick() {
    if (IsRefreshDue(GetTickCount(), lastRefreshTick))
        Refresh();
    // The program sleeps until the next refresh is due instead of waking to ask.
    EnableTimer(true, RefreshDelayMs(GetTickCount(), lastRefreshTick));
}

// After a display change, a wake from sleep or a new clock setting the picture and tip
// may be stale.
void CTrayWindow::RefreshNow() {
    if (!running)
        return;
    Refresh();
    EnableTimer(true, RefreshDelayMs(GetTickCount(), lastRefreshTick));
}

void CTrayWindow::Refresh() {
    lastRefreshTick = GetTickCount();
    double illuminatedPercent = 0.0;
    double ageDays = 0.0;
    wallpaperMaker.UpdateWallpaper(&illuminatedPercent, &ageDays, 0);
    SetTooltipText(FormatPhaseTooltip(illuminatedPercent, ageDays));
}

void CTrayWindow::OnTrayNotify(LPARAM mouseMessage) {
    switch (static_cast<UINT>(mouseMessage)) {
        case WM_LBUTTONDBLCLK:
            OpenSettings();
            break;
        case WM_RBUTTONUP:
            RunPopupMenu();
            break;
        default:
            break;
    }
}

void CTrayWindow::RunPopupMenu() {
    switch (TrackMenu(IDR_TRAY_MENU)) {
        case ID_TRAY_EXIT:
            Exit();
            break;
        case ID_TRAY_OPEN:
            OpenSettings();
            break;
        case ID_TRAY_ABOUT:
            ShowAbout();
            break;
        case ID_TRAY_ANNOTATION:
            ToggleAnnotation();
            break;
        default:
            break;
    }
}

void CTrayWindow::OnInitMenuPopup(HMENU menu) {
    const UINT check = AppSettings::Instance().GetAnnotate() != 0 ? MF_CHECKED : MF_UNCHECKED;
    CheckMenuItem(menu, ID_TRAY_ANNOTATION, MF_BYCOMMAND | check);
    SetMenuDefaultItem(menu, ID_TRAY_OPEN, FALSE);
}

void CTrayWindow::ToggleAnnotation() {
    AppSettings& settings = AppSettings::Instance();
    settings.SetAnnotate(settings.GetAnnotate() == 0 ? 1 : 0);
    wallpaperMaker.UpdateWallpaper(nullptr, nullptr, 1);
}

// One settings dialog at most: an open one is brought forward.
void CTrayWindow::OpenSettings() {
    if (settingsDlg && settingsDlg->GetHwnd()) {
        const HWND dialog = settingsDlg->GetHwnd();
        BringWindowToTop(dialog);
        SetForegroundWindow(dialog);
        SetFocus(dialog);
        return;
    }
    if (!settingsDlg) {
        settingsDlg.reset(new (std::nothrow) CSettingsDlg(GetHwnd(), catalog, wallpaperMaker));
        if (!settingsDlg)
            return;
    }
    // A dialog that could not be created is tried again the next time.
    if (settingsDlg->Create()) {
        const HWND dialog = settingsDlg->GetHwnd();
        ShowWindow(dialog, SW_SHOW);
        BringWindowToTop(dialog);
        SetForegroundWindow(dialog);
    }
}

void CTrayWindow::ShowAbout() {
    ShowAboutBox(wallpaperMaker.GetDataDirectory());
}

void CTrayWindow::OnSettingsClosed() {
    // A dialog reopened before this message arrived is open again and stays.
    if (settingsDlg && !settingsDlg->GetHwnd())
        settingsDlg.reset();
}

void CTrayWindow::Exit() {
    if (settingsDlg)
        settingsDlg->CloseDialog(ID_TRAY_EXIT);
    Show(false);
    PostQuitMessage(0);
}
