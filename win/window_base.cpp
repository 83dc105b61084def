#include "win/window_base.h"

#include "win/app_instance.h"
#include "win/owners_win.h"

namespace {

// The module that registers the classes: the application's, or the program's own where
// no application object was set up (a test that hosts one control).
HINSTANCE ClassModule() {
    const HINSTANCE instance = AppInstance().GetInstance();
    return instance ? instance : GetModuleHandleA(nullptr);
}

// The window procedure of a system class, or null when the class is unknown.
WNDPROC SystemClassProc(const char* baseClass) {
    WNDCLASSEXA info = {};
    info.cbSize = sizeof(info);
    return GetClassInfoExA(nullptr, baseClass, &info) ? info.lpfnWndProc : nullptr;
}

bool RegisterWindowClass(const WindowClassInfo& classInfo, WNDPROC windowProc) {
    const HINSTANCE instance = ClassModule();
    WNDCLASSEXA existing = {};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExA(instance, classInfo.name, &existing))
        return true;

    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    if (classInfo.baseClass) {
        if (!GetClassInfoExA(nullptr, classInfo.baseClass, &windowClass))
            return false;
        windowClass.cbSize = sizeof(windowClass);
    }
    windowClass.style |= classInfo.style;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = classInfo.background;
    windowClass.lpszClassName = classInfo.name;
    windowClass.lpszMenuName = nullptr;
    return RegisterClassExA(&windowClass) != 0;
}

}  // namespace

CWindowBase::~CWindowBase() {
    // A derived class destroys its windows itself; a window must never outlive its object.
    if (hwnd) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        DestroyWindow(hwnd);
    }
}

HWND CWindowBase::CreateWindowOfClass(const WindowClassInfo& classInfo, DWORD exStyle, const char* title, DWORD style,
                                      const RECT& rect, HWND parentOrOwner, UINT_PTR childId) {
    if (hwnd) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return nullptr;
    }
    defaultProc = DefWindowProcA;
    if (classInfo.baseClass) {
        defaultProc = SystemClassProc(classInfo.baseClass);
        if (!defaultProc)
            return nullptr;
    }
    if (!RegisterWindowClass(classInfo, &CWindowBase::WindowProc))
        return nullptr;

    return CreateWindowExA(exStyle, classInfo.name, title, style, rect.left, rect.top, rect.right - rect.left,
                           rect.bottom - rect.top, parentOrOwner, reinterpret_cast<HMENU>(childId), ClassModule(),
                           this);
}

LRESULT CWindowBase::DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(defaultProc, hwnd, message, wParam, lParam);
}

void CWindowBase::OnPaint(HDC) {}

LRESULT CWindowBase::PaintMessage(UINT message, WPARAM wParam) {
    if (message == WM_PRINTCLIENT) {
        OnPaint(reinterpret_cast<HDC>(wParam));
        return 0;
    }
    const CPaintScope paint(hwnd);
    OnPaint(paint.Dc());
    return 0;
}

LRESULT CALLBACK CWindowBase::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* created = static_cast<CWindowBase*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (created && !created->hwnd) {
            created->hwnd = window;
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
        }
    }
    // Messages before WM_NCCREATE (a top-level window's WM_GETMINMAXINFO) find no object.
    auto* self = reinterpret_cast<CWindowBase*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcA(window, message, wParam, lParam);

    if (message == WM_NCDESTROY) {
        const LRESULT result = self->HandleMessage(message, wParam, lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->hwnd = nullptr;
        self->OnFinalMessage();
        return result;
    }
    return self->HandleMessage(message, wParam, lParam);
}
