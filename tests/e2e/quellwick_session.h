#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/wallpaper/wallpaper_test_support.h"

// Drives the staged Quellwick.exe as a user would, inside a Wine virtual desktop (which
// has a notification area and shows the wallpaper).
namespace e2e {

constexpr char kDesktopName[] = "QuellwickE2E";
constexpr int kDesktopWidth = 1280;
constexpr int kDesktopHeight = 800;

// How long a wait allows the program at least. A wait ends as soon as what it waits for
// happens, so only a failing test pays for the margin that the 32-bit program needs when it
// runs under an emulator, several times slower than on a real machine.
constexpr DWORD kPatienceMs = 30000;

// Polls `condition` every 50 ms until it holds or the longer of `timeoutMs` and
// kPatienceMs has passed.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs);

// Moves the calling thread onto the virtual desktop, creating it on first use. Must run
// before the thread owns any window.
bool EnterVirtualDesktop();

// An installed layout in a scratch folder: bin\Quellwick.exe (copied from the build's
// staged program) beside data\, which the test fills.
class CInstalledLayout {
public:
    CInstalledLayout();
    ~CInstalledLayout();
    CInstalledLayout(const CInstalledLayout&) = delete;
    CInstalledLayout& operator=(const CInstalledLayout&) = delete;

    bool IsReady() const { return ready; }
    std::string ProgramPath() const { return root + "\\bin\\Quellwick.exe"; }
    std::string DataPath(const std::string& file) const { return root + "\\data\\" + file; }

private:
    std::string root;
    bool ready = false;
};

// A running Quellwick.exe (or another program, with its arguments) on the virtual desktop;
// ended on destruction if still running.
class CQuellwickProcess {
public:
    explicit CQuellwickProcess(const std::string& programPath, const std::string& arguments = "");
    ~CQuellwickProcess();
    CQuellwickProcess(const CQuellwickProcess&) = delete;
    CQuellwickProcess& operator=(const CQuellwickProcess&) = delete;

    bool IsStarted() const { return process != nullptr; }
    // The hidden tray window of this process, waiting for it to appear; null on timeout.
    HWND WaitForTrayWindow(DWORD timeoutMs);
    // Exit code after the process ends within the time; STILL_ACTIVE on timeout.
    DWORD WaitForExit(DWORD timeoutMs);
    DWORD Id() const { return processId; }

private:
    HANDLE process = nullptr;
    DWORD processId = 0;
};

// Top-level windows of a process with a class name (and caption, when given).
std::vector<HWND> ProcessWindows(DWORD processId, const char* className, const char* caption);
HWND FindProcessWindow(DWORD processId, const char* className, const char* caption);

// Whether the notification area holds the icon of a window (id 0).
bool HasTrayIcon(HWND owner);

// Per-user and machine state that the program changes, reset between tests.
void RemoveSettingsKey();
void RemoveWallpaperFiles();
std::string WindowsWallpaperPath();
std::string UserWallpaperPath();
// The desktop wallpaper the user profile records.
std::string DesktopWallpaperSetting();
std::string ReadDesktopString(const char* name);
bool ReadSettingsDword(const char* name, DWORD* value);
// Stores a number in the program's settings key, creating the key. False on failure.
bool WriteSettingsDword(const char* name, DWORD value);

FILETIME LastWriteTime(const std::string& path);

// What the screen shows inside a window's rectangle, or inside its client area.
using ScreenCapture = wallpaper_test::PixelCapture;
ScreenCapture CaptureWindow(HWND window);
ScreenCapture CaptureClient(HWND window);
// A captured pixel as an opaque colour; black outside the capture.
Gdiplus::ARGB CapturedAt(const ScreenCapture& capture, int x, int y);

// Real input through SendInput: a key pressed and released, the pointer moved to a screen
// point, the left button pressed or released. The pointer calls wait for the input to land.
void PressKey(WORD virtualKey);
void MouseTo(int x, int y);
void MouseButton(bool down);

// The fixture of the tests that drive the staged program: GDI+ for the test's own pictures,
// this thread on the virtual desktop, a fresh installed layout, and neither settings nor
// wallpaper files left from another test, at the start and at the end of each test.
class QuellwickSessionTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    CGdiplusSession imaging;
    CInstalledLayout layout;
};

// A catalogue of five pictures that tell each other apart by colour: entry i at phase
// i * 50 is moon_<i>.png, kEntryWidth x kEntryHeight, its left half kLeftColours[i] and its
// right half kRightColours[i]. Every entry has the overlay overlay.png: a 100 x 100 block of
// kOverlayGreen in the middle, transparent elsewhere.
constexpr int kEntryCount = 5;
constexpr int kEntryWidth = 300;
constexpr int kEntryHeight = 200;
constexpr Gdiplus::ARGB kLeftColours[kEntryCount] = {0xFFC03030, 0xFF30C030, 0xFF3030C0, 0xFFC0C030, 0xFF30C0C0};
constexpr Gdiplus::ARGB kRightColours[kEntryCount] = {0xFFE0E0E0, 0xFF806020, 0xFFC060C0, 0xFF204080, 0xFFE08020};
constexpr Gdiplus::ARGB kOverlayGreen = 0xFF20E040;

// Writes those pictures and their Quellwicks.xml into the layout's data folder; entry i has
// the title `title(i)` and the description `description(i)`, as catalogue text.
bool WriteColourCatalogue(const CInstalledLayout& layout, const std::function<std::string(int)>& title,
                          const std::function<std::string(int)>& description);

}  // namespace e2e
