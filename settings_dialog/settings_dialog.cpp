#include "settings_dialog/settings_dialog.h"

#include <vector>

#include "about/about_dlg.h"
#include "resources/app_messages.h"
#include "resources/resource.h"
#include "resources/settings_dialog_ids.h"
#include "services/app_settings.h"
#include "services/system_clock.h"
#include "settings_dialog/next_phases_text.h"
#include "settings_dialog/place_dialog.h"
#include "settings_dialog/preview_builder.h"
#include "settings_dialog/settings_choice.h"
#include "settings_dialog/sky_text.h"
#include "wallpaper/wallpaper_composer_win.h"
#include "win/app_instance.h"
#include "win/wait_cursor.h"

namespace {

// While the dialog is open the place and what comes in its sky are brought up to date once a
// minute, as often as the wallpaper: the times shown are to the minute.
constexpr UINT_PTR kPhasesTimer = 1;
constexpr UINT kPhasesPeriodMs = 60000;

}  // namespace

CSettingsDlg::CSettingsDlg(HWND trayWindowHandle, const CMoonCatalog& catalog, CWallpaperMaker& maker)
    : trayWindow(trayWindowHandle), catalogue(catalog), wallpaperMaker(maker) {}

CSettingsDlg::~CSettingsDlg() {
    // Normally CloseDialog has destroyed the window; it never outlives its object.
    if (GetHwnd())
        DestroyWindow(GetHwnd());
}

bool CSettingsDlg::Create() {
    if (GetHwnd())
        return true;
    return CreateModeless(AppInstance().GetInstance(), IDD_SETTINGS, nullptr) != nullptr;
}

INT_PTR CSettingsDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG)
        return OnInitDialog();
    if (message == WM_VIEWER_CLOSED)
        return OnViewerClosed();
    if (message == WM_DESTROY)
        return OnDestroy();
    if (message == WM_TIMER && wParam == kPhasesTimer) {
        UpdateSky();
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;

    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (id == IDC_ABOUT)
        OnAbout();
    else if (id == IDOK)
        OnOK();
    else if (id == IDCANCEL)
        OnCancel();
    else if (id == IDC_MOON_LIST && code == LBN_SELCHANGE)
        OnListSelChange();
    else if (id == IDC_CURRENT_TIME && code == BN_CLICKED)
        OnCurrentTimeClicked();
    else if (id == IDC_CHOOSE_MOON && code == BN_CLICKED)
        OnChooseClicked();
    else if (id == IDC_APPLY && code == BN_CLICKED)
        OnApply();
    else if (id == IDC_ANNOTATED && code == BN_CLICKED)
        OnAnnotatedClicked();
    else if (id == IDC_ORIENTATION && code == CBN_SELCHANGE)
        OnAnnotatedClicked();
    else if (id == IDC_LIVE_MOON && code == BN_CLICKED)
        OnLiveClicked();
    else if (id == IDC_VIEW_FULLSCREEN && code == BN_CLICKED)
        OnViewFullscreen();
    else if (id == IDC_CHANGE_PLACE && code == BN_CLICKED)
        OnChangePlace();
    else
        return FALSE;
    return TRUE;
}

BOOL CSettingsDlg::OnInitDialog() {
    preview.Attach(GetHwnd(), IDC_PREVIEW);
    preview.SetImage(nullptr);
    applied = false;

    CentreDialog();
    SetIcons();
    FillMoonList();

    if (CMessagePump* pump = AppInstance().GetMessageLoop()) {
        pump->AddFilter(this);
        pump->AddIdleHandler(this);
    }

    switch (AppSettings::Instance().GetMoonType()) {
        case 0:
            CheckDlgButton(GetHwnd(), IDC_CURRENT_TIME, BST_CHECKED);
            EnableChooser(false);
            break;
        case 1:
            CheckDlgButton(GetHwnd(), IDC_CHOOSE_MOON, BST_CHECKED);
            EnableChooser(true);
            break;
        default:
            break;
    }

    SetDlgItemTextA(GetHwnd(), IDC_DESCRIPTION, "");
    CheckDlgButton(GetHwnd(), IDC_ANNOTATED, AppSettings::Instance().GetAnnotate() != 0 ? BST_CHECKED : BST_UNCHECKED);
    const AppSettings& settings = AppSettings::Instance();
    const bool live = settings.GetLiveMoon() != 0;
    CheckDlgButton(GetHwnd(), IDC_LIVE_MOON, live ? BST_CHECKED : BST_UNCHECKED);
    FillOrientations(live && settings.GetAsInSky() != 0 ? kAsInSky
                     : settings.GetSouthernView() != 0  ? kSouthUp
                                                        : kNorthUp);
    UpdateSky();
    SetTimer(GetHwnd(), kPhasesTimer, kPhasesPeriodMs, nullptr);
    // Nothing is chosen yet, so there is nothing to apply; OK still applies once.
    EnableWindow(GetDlgItem(GetHwnd(), IDC_APPLY), FALSE);
    UpdatePreview();
    BringWindowToTop(GetHwnd());
    return TRUE;
}

