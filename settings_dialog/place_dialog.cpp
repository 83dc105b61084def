#include "settings_dialog/place_dialog.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "resources/settings_dialog_ids.h"
#include "win/app_instance.h"

namespace {

bool ContainsIgnoringCase(const std::string& text, const std::string& part) {
    const auto same = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    };
    return std::search(text.begin(), text.end(), part.begin(), part.end(), same) != text.end();
}

}  // namespace

CPlaceDlg::CPlaceDlg(NamedPlace current) : chosen(std::move(current)) {}

bool CPlaceDlg::DoModal(HWND owner) {
    return RunModal(AppInstance().GetInstance(), IDD_PLACE, owner) == IDOK;
}

INT_PTR CPlaceDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG)
        return OnInitDialog();
    if (message != WM_COMMAND)
        return FALSE;
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (id == IDOK)
        OnOK();
    else if (id == IDCANCEL)
        EndDialog(GetHwnd(), IDCANCEL);
    else if (id == IDC_PLACE_SEARCH && code == EN_CHANGE)
        FillList();
    else if (id == IDC_PLACE_LIST && code == LBN_SELCHANGE)
        OnSelChange();
    else
        return FALSE;
    return TRUE;
}

BOOL CPlaceDlg::OnInitDialog() {
    ShowPlace(chosen);
    FillList();
    return TRUE;
}

void CPlaceDlg::FillList() {
    const HWND list = GetDlgItem(GetHwnd(), IDC_PLACE_LIST);
    const std::string search = FieldText(IDC_PLACE_SEARCH);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    const std::vector<NamedPlace>& places = KnownPlaces();
    for (size_t i = 0; i < places.size(); ++i) {
        if (!ContainsIgnoringCase(places[i].name, search))
            continue;
        const LRESULT line = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(places[i].name.c_str()));
        SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(line), static_cast<LPARAM>(i));
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    if (!shown.name.empty()) {
        const LRESULT line = SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                          reinterpret_cast<LPARAM>(shown.name.c_str()));
        SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(line), 0);
    }
    if (SendMessageA(list, LB_GETCOUNT, 0, 0) == 1) {
        SendMessageA(list, LB_SETCURSEL, 0, 0);
        OnSelChange();
    }
}

void CPlaceDlg::OnSelChange() {
    const HWND list = GetDlgItem(GetHwnd(), IDC_PLACE_LIST);
    const LRESULT line = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (line != LB_ERR)
        ShowPlace(KnownPlaces()[static_cast<size_t>(SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(line), 0))]);
}

void CPlaceDlg::ShowPlace(const NamedPlace& place) {
    shown = place;
    SetDlgItemTextA(GetHwnd(), IDC_LATITUDE, CoordinateValueText(place.place.latitudeDeg).c_str());
    SetDlgItemTextA(GetHwnd(), IDC_LONGITUDE, CoordinateValueText(place.place.longitudeDeg).c_str());
}

std::string CPlaceDlg::FieldText(int controlId) const {
    char text[256] = {};
    GetDlgItemTextA(GetHwnd(), controlId, text, sizeof text);
    return text;
}

void CPlaceDlg::OnOK() {
    const std::string latitude = FieldText(IDC_LATITUDE);
    const std::string longitude = FieldText(IDC_LONGITUDE);
    GeoPlace place;
    const char* problem = nullptr;
    int field = 0;
    if (!ParseCoordinate(latitude, 90.0, &place.latitudeDeg)) {
        problem = "The latitude must be a number of degrees from -90 to 90, negative south of the equator.";
        field = IDC_LATITUDE;
    } else if (!ParseCoordinate(longitude, 180.0, &place.longitudeDeg)) {
        problem = "The longitude must be a number of degrees from -180 to 180, negative west of Greenwich.";
        field = IDC_LONGITUDE;
    }
    if (problem) {
        MessageBoxA(GetHwnd(), problem, "Your place", MB_OK | MB_ICONEXCLAMATION);
        const HWND edit = GetDlgItem(GetHwnd(), field);
        SendMessageA(GetHwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
        SendMessageA(edit, EM_SETSEL, 0, -1);
        return;
    }
    // Coordinates of the user's own are a place without a name.
    if (latitude == CoordinateValueText(shown.place.latitudeDeg) &&
        longitude == CoordinateValueText(shown.place.longitudeDeg))
        chosen = shown;
    else
        chosen = NamedPlace{std::string(), place, std::string()};
    EndDialog(GetHwnd(), IDOK);
}
