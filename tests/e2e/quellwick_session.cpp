#include "tests/e2e/quellwick_session.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <fstream>
#include <vector>

#include "tests/wallpaper/wallpaper_test_support.h"

namespace e2e {

namespace {

// The unix path of the build's staged program, as Wine's Z: drive sees it.
std::string StagedProgram() {
    std::string path = "Z:" + std::string(QW_STAGED_PROGRAM);
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = folder + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

struct WindowSearch {
    DWORD processId;
    const char* className;
    const char* caption;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[256] = {};
    char text[256] = {};
    GetClassNameA(window, name, sizeof(name));
    GetWindowTextA(window, text, sizeof(text));
    if (owner == search->processId && lstrcmpA(name, search->className) == 0 &&
        (!search->caption || lstrcmpA(text, search->caption) == 0)) {
        search->found.push_back(window);
    }
    return TRUE;
}

}  // namespace

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + (timeoutMs > kPatienceMs ? timeoutMs : kPatienceMs);
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount64() >= deadline)
            return false;
        Sleep(50);
    }
}

bool EnterVirtualDesktop() {
    static bool entered = false;
    if (!entered)
        entered = wallpaper_test::EnterVirtualDesktop(kDesktopName, kDesktopWidth, kDesktopHeight);
    return entered;
}

CInstalledLayout::CInstalledLayout() {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(sizeof(temp), temp);
    root = std::string(temp) + "qw_e2e_" + std::to_string(GetCurrentProcessId());
    RemoveTree(root);
    ready = CreateDirectoryA(root.c_str(), nullptr) && CreateDirectoryA((root + "\\bin").c_str(), nullptr) &&
            CreateDirectoryA((root + "\\data").c_str(), nullptr) &&
            CopyFileA(StagedProgram().c_str(), ProgramPath().c_str(), FALSE);
}

CInstalledLayout::~CInstalledLayout() {
    RemoveTree(root);
}

CQuellwickProcess::CQuellwickProcess(const std::string& programPath, const std::string& arguments) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    char desktop[] = "QuellwickE2E";
    startup.lpDesktop = desktop;
    PROCESS_INFORMATION info = {};
    std::string commandLine = "\"" + programPath + "\"" + (arguments.empty() ? "" : " " + arguments);
    if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        CloseHandle(info.hThread);
        process = info.hProcess;
        processId = info.dwProcessId;
    }
}

CQuellwickProcess::~CQuellwickProcess() {
    if (!process)
        return;
    if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process, 99);
        WaitForSingleObject(process, 10000);
    }
    CloseHandle(process);
}

HWND CQuellwickProcess::WaitForTrayWindow(DWORD timeoutMs) {
    HWND window = nullptr;
    WaitFor(
        [&] {
            return (window = FindProcessWindow(processId, "QuellwickTrayIconWindow",
                                               "QuellwickShellIconHiddenWindow")) != nullptr;
        },
        timeoutMs);
    return window;
}

DWORD CQuellwickProcess::WaitForExit(DWORD timeoutMs) {
    DWORD code = STILL_ACTIVE;
    if (process && WaitForSingleObject(process, timeoutMs > kPatienceMs ? timeoutMs : kPatienceMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process, &code);
    return code;
}

std::vector<HWND> ProcessWindows(DWORD processId, const char* className, const char* caption) {
    WindowSearch search = {processId, className, caption, {}};
    EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindProcessWindow(DWORD processId, const char* className, const char* caption) {
    const std::vector<HWND> found = ProcessWindows(processId, className, caption);
    return found.empty() ? nullptr : found.front();
}

bool HasTrayIcon(HWND owner) {
    // The shell answers a modification only for an icon it holds; with no flags set
    // nothing about the icon changes.
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = owner;
    data.uID = 0;
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

void RemoveSettingsKey() {
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Quellwick");
}

std::string WindowsWallpaperPath() {
    char directory[MAX_PATH + 1] = {};
    GetWindowsDirectoryA(directory, sizeof(directory));
    return std::string(directory) + "\\Quellwick.bmp";
}

std::string UserWallpaperPath() {
    char appData[MAX_PATH + 1] = {};
    SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
    return std::string(appData) + "\\Quellwick\\Quellwick.bmp";
}

void RemoveWallpaperFiles() {
    for (const std::string& path : {WindowsWallpaperPath(), UserWallpaperPath()}) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
    SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(""), SPIF_UPDATEINIFILE);
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "TileWallpaper");
        RegDeleteValueA(key, "WallpaperStyle");
        RegCloseKey(key);
    }
}

std::string DesktopWallpaperSetting() {
    // Read where the platform stores it: this process's own SystemParametersInfo answers
    // from a copy taken when it first asked.
    return ReadDesktopString("Wallpaper");
}

