#pragma once

#include <windows.h>

#include <string>

#include "services/user_place.h"
#include "win/dialog_base.h"

// The modal dialog in which the user picks their place among the places of the time
// zones, found by a part of the name, or gives the latitude and longitude of any other.
class CPlaceDlg : public CDialogBase {
public:
    explicit CPlaceDlg(NamedPlace current);

    // Runs the dialog over `owner`; true when it ended with OK on a valid place, which
    // Chosen() then gives.
    bool DoModal(HWND owner);
    const NamedPlace& Chosen() const { return chosen; }

private:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog();
    // The places whose name holds the search text; a lone one is chosen at once.
    void FillList();
    void OnSelChange();
    void OnOK();
    // Shows the place's coordinates in the fields; while the fields hold them, it is the
    // place that OK chooses.
    void ShowPlace(const NamedPlace& place);
    std::string FieldText(int controlId) const;

    NamedPlace chosen;
    NamedPlace shown;
};