void CSettingsDlg::CentreDialog() {
    RECT window = {};
    RECT workArea = {};
    GetWindowRect(GetHwnd(), &window);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    const WindowCorner corner = ::CentreInWorkArea({workArea.left, workArea.top, workArea.right, workArea.bottom},
                                                   window.right - window.left, window.bottom - window.top);
    SetWindowPos(GetHwnd(), nullptr, corner.x, corner.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CSettingsDlg::SetIcons() {
    const HINSTANCE instance = AppInstance().GetInstance();
    bigIcon.Reset(
        static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_QUELLWICK), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR)));
    smallIcon.Reset(
        static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_QUELLWICK), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR)));
    SendMessageA(GetHwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon.Get()));
    SendMessageA(GetHwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.Get()));
}

void CSettingsDlg::FillMoonList() {
    const HWND list = GetDlgItem(GetHwnd(), IDC_MOON_LIST);
    for (const MoonEntry& entry : catalogue.GetEntries())
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.DisplayName().c_str()));
    // An index outside the list selects no line.
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(AppSettings::Instance().GetSelectedMoon()), 0);
}

void CSettingsDlg::EnableChooser(bool enable) {
    EnableWindow(GetDlgItem(GetHwnd(), IDC_MOON_LIST), enable);
    EnableWindow(GetDlgItem(GetHwnd(), IDC_PREVIEW), enable);
}

void CSettingsDlg::SetApplied(bool flag) {
    applied = flag;
    const HWND apply = GetDlgItem(GetHwnd(), IDC_APPLY);
    // A disabled button cannot keep the focus, and the dialog's keyboard needs one.
    if (flag && GetFocus() == apply)
        SendMessageA(GetHwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(GetHwnd(), IDOK)), TRUE);
    EnableWindow(apply, !flag);
    SetDlgItemTextA(GetHwnd(), IDCANCEL, flag ? "Close" : "Cancel");
}

bool CSettingsDlg::IsChecked(int controlId) const {
    return IsDlgButtonChecked(GetHwnd(), controlId) == BST_CHECKED;
}

int CSettingsDlg::ListSelection() const {
    return static_cast<int>(SendDlgItemMessageA(GetHwnd(), IDC_MOON_LIST, LB_GETCURSEL, 0, 0));
}

int CSettingsDlg::GetShownEntry(MoonEntry* entry) const {
    const bool currentTime = IsChecked(IDC_CURRENT_TIME);
    int currentMoon = -1;
    if (currentTime)
        wallpaperMaker.CurrentMoon(nullptr, nullptr, &currentMoon);
    const std::vector<MoonEntry>& entries = catalogue.GetEntries();
    const int index = ShownEntryIndex(currentTime, currentMoon, ListSelection(), entries.size());
    if (index >= 0 && entry)
        *entry = entries[static_cast<size_t>(index)];
    return index;
}

void CSettingsDlg::UpdatePreview() {
    MoonEntry entry;
    const int index = GetShownEntry(&entry);
    if (IsChecked(IDC_CURRENT_TIME))
        SendDlgItemMessageA(GetHwnd(), IDC_MOON_LIST, LB_SETCURSEL, static_cast<WPARAM>(index), 0);

    {
        const CWaitCursor wait;
        GdipBitmapPtr picture;
        // With no entry to show the preview stays black.
        try {
            if (ShowsLiveMoon()) {
                const LiveMoonRequest request = LiveRequest();
                const CLiveMoonData data(wallpaperMaker.Pictures(), request.labels);
                picture = DrawLiveMoon(request, data, kPreviewSize, kPreviewSize, {{0, 0, kPreviewSize}});
            } else if (index >= 0) {
                picture = BuildPreview(wallpaperMaker.Pictures().FilesFor(
                    entry, ViewSettings{IsChecked(IDC_ANNOTATED), Orientation() == kSouthUp}));
            }
        } catch (...) {
            picture.reset();
        }
        preview.SetImage(std::move(picture));
    }
    SetDlgItemTextA(GetHwnd(), IDC_DESCRIPTION, entry.description.c_str());
}

CSettingsDlg::CBusy::CBusy(CSettingsDlg& owner) : dialog(owner) {
    ++dialog.busyDepth;
}

