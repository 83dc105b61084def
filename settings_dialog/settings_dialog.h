#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "catalog/moon_catalog.h"
#include "catalog/moon_entry.h"
#include "settings_dialog/preview_static.h"
#include "viewer/viewer_window.h"
#include "wallpaper/wallpaper_maker.h"
#include "win/dialog_base.h"
#include "win/message_pump.h"
#include "win/owners_win.h"

// The modeless dialog in which the user lets the wallpaper follow the present moment or
// pins one catalogue picture, with or without its annotations. It has no owner; the tray
// window creates it, shows it and deletes the object once told that it has closed.
class CSettingsDlg : public CDialogBase, public CMessageFilter, public CIdleHandler {
public:
    // `trayWindow` receives WM_SETTINGS_CLOSED when the dialog has destroyed its window.
    // The catalogue and the maker belong to the tray window and outlive the dialog.
    CSettingsDlg(HWND trayWindow, const CMoonCatalog& catalog, CWallpaperMaker& maker);
    ~CSettingsDlg() override;
    CSettingsDlg(const CSettingsDlg&) = delete;
    CSettingsDlg& operator=(const CSettingsDlg&) = delete;

    // Creates the hidden dialog window from its template, with no owner window. The
    // caller shows it. False when the window cannot be created.
    bool Create();
    // The one way the dialog ends; the command id that asks for it is not used.
    void CloseDialog(int commandId);
    // Whether one of the dialog's actions (Apply, About) is still running, in a box's loop,
    // so that the object must outlive its window until the action returns.
    bool IsBusy() const { return busyDepth != 0; }

    bool PreTranslateMessage(MSG* message) override;
    bool OnIdle() override;

private:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    BOOL OnInitDialog();
    LRESULT OnViewerClosed();
    LRESULT OnDestroy();
    void OnAbout();
    void OnOK();
    void OnCancel();
    void OnListSelChange();
    void OnCurrentTimeClicked();
    void OnChooseClicked();
    void OnApply();
    void OnAnnotatedClicked();
    void OnLiveClicked();
    // The orientation list and its choice.
    enum OrientationItem { kNorthUp, kSouthUp, kAsInSky };
    void FillOrientations(int selected);
    int Orientation() const;
    // Whether the dialog's choice shows the live Moon, and what it asks to be drawn.
    bool ShowsLiveMoon() const;
    LiveMoonRequest LiveRequest() const;
    void OnViewFullscreen();
    void OnChangePlace();

    void CentreDialog();
    void SetIcons();
    void FillMoonList();
    void EnableChooser(bool enable);
    void SetApplied(bool flag);
    // The catalogue index of the entry the dialog's choice shows, stored in `entry`;
    // -1 (and `entry` untouched) when the choice names no entry.
    int GetShownEntry(MoonEntry* entry) const;
    void UpdatePreview();
    // Shows the user's place, and after the present moment the next principal phases, the
    // Moon's next rise and set at the place and the next lunar eclipse.
    void UpdateSky();
    void SetText(int controlId, const std::string& text);
    void ApplySettings();
    // Marks an action that may run a modal loop; a window closed meanwhile is reported to
    // the tray window again when the action ends, since the first report was not acted on.
    class CBusy {
    public:
        explicit CBusy(CSettingsDlg& dialog);
        ~CBusy();
        CBusy(const CBusy&) = delete;
        CBusy& operator=(const CBusy&) = delete;

    private:
        CSettingsDlg& dialog;
    };

    bool IsChecked(int controlId) const;
    int ListSelection() const;

    bool applied = false;
    int busyDepth = 0;
    // The open fullscreen viewer; deleted once it reports that it has closed.
    std::unique_ptr<CViewerWindow> viewer;
    CPreviewStatic preview;
    HWND trayWindow;
    const CMoonCatalog& catalogue;
    CWallpaperMaker& wallpaperMaker;
    CIconOwner bigIcon;
    CIconOwner smallIcon;
};
