#include "tests/e2e/quellwick_session.h"

#include <shellapi.h>
#include <shlobj.h>

#include <fstream>
#include <vector>

#include "tests/wallpaper/wallpaper_test_support.h"

namespace e2e {

namespace {

// The unix path of the build's staged program, as Wine's Z: drive sees it.
std::string StagedProgram() {
    std::string path = "Z:" + std::string(QW_STAGED_PROGRAM);
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
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
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId)
        return TRUE;
    char name[256] = {};
    GetClassNameA(window, name, sizeof(name));
    if (lstrcmpA(name, search->className) != 0)
        return TRUE;
    if (search->caption) {
        char text[256] = {};
        GetWindowTextA(window, text, sizeof(text));
        if (lstrcmpA(text, search->caption) != 0)
            return TRUE;
    }
    search->found = window;
    return FALSE;
}

}  // namespace

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
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

CQuellwickProcess::CQuellwickProcess(const std::string& programPath) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    char desktop[] = "QuellwickE2E";
    startup.lpDesktop = desktop;
    PROCESS_INFORMATION info = {};
    std::vector<char> commandLine(programPath.begin(), programPath.end());
    commandLine.insert(commandLine.begin(), '"');
    commandLine.push_back('"');
    commandLine.push_back('\0');
    if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
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
            window = FindProcessWindow(processId, "QuellwickTrayIconWindow", "QuellwickShellIconHiddenWindow");
            return window != nullptr;
        },
        timeoutMs);
    return window;
}

DWORD CQuellwickProcess::WaitForExit(DWORD timeoutMs) {
    DWORD code = STILL_ACTIVE;
    if (process && WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process, &code);
    return code;
}

HWND FindProcessWindow(DWORD processId, const char* className, const char* caption) {
    WindowSearch search = {processId, className, caption, nullptr};
    EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
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
    DWORD size = sizeof(value) - 1;
    DWORD type = 0;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<no key>";
    const LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ)
        return "<missing>";
    return value;
}

bool ReadSettingsDword(const char* name, DWORD* value) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Quellwick", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = sizeof(*value);
    DWORD type = 0;
    const LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_DWORD;
}

bool WriteSettingsDword(const char* name, DWORD value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Quellwick", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const LONG status = RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
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

void PressKey(WORD virtualKey) {
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = virtualKey;
    inputs[1] = inputs[0];
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
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