CSettingsDlg::CBusy::~CBusy() {
    if (--dialog.busyDepth == 0 && !dialog.GetHwnd())
        PostMessageA(dialog.trayWindow, WM_SETTINGS_CLOSED, 0, 0);
}

void CSettingsDlg::ApplySettings() {
    if (applied)
        return;
    const CBusy busy(*this);
    const CWaitCursor wait;
    const ApplyPlan plan = PlanApply(IsChecked(IDC_CURRENT_TIME), IsChecked(IDC_ANNOTATED), ListSelection(),
                                     catalogue.GetEntries().size());
    AppSettings& settings = AppSettings::Instance();
    if (plan.storeMoonType)
        settings.SetMoonType(plan.moonType);
    if (plan.storeSelectedMoon)
        settings.SetSelectedMoon(plan.selectedMoon);
    settings.SetAnnotate(plan.annotate);
    // Each stored only once the user changes it: until then the southern view follows the
    // country, and a user who never chose the live Moon sees the catalogue's pictures.
    const int orientation = Orientation();
    const int southern = orientation == kSouthUp ? 1 : 0;
    if (orientation != kAsInSky && southern != settings.GetSouthernView())
        settings.SetSouthernView(southern);
    const int live = IsChecked(IDC_LIVE_MOON) ? 1 : 0;
    if (live != settings.GetLiveMoon())
        settings.SetLiveMoon(live);
    const int asInSky = orientation == kAsInSky ? 1 : 0;
    if (asInSky != settings.GetAsInSky())
        settings.SetAsInSky(asInSky);
    // Forced: the user's Apply also tries again a picture that failed.
    const WallpaperStatus status =
        wallpaperMaker.UpdateWallpaper(settings.GetWallpaperSettings(), nullptr, nullptr, true);
    // The tray window tells the user what went wrong; a box is owned by this dialog.
    SendMessageA(trayWindow, WM_WALLPAPER_STATUS, static_cast<WPARAM>(status), reinterpret_cast<LPARAM>(GetHwnd()));
    SetApplied(true);
}

void CSettingsDlg::OnListSelChange() {
    SetApplied(false);
    UpdatePreview();
}

void CSettingsDlg::OnCurrentTimeClicked() {
    if (!IsChecked(IDC_CURRENT_TIME))
        return;
    SetApplied(false);
    EnableChooser(false);
    UpdatePreview();
}

void CSettingsDlg::OnChooseClicked() {
    if (!IsChecked(IDC_CHOOSE_MOON))
        return;
    SetApplied(false);
    EnableChooser(true);
    UpdatePreview();
}

void CSettingsDlg::OnLiveClicked() {
    // "As in your sky" is offered for the live Moon only.
    FillOrientations(Orientation());
    OnAnnotatedClicked();
}

// The items in OrientationItem order; the last only while the live Moon is chosen. A choice
// that the list no longer offers falls back to the southern view's setting.
void CSettingsDlg::FillOrientations(int selected) {
    const HWND list = GetDlgItem(GetHwnd(), IDC_ORIENTATION);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    const char* const items[] = {"North up", "South up, as seen from the southern hemisphere",
                                 "As it stands in your sky"};
    const int count = IsChecked(IDC_LIVE_MOON) ? 3 : 2;
    for (int i = 0; i < count; ++i)
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items[i]));
    if (selected >= count)
        selected = AppSettings::Instance().GetSouthernView() != 0 ? kSouthUp : kNorthUp;
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

int CSettingsDlg::Orientation() const {
    const LRESULT selected = SendDlgItemMessageA(GetHwnd(), IDC_ORIENTATION, CB_GETCURSEL, 0, 0);
    return selected == CB_ERR ? kNorthUp : static_cast<int>(selected);
}

void CSettingsDlg::OnAnnotatedClicked() {
    UpdatePreview();
    SetApplied(false);
}

void CSettingsDlg::OnApply() {
    ApplySettings();
}

void CSettingsDlg::OnOK() {
    ApplySettings();
    CloseDialog(IDOK);
}

void CSettingsDlg::OnCancel() {
    CloseDialog(IDCANCEL);
}

void CSettingsDlg::OnAbout() {
    const CBusy busy(*this);
    ShowAboutBox(wallpaperMaker.Pictures().DataDirectory(), GetHwnd());
}

