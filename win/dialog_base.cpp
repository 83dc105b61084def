#include "win/dialog_base.h"

CDialogBase::~CDialogBase() {
    // A derived class closes its dialog itself; a window must never outlive its object.
    if (hwnd) {
        SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        DestroyWindow(hwnd);
    }
}

INT_PTR CDialogBase::RunModal(HINSTANCE module, int templateId, HWND owner) {
    return DialogBoxParamA(module, MAKEINTRESOURCEA(templateId), owner, &CDialogBase::DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

HWND CDialogBase::CreateModeless(HINSTANCE module, int templateId, HWND owner) {
    return CreateDialogParamA(module, MAKEINTRESOURCEA(templateId), owner, &CDialogBase::DialogProc,
                              reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CDialogBase::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* created = reinterpret_cast<CDialogBase*>(lParam);
        created->hwnd = window;
        SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(created));
    }
    auto* self = reinterpret_cast<CDialogBase*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!self)
        return FALSE;
    const INT_PTR result = self->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, DWLP_USER, 0);
        self->hwnd = nullptr;
    }
    return result;
}
