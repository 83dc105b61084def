#pragma once

#include <string>

#include "win/imaging_win.h"
#include "win/window_base.h"

// An owner-drawn image button: a superclass of the system button whose face is one cell of
// a strip picture (normal, pushed, hover/focus and disabled cells side by side). A click is
// reported to the parent as WM_COMMAND / BN_CLICKED only when the left button is released
// over the button.
class CToolButton : public CWindowBase {
public:
    // Extended style bits.
    static constexpr DWORD kHover = 1;
    static constexpr DWORD kAutoSize = 2;

    explicit CToolButton(DWORD style) : extendedStyle(style) {}
    ~CToolButton() override;

    // A visible child of `parent` with the control id `commandId`.
    HWND Create(HWND parent, const RECT& rect, UINT commandId);

    // Stores the strip and its cell width and returns the previous strip. With the autosize
    // style the window's client area becomes one cell.
    GdipImagePtr SetStrip(GdipImagePtr picture, int width);
    // Cell indexes of the normal, pushed, hover/focus and disabled faces; -1 leaves one as it is.
    void SetImageIndices(int normal, int pushed, int hover, int disabled);
    // The tooltip text; empty text switches the tooltip off.
    void SetToolTipText(const std::string& text);

    HWND GetToolTip() const { return toolTip; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    enum Face { kNormalFace, kPushedFace, kHoverFace, kDisabledFace };
    // State bits.
    static constexpr DWORD kMouseOver = 1;
    static constexpr DWORD kFocus = 2;
    static constexpr DWORD kPressed = 4;

    // The strip cell that the button shows in its present state.
    int CurrentCell() const;

    LRESULT OnCreate(LPARAM lParam);
    void OnLButtonDown();
    void OnLButtonUp();
    void OnMouseMove(LPARAM lParam);
    void OnMouseLeave();
    void OnCaptureChanged();
    void OnFocus(bool focused);
    void OnPaint(HDC dc) override;
    void RelayToToolTip(UINT message, WPARAM wParam, LPARAM lParam);
    void RegisterTool();
    void SetStateBit(DWORD bit, bool on);
    void Redraw(bool now);

    DWORD extendedStyle;
    int cells[4] = {-1, -1, -1, -1};
    HWND toolTip = nullptr;
    std::string toolTipText;
    DWORD state = 0;
    GdipImagePtr strip;
    int cellWidth = 0;
};
