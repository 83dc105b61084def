#pragma once

#include <cstdint>

#include "catalog/moon_catalog.h"
#include "services/picture_set.h"
#include "viewer/moon_view.h"
#include "viewer/viewer_toolbar.h"
#include "win/window_base.h"

// The fullscreen viewer: a caption-less popup frame holding the picture pane, with the
// floating tool bar. Its owner (the settings dialog) creates it, shows it maximized, tells
// it which catalogue entry to show, and deletes the object once the viewer has posted
// WM_VIEWER_CLOSED to it: exactly once, however the frame ends or when Create fails, and
// never when the owner deletes an open viewer.
class CViewerWindow : public CWindowBase {
public:
    // Shows the entries of `catalog` from `pictures`; both outlive the viewer.
    CViewerWindow(const CMoonCatalog& catalog, const CPictureSet& pictureSet)
        : catalogue(catalog), pictures(pictureSet) {}
    ~CViewerWindow() override;

    // Creates the frame, which creates the pane and the tool bar. 0 on success, otherwise
    // the platform's last error as a failure code (and the close is reported).
    int32_t Create(HWND notifyWindow);

    // Shows catalogue entry `index` at best fit, centred; an index outside the catalogue
    // shows an empty black pane. `southern` turns the picture by a half turn and takes the
    // southern overlay, for this entry and the phases stepped to from it.
    void ShowMoon(int32_t index, bool annotated, bool southern = false);
    // Shows pictures drawn by the caller (the live Moon: `labelled` is the same Moon with its
    // labels) at best fit; the phase buttons then step on from catalogue entry `index`.
    void ShowPictures(int32_t index, GdipImagePtr plain, GdipImagePtr labelled, bool annotated, bool southern);
    // Destroys the pane, the tool bar and the frame, and tells the owner, once.
    void CloseViewer();

    int32_t GetCurrentIndex() const { return currentIndex; }
    const CMoonView& GetView() const { return view; }
    const CViewerToolbar& GetToolbar() const { return toolbar; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnCreate();
    void OnSize(int width, int height);
    void OnChar(WPARAM character);
    void OnKeyDown(WPARAM key);
    void OnCommand(UINT id);
    void StepPhase(int32_t index);
    void ShowErrorBox();
    void DestroyWindows();
    void ReportClosed();

    const CMoonCatalog& catalogue;
    const CPictureSet& pictures;
    CMoonView view;
    CViewerToolbar toolbar;
    HWND notifyWindow = nullptr;
    int32_t currentIndex = -1;
    // The Moon is shown as seen from the southern hemisphere (see ShowMoon).
    bool southernView = false;
};
