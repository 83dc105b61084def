#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/tray_window.h"
#include "resources/app_messages.h"
#include "resources/resource.h"
#include "win/app_instance.h"
#include "win/imaging_win.h"
#include "win/message_pump.h"
#include "win/owners_win.h"

namespace {

// A library of the system directory (never one planted beside the program), such as the
// rich-edit library, so that the About box's control class exists; null when it cannot load.
HMODULE LoadSystemLibrary(const wchar_t* name) {
    wchar_t directory[MAX_PATH + 1] = {};
    const UINT length = GetSystemDirectoryW(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    const std::wstring path = std::wstring(directory) + L"\\" + name;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// Libraries loaded by name come from the system directory only. SetDefaultDllDirectories
// exists from Windows 8 (and on Windows 7 with KB2533623), so it is looked up; without it the
// current directory at least leaves the search.
void RestrictDllSearch() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto setDefault = kernel ? reinterpret_cast<SetDefaultDllDirectoriesFn>(
                                         reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))
                                   : nullptr;
    if (setDefault)
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    SetDllDirectoryW(L"");
}

// How long the running copy has to answer before the user is told that it hangs.
constexpr UINT kAnswerMs = 3000;

// Asks the running copy to open its settings dialog, as a double click on its icon does.
// It may have just started, so its tray window is given a few seconds to appear. False when
// it does not appear or does not answer.
bool OpenRunningCopy() {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const HWND tray = FindWindowA(kTrayWindowClass, kTrayWindowTitle);
        if (tray) {
            DWORD_PTR answer = 0;
            if (!SendMessageTimeoutA(tray, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kAnswerMs, &answer))
                return false;
            DWORD processId = 0;
            GetWindowThreadProcessId(tray, &processId);
            AllowSetForegroundWindow(processId);
            PostMessageA(tray, WM_TRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
            return true;
        }
        Sleep(100);
    }
    return false;
}

int Run() {
    CMessagePump pump;
    AppInstance().AddMessageLoop(&pump);
    int exitCode = 0;
    {
        CTrayWindow trayWindow(IDI_QUELLWICK);
        exitCode = pump.Run();
        AppInstance().RemoveMessageLoop();
    }
    return exitCode;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    RestrictDllSearch();
    // The named mutex that marks the one running copy in this session.
    const CKernelHandle single(CreateMutexA(nullptr, FALSE, "Local\\Quellwick.SingleInstance"));
    if (single.Get() && GetLastError() == ERROR_ALREADY_EXISTS) {
        if (OpenRunningCopy())
            return 0;
        MessageBoxA(nullptr,
                    "Quellwick is already running but is not responding. Wait a moment and try again, or end "
                    "Quellwick in Task Manager and start it again.",
                    "Quellwick", MB_OK | MB_ICONWARNING);
        return 1;
    }

    // Started in this order and stopped in the reverse one by the owners' destructors.
    const CComApartment apartment;

    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    const CGdiplusSession imaging;
    AppInstance().Init(instance);
    int exitCode = 0;
    {
        const CLibraryOwner richEdit(LoadSystemLibrary(L"RICHED20.DLL"));
        exitCode = Run();
    }
    AppInstance().Term();
    return exitCode;
}
