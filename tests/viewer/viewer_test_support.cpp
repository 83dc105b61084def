#include "tests/viewer/viewer_test_support.h"

#include <commctrl.h>
#include <objbase.h>

#include <cstdio>
#include <fstream>

#include "win/app_instance.h"
#include "resources/app_messages.h"
#include "services/data_directory.h"
#include "catalog/moon_catalog.h"
#include "tests/wallpaper/wallpaper_test_support.h"

namespace viewer_test {

CViewerProcess::CViewerProcess() {
    CoInitialize(nullptr);
    AppInstance().Init(GetModuleHandleA(nullptr));
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
}

CViewerProcess::~CViewerProcess() {
    AppInstance().Term();
    CoUninitialize();
}

CMoonCatalog& TestCatalog() {
    static CMoonCatalog catalog;
    return catalog;
}

CTestCatalogue::CTestCatalogue(const std::vector<TestEntry>& entries) {
    const std::string& folder = ProcessDataDirectory();
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Quellwicks>\n";
    int phase = 0;
    for (const TestEntry& entry : entries) {
        if (!entry.paper.empty()) {
            files.push_back(folder + entry.paper);
            wallpaper_test::SavePicture(files.back(), entry.width, entry.height,
                                        {{0, 0, entry.width, entry.height, entry.colour}});
        }
        if (!entry.ann.empty()) {
            files.push_back(folder + entry.ann);
            wallpaper_test::SavePicture(
                files.back(), entry.width, entry.height,
                {{entry.width * 2 / 5, entry.height * 2 / 5, entry.width / 5, entry.height / 5, entry.overlayColour}});
        }
        const std::string paper = entry.paper.empty() ? "qw_viewer_missing.png" : entry.paper;
        xml += "<Quellwick paper=\"" + paper + "\" phase=\"" + std::to_string(phase) + "\" ann=\"" + entry.ann +
               "\" title=\"t\">d</Quellwick>\n";
        phase += 10;
    }
    xml += "</Quellwicks>\n";
    files.push_back(folder + "qw_viewer_catalogue_" + std::to_string(GetCurrentProcessId()) + ".xml");
    std::ofstream(files.back(), std::ios::binary) << xml;
    loaded = TestCatalog().Load(files.back()) >= 0 && TestCatalog().GetEntries().size() == entries.size();
}

CTestCatalogue::~CTestCatalogue() {
    for (const std::string& file : files)
        DeleteFileA(file.c_str());
}

COwnerWindow::COwnerWindow() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &COwnerWindow::WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "QuellwickViewerTestOwner";
    RegisterClassExA(&windowClass);
    window = CreateWindowExA(0, windowClass.lpszClassName, "Owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             windowClass.hInstance, this);
}

COwnerWindow::~COwnerWindow() {
    if (window)
        DestroyWindow(window);
}

LRESULT CALLBACK COwnerWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    }
    auto* self = reinterpret_cast<COwnerWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && message == WM_VIEWER_CLOSED) {
        ++self->closedCount;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void Pump() {
    for (int round = 0; round < 3; ++round) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        // Waiting the way a message loop does also lets Wine show the windows' new contents.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, round == 0 ? 20 : 5, QS_ALLINPUT);
    }
}

std::unique_ptr<CViewerWindow> OpenViewer(HWND owner, int index, bool annotated) {
    auto viewer = std::make_unique<CViewerWindow>(TestCatalog());
    if (viewer->Create(owner) != 0)
        return nullptr;
    ShowWindow(viewer->GetHwnd(), SW_MAXIMIZE);
    SetForegroundWindow(viewer->GetHwnd());
    viewer->ShowMoon(index, annotated);
    // A busy machine can take a while to maximize the frame: wait up to about two seconds.
    RECT client = {};
    for (int wait = 0; wait < 60; ++wait) {
        Pump();
        GetClientRect(viewer->GetHwnd(), &client);
        if (IsZoomed(viewer->GetHwnd()) && client.right > 0 && client.bottom > 0)
            break;
    }
    return viewer;
}

PaneCapture CaptureClient(HWND window) {
    UpdateWindow(window);
    GdiFlush();
    // From the window's own surface: without a virtual desktop, Wine's screen DC does not
    // show the windows' contents.
    RECT client = {};
    GetClientRect(window, &client);
    const HDC source = GetDC(window);
    PaneCapture capture = wallpaper_test::CaptureFromDC(source, 0, 0, client.right, client.bottom);
    ReleaseDC(window, source);
    return capture;
}

DWORD PixelOf(const PaneCapture& capture, int x, int y) {
    if (x < 0 || y < 0 || x >= capture.width || y >= capture.height)
        return 0xFFFFFFFF;
    return capture.pixels[static_cast<size_t>(y * capture.width + x)];
}

}  // namespace viewer_test