std::string ReadDesktopString(const char* name) {
    char value[256] = {};
    DWORD size = sizeof(value);
    return RegGetValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", name, RRF_RT_REG_SZ, nullptr, value, &size) ==
                   ERROR_SUCCESS
               ? value
               : "<missing>";
}

bool ReadSettingsDword(const char* name, DWORD* value) {
    DWORD size = sizeof(*value);
    return RegGetValueA(HKEY_CURRENT_USER, "Software\\Quellwick", name, RRF_RT_REG_DWORD, nullptr, value, &size) ==
           ERROR_SUCCESS;
}

bool WriteSettingsDword(const char* name, DWORD value) {
    return RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Quellwick", name, REG_DWORD, &value, sizeof(value)) ==
           ERROR_SUCCESS;
}

FILETIME LastWriteTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

ScreenCapture CaptureWindow(HWND window) {
    RECT rect = {};
    if (!GetWindowRect(window, &rect))
        return ScreenCapture();
    const HDC screen = GetDC(nullptr);
    ScreenCapture capture =
        wallpaper_test::CaptureFromDC(screen, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    ReleaseDC(nullptr, screen);
    return capture;
}

ScreenCapture CaptureClient(HWND window) {
    const ScreenCapture whole = CaptureWindow(window);
    RECT frame = {};
    RECT client = {};
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    ScreenCapture inner;
    inner.width = client.right;
    inner.height = client.bottom;
    for (int y = 0; y < inner.height; ++y) {
        for (int x = 0; x < inner.width; ++x)
            inner.pixels.push_back(CapturedAt(whole, x + origin.x - frame.left, y + origin.y - frame.top) & 0xFFFFFF);
    }
    return inner;
}

Gdiplus::ARGB CapturedAt(const ScreenCapture& capture, int x, int y) {
    if (x < 0 || y < 0 || x >= capture.width || y >= capture.height ||
        capture.pixels.size() != static_cast<size_t>(capture.width) * static_cast<size_t>(capture.height)) {
        return 0xFF000000;
    }
    return 0xFF000000 | capture.pixels[static_cast<size_t>(y * capture.width + x)];
}

void PressKey(WORD virtualKey) {
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = virtualKey;
    inputs[1] = inputs[0];
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
}

// Every mouse event carries the pointer's place: under Wine a button event without it
// may land where the pointer was before the last move.
static void SendMouse(DWORD flags, int x, int y) {
    static POINT last = {0, 0};
    if (flags == MOUSEEVENTF_MOVE)
        last = {x, y};
    INPUT input = {};
    input.type = INPUT_MOUSE;
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    input.mi.dx = (last.x * 65536 + width / 2) / width;
    input.mi.dy = (last.y * 65536 + height / 2) / height;
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof(input));
    Sleep(150);
}

void MouseTo(int x, int y) {
    SendMouse(MOUSEEVENTF_MOVE, x, y);
}

void MouseButton(bool down) {
    SendMouse(down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP, 0, 0);
}

void QuellwickSessionTest::SetUp() {
    ASSERT_TRUE(imaging.IsStarted());
    ASSERT_TRUE(EnterVirtualDesktop()) << "the virtual desktop did not start";
    ASSERT_TRUE(layout.IsReady()) << "cannot lay out the staged program";
    RemoveSettingsKey();
    RemoveWallpaperFiles();
}

void QuellwickSessionTest::TearDown() {
    RemoveSettingsKey();
    RemoveWallpaperFiles();
}

bool WriteColourCatalogue(const CInstalledLayout& layout, const std::function<std::string(int)>& title,
                          const std::function<std::string(int)>& description) {
    using wallpaper_test::SavePicture;
    std::string catalogue = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Quellwicks>\n";
    for (int i = 0; i < kEntryCount; ++i) {
        const std::string name = "moon_" + std::to_string(i) + ".png";
        if (!SavePicture(layout.DataPath(name), kEntryWidth, kEntryHeight,
                         {{0, 0, kEntryWidth / 2, kEntryHeight, kLeftColours[i]},
                          {kEntryWidth / 2, 0, kEntryWidth / 2, kEntryHeight, kRightColours[i]}})) {
            return false;
        }
        catalogue += "  <Quellwick paper=\"" + name + "\" phase=\"" + std::to_string(i * 50) +
                     "\" ann=\"overlay.png\" title=\"" + title(i) + "\">" + description(i) + "</Quellwick>\n";
    }
    catalogue += "</Quellwicks>\n";
    if (!SavePicture(layout.DataPath("overlay.png"), kEntryWidth, kEntryHeight, {{100, 50, 100, 100, kOverlayGreen}}))
        return false;
    return static_cast<bool>(std::ofstream(layout.DataPath("Quellwicks.xml"), std::ios::binary) << catalogue);
}

}  // namespace e2e
