#pragma once

#include <windows.h>

// How a window class of the program is registered. A class with a `baseClass` is a
// superclass of that system class: it keeps the system class's behaviour for every message
// that its object leaves to DefaultProcessing.
struct WindowClassInfo {
    const char* name = nullptr;
    const char* baseClass = nullptr;
    HBRUSH background = nullptr;
    UINT style = 0;
};

// A window bound to its object from WM_NCCREATE to WM_NCDESTROY: the object travels as the
// creation parameter and is kept in GWLP_USERDATA as a LONG_PTR. The derived class routes
// messages in HandleMessage and leaves the rest to DefaultProcessing. Every window of the
// program is one of these; dialogs bind the same way through CDialogBase.
class CWindowBase {
public:
    CWindowBase() = default;
    virtual ~CWindowBase();
    CWindowBase(const CWindowBase&) = delete;
    CWindowBase& operator=(const CWindowBase&) = delete;

    HWND GetHwnd() const { return hwnd; }
    bool IsWindowAlive() const { return hwnd != nullptr; }

protected:
    // Registers the class on first use (the module of AppInstance) and creates the window.
    // Null on failure, with the platform's last error set.
    HWND CreateWindowOfClass(const WindowClassInfo& classInfo, DWORD exStyle, const char* title, DWORD style,
                             const RECT& rect, HWND parentOrOwner, UINT_PTR childId);

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    LRESULT DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam);
    // Called after the window has received its last message and been unbound.
    virtual void OnFinalMessage() {}

    // The one paint path. A window that draws its own client area overrides OnPaint and
    // routes both WM_PAINT and WM_PRINTCLIENT to PaintMessage: WM_PAINT paints the invalid
    // part between BeginPaint and EndPaint, WM_PRINTCLIENT paints into the device context it
    // carries in wParam.
    virtual void OnPaint(HDC dc);
    LRESULT PaintMessage(UINT message, WPARAM wParam);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd = nullptr;
    WNDPROC defaultProc = DefWindowProcA;
};
