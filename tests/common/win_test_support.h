#pragma once

// The helpers of every test that runs under Wine: pictures, screen captures, one wait, a
// virtual desktop, the viewer made in this process, and the staged program driven as a user.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "viewer/viewer_window.h"
#include "win/imaging_win.h"

namespace wintest {

// Every wait for the program or the desktop: generous, since the 32-bit program runs
// under emulation several times slower.
constexpr DWORD kPatience = 30000;
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = kPatience);

// What a device context shows: 0x00RRGGBB rows, top down. At() is opaque, black outside.
struct PixelCapture {
    int width = 0, height = 0;
    std::vector<DWORD> pixels;
    Gdiplus::ARGB At(int x, int y) const;
};
PixelCapture CaptureScreen(HWND window, bool clientOnly);
// Without a virtual desktop the screen shows no window contents: read the window's own.
PixelCapture CaptureOwnClient(HWND window);

struct Block {
    int x, y, width, height;
    Gdiplus::ARGB colour;
};
// A picture, transparent but for the blocks, in the format the extension selects.
bool SavePicture(const std::filesystem::path& path, int width, int height, std::initializer_list<Block> blocks);
GdipBitmapPtr OpenBitmap(const std::filesystem::path& path);
Gdiplus::ARGB PixelAt(Gdiplus::GpBitmap* bitmap, int x, int y);
bool ColourNear(Gdiplus::ARGB actual, Gdiplus::ARGB expected, int tolerance = 8);
std::string ReadFileBytes(const std::filesystem::path& path);
bool WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

// A fresh folder under the temporary directory, removed with its contents at the end.
class CScratchFolder {
public:
    explicit CScratchFolder(const std::string& name);
    ~CScratchFolder();
    std::string Path(const std::string& file) const { return folder + "\\" + file; }
    const std::string& Folder() const { return folder; }

private:
    std::string folder;
};

// Moves this thread (which must own no window yet) onto a Wine virtual desktop of that
// size, which has a notification area and shows the wallpaper; waits for its task bar.
bool EnterVirtualDesktop(const std::string& name, int width, int height);

// What a process needs before it makes a viewer: COM, GDI+, the module with the resources.
struct CViewerProcess {
    CViewerProcess();
    ~CViewerProcess();
    bool IsReady() const { return imaging.IsStarted(); }
    CGdiplusSession imaging;
};

// One colour all over, and an overlay with a square of `overlayColour` (a fifth of each
// side) in the middle. An empty paper names a file that does not exist.
struct TestEntry {
    std::string paper, ann;
    int width, height;
    DWORD colour, overlayColour;
};

// The catalogue that the tests' viewers show, and the pictures of this process's data folder.
CMoonCatalog& TestCatalog();
const CPictureSet& TestPictures();

// The pictures and a catalogue in the process's data folder, loaded into TestCatalog();
// removed at the end.
struct CTestCatalogue {
    explicit CTestCatalogue(const std::vector<TestEntry>& entries);
    ~CTestCatalogue();
    bool IsLoaded() const { return loaded; }
    std::vector<std::string> files;
    bool loaded = false;
};

