#include "app/tray_window.h"

#include <shellapi.h>
#include <wtsapi32.h>

#include <new>
#include <string>
#include <utility>

#include "about/about_dlg.h"
#include "catalog/catalog_loader.h"
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
    if (LoadMoonCatalog(catalog, JoinPath(wallpaperMaker.GetDataDirectory(), kCatalogueFile)) < 0) {
        MessageBoxA(GetHwnd(), kCatalogueFailure, kCaption, MB_OK);
        Show(false);
        PostQuitMessage(1);
        return;
    }
    running = true;
    sessionEvents.Start(GetHwnd());
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
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            OnEndSession(wParam != FALSE);
            return 0;
        case WM_INITMENUPOPUP:
            OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
            return 0;
        case WM_SETTINGS_CLOSED:
            OnSettingsClosed();
            return 0;
        case WM_WALLPAPER_STATUS:
            ShowStatus(static_cast<WallpaperStatus>(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_DISPLAYCHANGE:  // the maker sees the new monitors and renders again
        case WM_TIMECHANGE:
            RefreshNow();
            return 0;
        case WM_WTSSESSION_CHANGE:
            if (wParam == WTS_SESSION_UNLOCK)
                RefreshNow();
            return 0;
        case WM_POWERBROADCAST:
            if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND ||
                (wParam == PBT_POWERSETTINGCHANGE && sessionEvents.DisplayCameOn(lParam)))
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

// After a display change, a wake from sleep, an unlock or a new clock setting the picture and
// tip may be stale, and a picture that failed may now succeed.
void CTrayWindow::RefreshNow() {
    if (!running)
        return;
    wallpaperMaker.ForgetFailure();
    Refresh();
    EnableTimer(true, RefreshDelayMs(GetTickCount(), lastRefreshTick));
}

void CTrayWindow::Refresh() {
    lastRefreshTick = GetTickCount();
    double illuminatedPercent = 0.0;
    double ageDays = 0.0;
    const WallpaperStatus status = wallpaperMaker.UpdateWallpaper(&illuminatedPercent, &ageDays, 0);
    phaseTip = FormatPhaseTooltip(illuminatedPercent, ageDays);
    ShowStatus(status, GetHwnd());
}

void CTrayWindow::ShowStatus(WallpaperStatus status, HWND owner) {
    const WallpaperStatus previous = std::exchange(lastStatus, status);
    const std::string problem = WallpaperStatusText(status);
    SetTooltipText(problem.empty() ? phaseTip : phaseTip + "\n" + problem);
    // Told once until a save succeeds; the box's own loop runs timer ticks.
    if (status == WallpaperStatus::NoEncoder && previous != WallpaperStatus::NoEncoder) {
        const std::wstring message =
            L"Failed to determine the image encoder for " + wallpaperMaker.WallpaperOutputPath().native();
        MessageBoxW(owner, message.c_str(), L"Quellwick", MB_OKCANCEL | MB_ICONERROR);
    }
}

// While a menu, a box or the About box of the icon is up, or the program is still starting,
// the icon opens nothing more: a click brings what is open to the front.
void CTrayWindow::OnTrayNotify(LPARAM mouseMessage) {
    const UINT mouse = static_cast<UINT>(mouseMessage);
    if (mouse != WM_LBUTTONDBLCLK && mouse != WM_RBUTTONUP)
        return;
    if (!running || menuBusy || !IsWindowEnabled(GetHwnd())) {
        const HWND open = GetLastActivePopup(GetHwnd());
        if (open && open != GetHwnd())
            SetForegroundWindow(open);
        return;
    }
    if (mouse == WM_LBUTTONDBLCLK)
        OpenSettings();
    else
        RunPopupMenu();
}

// The session ends (sign-out, shut-down): nothing may be left behind, as after Exit.
void CTrayWindow::OnEndSession(bool ending) {
    if (ending && IsShown())
        Exit();
}

void CTrayWindow::RunPopupMenu() {
    menuBusy = true;
    const UINT command = TrackMenu(IDR_TRAY_MENU);
    switch (command) {
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
    menuBusy = false;
}

void CTrayWindow::OnInitMenuPopup(HMENU menu) {
    const UINT check = AppSettings::Instance().GetAnnotate() != 0 ? MF_CHECKED : MF_UNCHECKED;
    CheckMenuItem(menu, ID_TRAY_ANNOTATION, MF_BYCOMMAND | check);
    SetMenuDefaultItem(menu, ID_TRAY_OPEN, FALSE);
}

void CTrayWindow::ToggleAnnotation() {
    AppSettings& settings = AppSettings::Instance();
    settings.SetAnnotate(settings.GetAnnotate() == 0 ? 1 : 0);
    ShowStatus(wallpaperMaker.UpdateWallpaper(nullptr, nullptr, 1), GetHwnd());
}

// One settings dialog at most: an open one is brought forward.
void CTrayWindow::OpenSettings() {
    // A dialog closed while its action still runs is deleted, not reopened, when it ends.
    if (settingsDlg && !settingsDlg->GetHwnd() && settingsDlg->IsBusy())
        return;
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
    ShowAboutBox(wallpaperMaker.GetDataDirectory(), GetHwnd());
}

void CTrayWindow::OnSettingsClosed() {
    // A dialog reopened before this message arrived is open again and stays; one whose
    // action still runs reports again when it ends.
    if (settingsDlg && !settingsDlg->GetHwnd() && !settingsDlg->IsBusy())
        settingsDlg.reset();
}

void CTrayWindow::Exit() {
    if (settingsDlg)
        settingsDlg->CloseDialog(ID_TRAY_EXIT);
    running = false;
    sessionEvents.Stop();
    Show(false);
    PostQuitMessage(0);
}
