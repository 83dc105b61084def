#pragma once

#include <windows.h>

// A dialog bound to its object from WM_INITDIALOG to WM_NCDESTROY, the way CWindowBase
// binds a window: the object travels as the creation parameter and is kept in DWLP_USER
// as a LONG_PTR. The derived class routes messages in HandleMessage and answers FALSE for
// those it leaves to the dialog manager.
class CDialogBase {
public:
    CDialogBase() = default;
    virtual ~CDialogBase();
    CDialogBase(const CDialogBase&) = delete;
    CDialogBase& operator=(const CDialogBase&) = delete;

    HWND GetHwnd() const { return hwnd; }

protected:
    // Runs the dialog of template `templateId` in `module` modally over `owner` (may be
    // null) and returns what EndDialog was given, or -1 when it could not be created.
    INT_PTR RunModal(HINSTANCE module, int templateId, HWND owner);
    // Creates the modeless dialog of template `templateId` in `module`; null on failure.
    HWND CreateModeless(HINSTANCE module, int templateId, HWND owner);

    virtual INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd = nullptr;
};
