#pragma once

#include <memory>
#include <vector>

#include "viewer/tool_button.h"
#include "win/imaging_win.h"
#include "win/window_base.h"

// The viewer's floating bar of tool buttons: a borderless tool window owned by the viewer
// frame that keeps itself at the top right of the frame's client area. Commands, keys and
// wheel turns that reach it go on to the frame, and the keyboard focus goes back there.
class CViewerToolbar : public CWindowBase {
public:
    CViewerToolbar() = default;
    ~CViewerToolbar() override;

    // Visible, owned by `frame`, at a provisional place until the frame's first resize.
    HWND Create(HWND frame);

    void AddButton(UINT commandId, UINT stripResource, UINT tooltipString);
    // Hides the tooltip that the button with this command id may be showing.
    void ResetTooltip(UINT commandId);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnCreate();
    void OnPaint(HDC dc) override;
    void OnWindowPosChanging(WINDOWPOS* position);
    void OnCommand(WPARAM wParam, LPARAM lParam);
    void TearDown();
    HWND Owner() const { return GetWindow(GetHwnd(), GW_OWNER); }

    UINT wheelMessage = 0;
    RECT layout = {2, 2, 27, 25};
    GdipImagePtr background;
    std::vector<std::unique_ptr<CToolButton>> buttons;
    bool destroying = false;
};

// A bitmap resource of the program as a GDI+ picture, or null.
GdipImagePtr LoadResourcePicture(UINT resourceId);
