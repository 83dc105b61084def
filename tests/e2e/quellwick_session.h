#pragma once

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

// Polls `condition` every 50 ms until it holds or `timeoutMs` has passed.
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

// A running Quellwick.exe on the virtual desktop; ended on destruction if still running.
class CQuellwickProcess {
public:
    explicit CQuellwickProcess(const std::string& programPath);
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

FILETIME LastWriteTime(const std::string& path);

// What the screen shows inside a window's rectangle.
using ScreenCapture = wallpaper_test::PixelCapture;
ScreenCapture CaptureWindow(HWND window);

// Presses and releases a key with SendInput.
void PressKey(WORD virtualKey);

}  // namespace e2e
