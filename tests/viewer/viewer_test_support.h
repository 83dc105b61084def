#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/wallpaper/wallpaper_test_support.h"
#include "viewer/viewer_window.h"
#include "win/imaging_win.h"

// A viewer created directly by a test, with pictures and a catalogue in the data folder.
namespace viewer_test {

// What a process needs before it makes any viewer: COM for the catalogue reader, GDI+,
// and the module that holds the resources.
class CViewerProcess {
public:
    CViewerProcess();
    ~CViewerProcess();
    CViewerProcess(const CViewerProcess&) = delete;
    CViewerProcess& operator=(const CViewerProcess&) = delete;

    bool IsReady() const { return imaging.IsStarted(); }

private:
    CGdiplusSession imaging;
};

// One entry's pictures: one colour all over, and an overlay with a square of
// `overlayColour` (a fifth of each side) in the middle and nothing elsewhere. Colours are
// 0xAARRGGBB.
struct TestEntry {
    std::string paper;  // empty: the catalogue names a file that does not exist
    std::string ann;
    int width;
    int height;
    DWORD colour;
    DWORD overlayColour;
};

// The catalogue that the test's viewers show.
CMoonCatalog& TestCatalog();

// Writes the pictures and a catalogue into the process's data folder and loads it into
// TestCatalog(); removes the files at the end.
class CTestCatalogue {
public:
    explicit CTestCatalogue(const std::vector<TestEntry>& entries);
    ~CTestCatalogue();
    CTestCatalogue(const CTestCatalogue&) = delete;
    CTestCatalogue& operator=(const CTestCatalogue&) = delete;

    bool IsLoaded() const { return loaded; }

private:
    std::vector<std::string> files;
    bool loaded = false;
};

// Stands in for the settings dialog: owns the viewer and counts its WM_VIEWER_CLOSED.
class COwnerWindow {
public:
    COwnerWindow();
    ~COwnerWindow();
    COwnerWindow(const COwnerWindow&) = delete;
    COwnerWindow& operator=(const COwnerWindow&) = delete;

    HWND Get() const { return window; }
    int ClosedCount() const { return closedCount; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window = nullptr;
    int closedCount = 0;
};

// Dispatches everything waiting in this thread's queue, painting included.
void Pump();

// Opens a viewer as the settings dialog does: create, show maximized, show an entry.
std::unique_ptr<CViewerWindow> OpenViewer(HWND owner, int index, bool annotated);

// A window's client area as drawn, and one of its pixels as 0x00RRGGBB (white outside).
using PaneCapture = wallpaper_test::PixelCapture;
PaneCapture CaptureClient(HWND window);
DWORD PixelOf(const PaneCapture& capture, int x, int y);

}  // namespace viewer_test
