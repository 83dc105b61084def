#include "about/about_dlg.h"

#include <richedit.h>
#include <shellapi.h>

#include <algorithm>
#include <utility>

#include "about/link_target.h"
#include "resources/about_ids.h"
#include "win/screen_dpi_win.h"

namespace {

// The most characters the page control holds.
constexpr LPARAM kPageTextLimit = 10000;

}  // namespace

void OpenLinkWithShell(HWND owner, const std::string& target) {
    ShellExecuteA(owner, nullptr, target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

CAboutDlg::CAboutDlg(std::filesystem::path dataDirectory, LinkLauncher linkLauncher)
    : page(std::move(dataDirectory)), launcher(std::move(linkLauncher)) {}

INT_PTR CAboutDlg::DoModal(HWND owner) {
    return RunModal(GetModuleHandleA(nullptr), IDD_ABOUT, owner);
}

INT_PTR CAboutDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND:
            OnCommand(LOWORD(wParam));
            return TRUE;
        case WM_NOTIFY:
            if (reinterpret_cast<const NMHDR*>(lParam)->code != EN_LINK)
                return FALSE;
            OnLinkNotify(*reinterpret_cast<const ENLINK*>(lParam));
            SetWindowLongPtrA(GetHwnd(), DWLP_MSGRESULT, 0);
            return TRUE;
        default:
            return FALSE;
    }
}

BOOL CAboutDlg::OnInitDialog() {
    CenterOverOwner();
    page.SubclassWindow(GetDlgItem(GetHwnd(), IDC_ABOUT_PAGE));
    SendDlgItemMessageA(GetHwnd(), IDC_ABOUT_PAGE, EM_EXLIMITTEXT, 0, kPageTextLimit);
    page.SetHtml(page.ReadAboutPage());
    FitIconInMargin();
    // The system puts the focus on the first control that takes it.
    return TRUE;
}

void CAboutDlg::OnCommand(int id) {
    if (id == IDOK || id == IDCANCEL)
        EndDialog(GetHwnd(), id);
}

void CAboutDlg::OnLinkNotify(const ENLINK& link) {
    // Pressing the button and moving over a link are left to the control.
    if (link.msg != WM_LBUTTONUP)
        return;
    std::string target;
    if (!page.FindLink(link.chrg.cpMin, link.chrg.cpMax, &target))
        return;
    // A page must not be able to start a program or open a local file with one click.
    if (!IsSafeLinkTarget(target))
        return;
    if (launcher)
        launcher(GetHwnd(), target);
}

// The page's margins are in screen pixels while the template places the icon in dialog
// units, which grow with the font: at a high DPI the icon would cover the text. The icon
// goes in the middle of the page's left margin, as large as the system's icons but no
// larger than the margin leaves room for.
void CAboutDlg::FitIconInMargin() {
    const HWND pageWindow = GetDlgItem(GetHwnd(), IDC_ABOUT_PAGE);
    HWND iconWindow = GetWindow(GetHwnd(), GW_CHILD);
    while (iconWindow && SendMessageA(iconWindow, STM_GETICON, 0, 0) == 0)
        iconWindow = GetWindow(iconWindow, GW_HWNDNEXT);
    if (!pageWindow || !iconWindow)
        return;
    PARAFORMAT2 format{};
    format.cbSize = sizeof format;
    format.dwMask = PFM_STARTINDENT;
    SendMessageA(pageWindow, EM_SETSEL, 0, 0);
    SendMessageA(pageWindow, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
    const int margin = MulDiv(format.dxStartIndent, ScreenDpi(), 1440);
    // A size that the icon holds, so that it is drawn unscaled.
    const int room = std::min(GetSystemMetrics(SM_CXICON), margin - margin / 5);
    int size = 0;
    for (const int held : {48, 32, 16}) {
        if (held <= room) {
            size = held;
            break;
        }
    }
    if (size == 0)
        return;
    icon.Reset(static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_QUELLWICK), IMAGE_ICON, size, size, 0)));
    if (!icon.Get())
        return;
    SendMessageA(iconWindow, STM_SETICON, reinterpret_cast<WPARAM>(icon.Get()), 0);
    RECT pageRect, iconRect;
    GetWindowRect(pageWindow, &pageRect);
    GetWindowRect(iconWindow, &iconRect);
    MapWindowPoints(nullptr, GetHwnd(), reinterpret_cast<POINT*>(&pageRect), 2);
    MapWindowPoints(nullptr, GetHwnd(), reinterpret_cast<POINT*>(&iconRect), 2);
    SetWindowPos(iconWindow, nullptr, pageRect.left + (margin - size) / 2, iconRect.top, size, size,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// Centres the dialog over its owner, or over the work area when the owner is hidden,
// minimised or absent (the tray's own window is never shown), and keeps it on screen.
void CAboutDlg::CenterOverOwner() {
    RECT dialog{};
    GetWindowRect(GetHwnd(), &dialog);
    const HWND owner = GetWindow(GetHwnd(), GW_OWNER);
    const HMONITOR monitor = MonitorFromWindow(owner != nullptr ? owner : GetHwnd(), MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info))
        return;
    const RECT& work = info.rcWork;
    RECT around = work;
    if (owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner))
        GetWindowRect(owner, &around);

    const LONG width = dialog.right - dialog.left;
    const LONG height = dialog.bottom - dialog.top;
    LONG left = (around.left + around.right - width) / 2;
    LONG top = (around.top + around.bottom - height) / 2;
    left = std::max(work.left, std::min(left, work.right - width));
    top = std::max(work.top, std::min(top, work.bottom - height));
    SetWindowPos(GetHwnd(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ShowAboutBox(const std::filesystem::path& dataDirectory, HWND owner) {
    // One box at a time, whether the icon's menu or the settings dialog asks for it.
    static CAboutDlg* open = nullptr;
    if (open) {
        if (open->GetHwnd())
            SetForegroundWindow(open->GetHwnd());
        return;
    }
    CAboutDlg dialog(dataDirectory);
    open = &dialog;
    dialog.DoModal(owner);
    open = nullptr;
}
