#include "viewer/window_base.h"

#include "app/app_instance.h"

namespace {

// The object whose window is being created on this thread: it is bound on the window's
// first message, which for a top-level window comes before WM_NCCREATE.
thread_local CWindowBase* creatingWindow = nullptr;

// The window procedure of a system class, or null when the class is unknown.
WNDPROC SystemClassProc(const char* baseClass) {
    WNDCLASSEXA info = {};
    info.cbSize = sizeof(info);
    return GetClassInfoExA(nullptr, baseClass, &info) ? info.lpfnWndProc : nullptr;
}

bool RegisterSpec(const WindowClassSpec& spec, WNDPROC windowProc) {
    const HINSTANCE instance = AppInstance().GetInstance();
    WNDCLASSEXA existing = {};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExA(instance, spec.name, &existing))
        return true;

    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    if (spec.baseClass) {
        if (!GetClassInfoExA(nullptr, spec.baseClass, &windowClass))
            return false;
        windowClass.cbSize = sizeof(windowClass);
    }
    windowClass.style |= spec.style;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = spec.background;
    windowClass.lpszClassName = spec.name;
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

HWND CWindowBase::CreateWindowFromSpec(const WindowClassSpec& spec, DWORD exStyle, const char* title, DWORD style,
                                       const RECT& rect, HWND parentOrOwner, UINT_PTR childId) {
    if (hwnd) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return nullptr;
    }
    defaultProc = DefWindowProcA;
    if (spec.baseClass) {
        defaultProc = SystemClassProc(spec.baseClass);
        if (!defaultProc)
            return nullptr;
    }
    if (!RegisterSpec(spec, &CWindowBase::WindowProc))
        return nullptr;

    creatingWindow = this;
    const HWND created = CreateWindowExA(exStyle, spec.name, title, style, rect.left, rect.top, rect.right - rect.left,
                                         rect.bottom - rect.top, parentOrOwner, reinterpret_cast<HMENU>(childId),
                                         AppInstance().GetInstance(), nullptr);
    creatingWindow = nullptr;
    return created;
}

LRESULT CWindowBase::DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(defaultProc, hwnd, message, wParam, lParam);
}

LRESULT CALLBACK CWindowBase::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CWindowBase*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self && creatingWindow && !creatingWindow->hwnd) {
        self = creatingWindow;
        self->hwnd = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self)
        return DefWindowProcA(window, message, wParam, lParam);

    if (message == WM_NCDESTROY) {
        const LRESULT result = self->HandleMessage(message, wParam, lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->hwnd = nullptr;
        return result;
    }
    return self->HandleMessage(message, wParam, lParam);
}
