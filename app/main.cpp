#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/tray_window.h"
#include "resources/resource.h"
#include "win/app_instance.h"
#include "win/imaging_win.h"
#include "win/message_pump.h"

namespace {

// Owns the rich-edit library so that the About box's control class exists.
class CLibrary {
public:
    explicit CLibrary(const char* name) : module(LoadLibraryA(name)) {}
    ~CLibrary() {
        if (module)
            FreeLibrary(module);
    }
    CLibrary(const CLibrary&) = delete;
    CLibrary& operator=(const CLibrary&) = delete;

private:
    HMODULE module;
};

class CComApartment {
public:
    CComApartment() : initialised(SUCCEEDED(CoInitialize(nullptr))) {}
    ~CComApartment() {
        if (initialised)
            CoUninitialize();
    }
    CComApartment(const CComApartment&) = delete;
    CComApartment& operator=(const CComApartment&) = delete;

private:
    bool initialised;
};

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
    // Started in this order and stopped in the reverse one by the owners' destructors.
    const CComApartment apartment;

    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    const CGdiplusSession imaging;
    AppInstance().Init(instance);
    int exitCode = 0;
    {
        const CLibrary richEdit("RICHED20.DLL");
        exitCode = Run();
    }
    AppInstance().Term();
    return exitCode;
}
