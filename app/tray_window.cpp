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
#include "wallpaper/desktop_wallpaper_win.h"
#include "win/app_instance.h"
#include "win/owners_win.h"

namespace {

const WindowClassInfo kWindowClass = {kTrayWindowClass, nullptr, nullptr, 0};
constexpr UINT_PTR kRefreshTimerId = 1;
// How late the refresh timer may come, so that the system can serve it with other wake-ups.
constexpr ULONG kTimerToleranceMs = 1000;
constexpr char kCaption[] = "Quellwick";
constexpr char kCatalogueFile[] = "Quellwicks.xml";
constexpr char kCatalogueFailure[] =
    "Unable ot initialize list of available Quellwicks. You may need to install msxml3.dll.";

}  // namespace

CTrayWindow::CTrayWindow(UINT iconResource) : pictures(ResolveProgramDataDirectory()) {
    icon.SetTooltipText(phaseTip);
    icon.SetIcon(iconResource);
    const RECT empty = {0, 0, 0, 0};
    if (CreateWindowOfClass(kWindowClass, 0, kTrayWindowTitle, WS_POPUP, empty, nullptr, 0))
        icon.Add(GetHwnd());

    // The timer starts only with a catalogue: the failure box below runs a message loop, and
    // a refresh from it would install a picture before the program gives up.
    if (LoadMoonCatalog(catalog, pictures.File(kCatalogueFile)) < 0) {
        MessageBoxA(GetHwnd(), kCatalogueFailure, kCaption, MB_OK);
        Close();
        PostQuitMessage(1);
        return;
    }
    running = true;
    sessionEvents.Start(GetHwnd());
    // The first tick comes at once and refreshes; each tick then sets the next one.
    ScheduleTick(0);
}

// SetCoalescableTimer exists from Windows 8, so it is looked up; SetTimer serves before.
void CTrayWindow::ScheduleTick(UINT delayMs) {
    using SetCoalescableTimerFn = UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC, ULONG);
    static const auto coalescable = reinterpret_cast<SetCoalescableTimerFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetCoalescableTimer")));
    if (!GetHwnd())
        return;
    if (coalescable)
        coalescable(GetHwnd(), kRefreshTimerId, delayMs, nullptr, kTimerToleranceMs);
    else
        SetTimer(GetHwnd(), kRefreshTimerId, delayMs, nullptr);
}

void CTrayWindow::Close() {
    running = false;
    sessionEvents.Stop();
    icon.Remove();
    if (GetHwnd()) {
        KillTimer(GetHwnd(), kRefreshTimerId);
        DestroyWindow(GetHwnd());
    }
}

LRESULT CTrayWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (icon.HandleMessage(message, wParam))
        return 0;
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
    ScheduleTick(RefreshDelayMs(GetTickCount(), lastRefreshTick));
}

// After a display change, a wake from sleep, an unlock or a new clock setting the picture and
// tip may be stale, and a picture that failed may now succeed.
void CTrayWindow::RefreshNow() {
    if (!running)
        return;
    wallpaperMaker.ForgetFailure();
    Refresh();
    ScheduleTick(RefreshDelayMs(GetTickCount(), lastRefreshTick));
}

void CTrayWindow::Refresh() {
    lastRefreshTick = GetTickCount();
    double illuminatedPercent = 0.0;
    double ageDays = 0.0;
    const WallpaperStatus status = wallpaperMaker.UpdateWallpaper(AppSettings::Instance().GetWallpaperSettings(),
                                                                  &illuminatedPercent, &ageDays, false);
    phaseTip = FormatPhaseTooltip(illuminatedPercent, ageDays);
    ShowStatus(status, GetHwnd());
}

void CTrayWindow::ShowStatus(WallpaperStatus status, HWND owner) {
    const WallpaperStatus previous = std::exchange(lastStatus, status);
    const std::string problem = WallpaperStatusText(status);
    icon.SetTooltipText(problem.empty() ? phaseTip : phaseTip + "\n" + problem);
    // Told once until a save succeeds; the box's own loop runs timer ticks.
    if (status == WallpaperStatus::NoEncoder && previous != WallpaperStatus::NoEncoder) {
        const std::wstring message = L"Failed to determine the image encoder for " + WallpaperOutputPath().native();
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
    if (ending && GetHwnd())
        Exit();
}

void CTrayWindow::RunPopupMenu() {
    menuBusy = true;
    const UINT command = TrackMenu();
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

UINT CTrayWindow::TrackMenu() {
    const CMenuOwner menu(LoadMenuA(AppInstance().GetInstance(), MAKEINTRESOURCEA(IDR_TRAY_MENU)));
    if (!menu.Get())
        return 0;
    POINT cursor = {0, 0};
    GetCursorPos(&cursor);
    SetForegroundWindow(GetHwnd());
    const UINT command = static_cast<UINT>(TrackPopupMenu(GetSubMenu(menu.Get(), 0), TPM_RETURNCMD | TPM_RIGHTBUTTON,
                                                          cursor.x, cursor.y, 0, GetHwnd(), nullptr));
    // Lets the menu close properly when the user clicks elsewhere.
    PostMessageA(GetHwnd(), WM_NULL, 0, 0);
    return LOWORD(command);
}

void CTrayWindow::OnInitMenuPopup(HMENU menu) {
    const UINT check = AppSettings::Instance().GetAnnotate() != 0 ? MF_CHECKED : MF_UNCHECKED;
    CheckMenuItem(menu, ID_TRAY_ANNOTATION, MF_BYCOMMAND | check);
    SetMenuDefaultItem(menu, ID_TRAY_OPEN, FALSE);
}

void CTrayWindow::ToggleAnnotation() {
    AppSettings& settings = AppSettings::Instance();
    settings.SetAnnotate(settings.GetAnnotate() == 0 ? 1 : 0);
    // What the wallpaper draws has changed, so the update renders it again.
    ShowStatus(wallpaperMaker.UpdateWallpaper(settings.GetWallpaperSettings(), nullptr, nullptr, false), GetHwnd());
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
    ShowAboutBox(pictures.DataDirectory(), GetHwnd());
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
    Close();
    PostQuitMessage(0);
}