// Brings the open viewer forward or opens a new one, and loads the dialog's present choice
// into it.
void CSettingsDlg::OnViewFullscreen() {
    if (viewer && viewer->GetHwnd()) {
        SetForegroundWindow(viewer->GetHwnd());
        SetFocus(viewer->GetHwnd());
    } else {
        // Replaces a viewer that has ended but whose report is still on its way.
        viewer = std::make_unique<CViewerWindow>(catalogue, wallpaperMaker.Pictures());
        if (viewer->Create(GetHwnd()) != 0)
            return;
        ShowWindow(viewer->GetHwnd(), SW_MAXIMIZE);
    }
    const int index = GetShownEntry(nullptr);
    const CWaitCursor wait;
    if (!ShowsLiveMoon()) {
        viewer->ShowMoon(index, IsChecked(IDC_ANNOTATED), Orientation() == kSouthUp);
        return;
    }
    // The live Moon at the pictures' size, with and without its labels.
    LiveMoonRequest request = LiveRequest();
    const CLiveMoonData data(wallpaperMaker.Pictures(), true);
    const std::vector<PictureSquare> square = {{0, 0, static_cast<int>(kLivePictureSize)}};
    request.labels = false;
    GdipBitmapPtr plain = DrawLiveMoon(request, data, kLivePictureSize, kLivePictureSize, square);
    request.labels = true;
    GdipBitmapPtr labelled = DrawLiveMoon(request, data, kLivePictureSize, kLivePictureSize, square);
    viewer->ShowPictures(index, GdipImagePtr(plain.release()), GdipImagePtr(labelled.release()),
                         IsChecked(IDC_ANNOTATED), Orientation() == kSouthUp);
}

bool CSettingsDlg::ShowsLiveMoon() const {
    return IsChecked(IDC_LIVE_MOON) && IsChecked(IDC_CURRENT_TIME);
}

LiveMoonRequest CSettingsDlg::LiveRequest() const {
    WallpaperSettings settings;
    settings.view = {IsChecked(IDC_ANNOTATED), Orientation() == kSouthUp};
    settings.live = true;
    settings.asInSky = Orientation() == kAsInSky;
    settings.place = AppSettings::Instance().GetPlace().place;
    return LiveRequestFor(settings, CurrentJulianDate());
}

LRESULT CSettingsDlg::OnViewerClosed() {
    // A report that arrives after a new viewer has opened is the old one's.
    if (viewer && !viewer->GetHwnd())
        viewer.reset();
    if (GetHwnd())
        SetFocus(GetHwnd());
    return 0;
}

void CSettingsDlg::CloseDialog(int) {
    if (!GetHwnd())
        return;
    if (viewer) {
        viewer->CloseViewer();
        OnViewerClosed();
    }
    preview.SetImage(nullptr);
    DestroyWindow(GetHwnd());
    PostMessageA(trayWindow, WM_SETTINGS_CLOSED, 0, 0);
}

// Stored at once, leaving nothing to apply; a Moon drawn as in the sky turns with it.
void CSettingsDlg::OnChangePlace() {
    CPlaceDlg dialog(AppSettings::Instance().GetPlace());
    if (!dialog.DoModal(GetHwnd()))
        return;
    AppSettings::Instance().SetPlace(dialog.Chosen());
    UpdateSky();
    UpdatePreview();
}

void CSettingsDlg::UpdateSky() {
    const double now = CurrentJulianDate();
    const NamedPlace place = AppSettings::Instance().GetPlace();
    SetText(IDC_PLACE, PlaceText(place.name, place.place));
    SetText(IDC_NEXT_PHASES, NextPhasesText(now));
    SetText(IDC_MOON_RISE_SET, MoonRiseSetText(now, place.place, LocalTimeText));
    SetText(IDC_NEXT_ECLIPSE, NextEclipseText(now, place.name, place.place, LocalInstantText));
}

void CSettingsDlg::SetText(int controlId, const std::string& text) {
    char shown[512] = {};
    GetDlgItemTextA(GetHwnd(), controlId, shown, sizeof shown);
    // Rewritten only when it has changed, so that the text does not flicker.
    if (text != shown)
        SetDlgItemTextA(GetHwnd(), controlId, text.c_str());
}

LRESULT CSettingsDlg::OnDestroy() {
    KillTimer(GetHwnd(), kPhasesTimer);
    SendDlgItemMessageA(GetHwnd(), IDC_MOON_LIST, LB_RESETCONTENT, 0, 0);
    SendMessageA(GetHwnd(), WM_SETICON, ICON_BIG, 0);
    SendMessageA(GetHwnd(), WM_SETICON, ICON_SMALL, 0);
    bigIcon.Reset();
    smallIcon.Reset();
    if (CMessagePump* pump = AppInstance().GetMessageLoop()) {
        pump->RemoveFilter(this);
        pump->RemoveIdleHandler(this);
    }
    return 0;
}

bool CSettingsDlg::PreTranslateMessage(MSG* message) {
    return GetHwnd() && IsDialogMessageA(GetHwnd(), message);
}

bool CSettingsDlg::OnIdle() {
    return false;
}