// Stands in for the settings dialog: owns the viewer and counts its WM_VIEWER_CLOSED (one
// owner at a time).
class COwnerWindow {
public:
    COwnerWindow();
    ~COwnerWindow();
    HWND Get() const { return window; }
    int ClosedCount() const { return closedCount; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window = nullptr;
    static int closedCount;
};

// Dispatches everything waiting in this thread's queue, painting included.
void Pump();
// Creates a viewer, shows it maximized and shows an entry, as the settings dialog does.
std::unique_ptr<CViewerWindow> OpenViewer(HWND owner, int index, bool annotated);

// Starts a program on the virtual desktop and waits up to `timeoutMs` for it to end: its
// exit code, or STILL_ACTIVE while it runs on.
DWORD RunProgram(const std::filesystem::path& path, const std::string& arguments, DWORD timeoutMs = kPatience);

// The staged program, copied into an installed layout of its own (bin\ beside data\) in a
// temporary folder, whose name starts with `stageName` when given; or, given a root, the
// copy installed there, which stays when the object goes.
class CProgram {
public:
    CProgram();
    explicit CProgram(const std::wstring& stageName);
    explicit CProgram(std::string installedRoot);
    ~CProgram();
    bool IsReady() const { return ready; }
    std::filesystem::path ProgramPath() const { return root.native() + L"\\bin\\Quellwick.exe"; }
    std::filesystem::path DataPath(const std::string& file) const;
    // Copies files of the build's staged data folder into this layout's.
    bool CopyStagedData(std::initializer_list<const char*> files) const;
    // Starts it on the virtual desktop; Start also waits for its hidden tray window.
    bool Launch(const std::string& arguments = "");
    HWND Start();
    // Ends it if still running.
    void Kill();
    // A visible top-level window of the program, waited for; null on timeout.
    HWND WaitWindow(const char* className, const char* caption, HWND other = nullptr) const;
    HWND FindWindowOf(const char* className, const char* caption) const;
    std::vector<HWND> Windows(const char* className, const char* caption) const;
    // The exit code once it has ended; STILL_ACTIVE on timeout.
    DWORD WaitExit(DWORD timeoutMs = kPatience);

private:
    std::filesystem::path root;
    bool ownsRoot = true;
    bool ready = false;
    HANDLE process = nullptr;
    DWORD processId = 0;
};

constexpr int kDesktopWidth = 1280;
constexpr int kDesktopHeight = 800;

// No settings key, no wallpaper file, no desktop wallpaper.
void ResetUserState();
std::string WindowsWallpaperPath();
// A text value of the user's registry, or "<missing>".
std::string ReadUserString(const char* key, const char* name);
std::string ReadDesktopString(const char* name);
DWORD SettingOr(const char* name, DWORD fallback);
bool WriteSetting(const char* name, DWORD value);
FILETIME LastWriteTime(const std::filesystem::path& path);
// Waits for the wallpaper file to be written after `before`; false when it was not.
bool WallpaperRewritten(const FILETIME& before);
// Whether the notification area holds the icon of a window.
bool HasTrayIcon(HWND owner);
// Real input: a key pressed and released.
void PressKey(WORD virtualKey);

// Five pictures told apart by colour: entry i at phase i * 50 is moon_<i>.png, 300 x 200,
// its left half kLeftColours[i] and right half kRightColours[i], with the overlay
// overlay.png (a 100 x 100 block of kOverlayGreen in the middle).
constexpr int kEntryCount = 5;
constexpr int kEntryWidth = 300;
constexpr int kEntryHeight = 200;
constexpr Gdiplus::ARGB kLeftColours[kEntryCount] = {0xFFC03030, 0xFF30C030, 0xFF3030C0, 0xFFC0C030, 0xFF30C0C0};
constexpr Gdiplus::ARGB kRightColours[kEntryCount] = {0xFFE0E0E0, 0xFF806020, 0xFFC060C0, 0xFF204080, 0xFFE08020};
constexpr Gdiplus::ARGB kOverlayGreen = 0xFF20E040;
// Entry i is titled "Moon i" and described as ColourEntryDescription(i) says.
bool WriteColourCatalogue(const CProgram& program);
// The description as the settings dialog shows it (the catalogue writes the line break as "<br>").
std::string ColourEntryDescription(int i);

// The entry the program shows for the present moment, worked out as it does.
int CurrentMoonIndex(const CProgram& program);
// The wallpaper file: screen-sized, the entry fitted and centred on black, with or without
// the overlay.
void ExpectWallpaper(int entry, bool annotated, const std::filesystem::path& file = WindowsWallpaperPath());
// WM_GETTEXT's text of a window, which works across processes.
std::string WindowTextOf(HWND window);

// The fixture of the tests that drive the staged program: GDI+, this thread on the virtual
// desktop, a fresh layout, and no settings or wallpaper left from before or for after.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    CGdiplusSession imaging;
    CProgram program;
};

}  // namespace wintest
