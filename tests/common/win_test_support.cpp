#include "tests/common/win_test_support.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "win/ansi_text_win.h"
#include "win/app_instance.h"
#include "resources/app_messages.h"
#include "services/data_directory.h"
#include "catalog/moon_catalog.h"
#include "wallpaper/image_encoder_win.h"
#include "wallpaper/wallpaper_fit.h"
#include "wallpaper/wallpaper_maker.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace wintest {

namespace {

constexpr char kDesktopName[] = "QuellwickE2E";
constexpr char kSettingsKey[] = "Software\\Quellwick";

void RemoveTree(const std::filesystem::path& folder) {
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder.native() + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName, path = folder.native() + L"\\" + name;
            if (name == L"." || name == L"..")
                continue;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

std::wstring TempPath(const std::wstring& name) {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    return std::wstring(temp) + name + L"_" + std::to_wstring(GetCurrentProcessId());
}

}  // namespace

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (GetTickCount64() >= deadline)
            return false;
        Sleep(50);
    }
    return true;
}

ARGB PixelCapture::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height || pixels.size() != static_cast<size_t>(width) * height)
        return 0xFF000000;
    return 0xFF000000 | pixels[static_cast<size_t>(y) * width + x];
}

PixelCapture CaptureFromDC(HDC source, int left, int top, int width, int height) {
    PixelCapture capture;
    capture.width = width;
    capture.height = height;
    const HDC memory = CreateCompatibleDC(source);
    const HBITMAP bitmap = CreateCompatibleBitmap(source, width, height);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, left, top, SRCCOPY);
    SelectObject(memory, previous);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(info.bmiHeader), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    capture.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), capture.pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    for (DWORD& pixel : capture.pixels)
        pixel &= 0x00FFFFFF;
    return capture;
}

PixelCapture CaptureScreen(HWND window, bool clientOnly) {
    RECT rect = {};
    if (clientOnly) {
        GetClientRect(window, &rect);
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    } else if (!GetWindowRect(window, &rect)) {
        return PixelCapture();
    }
    const HDC screen = GetDC(nullptr);
    PixelCapture capture = CaptureFromDC(screen, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    ReleaseDC(nullptr, screen);
    return capture;
}

PixelCapture CaptureOwnClient(HWND window) {
    UpdateWindow(window);
    GdiFlush();
    RECT client = {};
    GetClientRect(window, &client);
    const HDC source = GetDC(window);
    PixelCapture capture = CaptureFromDC(source, 0, 0, client.right, client.bottom);
    ReleaseDC(window, source);
    return capture;
}

bool SavePicture(const std::filesystem::path& path, int width, int height, std::initializer_list<Block> blocks) {
    const GdipBitmapPtr bitmap = CreateCanvas(static_cast<UINT>(width), static_cast<UINT>(height));
    GpGraphics* raw = nullptr;
    if (!bitmap || GdipGetImageGraphicsContext(bitmap.get(), &raw) != Ok)
        return false;
    {
        const GdipGraphicsPtr graphics(raw);
        for (const Block& block : blocks) {
            GpSolidFill* rawBrush = nullptr;
            if (GdipCreateSolidFill(block.colour, &rawBrush) != Ok)
                return false;
            const GdipSolidFillPtr brush(rawBrush);
            if (GdipFillRectangleI(graphics.get(), brush.get(), block.x, block.y, block.width, block.height) != Ok)
                return false;
        }
    }
    CLSID encoder;
    return FindEncoderForExtension(path.extension().native(), &encoder) &&
           GdipSaveImageToFile(bitmap.get(), path.c_str(), &encoder, nullptr) == Ok;
}

GdipBitmapPtr OpenBitmap(const std::filesystem::path& path) {
    GpBitmap* raw = nullptr;
    return GdipCreateBitmapFromFile(path.c_str(), &raw) == Ok ? GdipBitmapPtr(raw) : nullptr;
}

ARGB PixelAt(GpBitmap* bitmap, int x, int y) {
    ARGB colour = 0;
    GdipBitmapGetPixel(bitmap, x, y, &colour);
    return colour;
}

bool ColourNear(ARGB actual, ARGB expected, int tolerance) {
    for (int shift = 0; shift < 32; shift += 8) {
        if (std::abs(static_cast<int>((actual >> shift) & 0xFF) - static_cast<int>((expected >> shift) & 0xFF)) >
            tolerance)
            return false;
    }
    return true;
}

std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

bool WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
    return static_cast<bool>(std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes);
}

CScratchFolder::CScratchFolder(const std::string& name)
    : folder(std::filesystem::path(TempPath(WideFromAnsi(name))).string()) {
    RemoveTree(folder);
    CreateDirectoryA(folder.c_str(), nullptr);
}

CScratchFolder::~CScratchFolder() {
    RemoveTree(folder);
}

bool EnterVirtualDesktop(const std::string& name, int width, int height) {
    // Wine makes a named desktop a virtual one of the size registered for its name.
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    if (RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Wine\\Explorer\\Desktops", name.c_str(), REG_SZ, size.c_str(),
                        static_cast<DWORD>(size.size() + 1)) != ERROR_SUCCESS)
        return false;
    // The handle stays open for the life of the process.
    const HDESK desktop = CreateDesktopA(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    if (!desktop || !SetThreadDesktop(desktop))
        return false;
    // The desktop's shell starts with its first window.
    const HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    const bool ready = WaitFor([] { return FindWindowA("Shell_TrayWnd", nullptr) != nullptr; });
    if (probe)
        DestroyWindow(probe);
    return ready;
}

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
    const std::string folder = ProcessDataDirectory().string();
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Quellwicks>\n";
    int phase = 0;
    for (const TestEntry& e : entries) {
        if (!e.paper.empty()) {
            files.push_back(folder + e.paper);
            SavePicture(files.back(), e.width, e.height, {{0, 0, e.width, e.height, e.colour}});
        }
        if (!e.ann.empty()) {
            files.push_back(folder + e.ann);
            SavePicture(files.back(), e.width, e.height,
                        {{e.width * 2 / 5, e.height * 2 / 5, e.width / 5, e.height / 5, e.overlayColour}});
        }
        xml += "<Quellwick paper=\"" + (e.paper.empty() ? "qw_viewer_missing.png" : e.paper) + "\" phase=\"" +
               std::to_string(phase) + "\" ann=\"" + e.ann + "\" title=\"t\">d</Quellwick>\n";
        phase += 10;
    }
    files.push_back(folder + "qw_viewer_catalogue_" + std::to_string(GetCurrentProcessId()) + ".xml");
    std::ofstream(files.back(), std::ios::binary) << xml << "</Quellwicks>\n";
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
    WaitFor([&] {
        Pump();
        RECT client = {};
        GetClientRect(viewer->GetHwnd(), &client);
        return IsZoomed(viewer->GetHwnd()) && client.right > 0 && client.bottom > 0;
    });
    return viewer;
}

CProgram::CProgram() : CProgram(std::wstring(L"qw_e2e")) {}

CProgram::CProgram(const std::wstring& stageName) : root(TempPath(stageName)) {
    std::string staged = "Z:" + std::string(QW_STAGED_PROGRAM);
    std::replace(staged.begin(), staged.end(), '/', '\\');
    RemoveTree(root);
    ready = CreateDirectoryW(root.c_str(), nullptr) && CreateDirectoryW((root.native() + L"\\bin").c_str(), nullptr) &&
            CreateDirectoryW((root.native() + L"\\data").c_str(), nullptr) &&
            CopyFileW(WideFromAnsi(staged).c_str(), ProgramPath().c_str(), FALSE);
}

CProgram::CProgram(std::string installedRoot) : root(WideFromAnsi(installedRoot)), ownsRoot(false), ready(true) {}

std::filesystem::path CProgram::DataPath(const std::string& file) const {
    return root.native() + L"\\data\\" + WideFromAnsi(file);
}

CProgram::~CProgram() {
    Kill();
    if (ownsRoot)
        RemoveTree(root);
}

HWND CProgram::Start() {
    return Launch() ? WaitWindow("QuellwickTrayIconWindow", "QuellwickShellIconHiddenWindow") : nullptr;
}

namespace {

bool StartOnDesktop(const std::filesystem::path& path, const std::string& arguments, PROCESS_INFORMATION* info) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    wchar_t desktop[] = L"QuellwickE2E";
    startup.lpDesktop = desktop;
    std::wstring commandLine =
        L"\"" + path.native() + L"\"" + (arguments.empty() ? L"" : L" " + WideFromAnsi(arguments));
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, info))
        return false;
    CloseHandle(info->hThread);
    return true;
}

}  // namespace

DWORD RunProgram(const std::filesystem::path& path, const std::string& arguments, DWORD timeoutMs) {
    PROCESS_INFORMATION info = {};
    if (!StartOnDesktop(path, arguments, &info))
        return GetLastError();
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(info.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hProcess);
    return code;
}

bool CProgram::Launch(const std::string& arguments) {
    Kill();
    PROCESS_INFORMATION info = {};
    if (!StartOnDesktop(ProgramPath(), arguments, &info))
        return false;
    process = info.hProcess;
    processId = info.dwProcessId;
    return true;
}

void CProgram::Kill() {
    if (!process)
        return;
    if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process, 99);
        WaitForSingleObject(process, kPatience);
    }
    CloseHandle(process);
    process = nullptr;
}

namespace {

struct WindowSearch {
    DWORD id;
    const char *className, *caption;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    char name[256] = {}, text[256] = {};
    GetWindowThreadProcessId(window, &owner);
    GetClassNameA(window, name, sizeof(name));
    GetWindowTextA(window, text, sizeof(text));
    if (owner == search->id && lstrcmpA(name, search->className) == 0 &&
        (!search->caption || lstrcmpA(text, search->caption) == 0))
        search->found.push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> CProgram::Windows(const char* className, const char* caption) const {
    WindowSearch search = {processId, className, caption, {}};
    EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND CProgram::FindWindowOf(const char* className, const char* caption) const {
    const std::vector<HWND> found = Windows(className, caption);
    return found.empty() ? nullptr : found.front();
}

HWND CProgram::WaitWindow(const char* className, const char* caption, HWND other) const {
    HWND found = nullptr;
    const bool hidden = lstrcmpA(className, "QuellwickTrayIconWindow") == 0;
    WaitFor([&] {
        found = FindWindowOf(className, caption);
        return found && found != other && (hidden || IsWindowVisible(found));
    });
    return found && found != other && (hidden || IsWindowVisible(found)) ? found : nullptr;
}

DWORD CProgram::WaitExit(DWORD timeoutMs) {
    DWORD code = STILL_ACTIVE;
    if (process && WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process, &code);
    return code;
}

std::string WindowsWallpaperPath() {
    char directory[MAX_PATH + 1] = {};
    GetWindowsDirectoryA(directory, sizeof(directory));
    return std::string(directory) + "\\Quellwick.bmp";
}

void ResetUserState() {
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    char appData[MAX_PATH + 1] = {};
    SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
    for (const std::string& path : {WindowsWallpaperPath(), std::string(appData) + "\\Quellwick\\Quellwick.bmp"}) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
    SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(""), SPIF_UPDATEINIFILE);
    for (const char* name : {"TileWallpaper", "WallpaperStyle"})
        RegDeleteKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", name);
}

std::string ReadDesktopString(const char* name) {
    // Read where the platform stores it: this process's SystemParametersInfo answers from a
    // copy taken when it first asked.
    char value[256] = {};
    DWORD size = sizeof(value);
    return RegGetValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", name, RRF_RT_REG_SZ, nullptr, value, &size) ==
                   ERROR_SUCCESS
               ? value
               : "<missing>";
}

DWORD SettingOr(const char* name, DWORD fallback) {
    DWORD value = 0, size = sizeof(value);
    return RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) ==
                   ERROR_SUCCESS
               ? value
               : fallback;
}

bool WriteSetting(const char* name, DWORD value) {
    return RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, name, REG_DWORD, &value, sizeof(value)) == ERROR_SUCCESS;
}

FILETIME LastWriteTime(const std::filesystem::path& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

bool WallpaperRewritten(const FILETIME& before) {
    return WaitFor([&] {
        const FILETIME now = LastWriteTime(WindowsWallpaperPath());
        return CompareFileTime(&before, &now) != 0;
    });
}

bool HasTrayIcon(HWND owner) {
    // The shell answers a modification only for an icon it holds; with no flags set
    // nothing about the icon changes.
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = owner;
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
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

bool WriteColourCatalogue(const CProgram& program, const std::function<std::string(int)>& title,
                          const std::function<std::string(int)>& description) {
    std::string catalogue = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Quellwicks>\n";
    for (int i = 0; i < kEntryCount; ++i) {
        const std::string name = "moon_" + std::to_string(i) + ".png";
        if (!SavePicture(program.DataPath(name), kEntryWidth, kEntryHeight,
                         {{0, 0, kEntryWidth / 2, kEntryHeight, kLeftColours[i]},
                          {kEntryWidth / 2, 0, kEntryWidth / 2, kEntryHeight, kRightColours[i]}}))
            return false;
        catalogue += "  <Quellwick paper=\"" + name + "\" phase=\"" + std::to_string(i * 50) +
                     "\" ann=\"overlay.png\" title=\"" + title(i) + "\">" + description(i) + "</Quellwick>\n";
    }
    return SavePicture(program.DataPath("overlay.png"), kEntryWidth, kEntryHeight,
                       {{100, 50, 100, 100, kOverlayGreen}}) &&
           WriteFileBytes(program.DataPath("Quellwicks.xml"), catalogue + "</Quellwicks>\n");
}

int CurrentMoonIndex(const CProgram& program) {
    CoInitialize(nullptr);
    int index = -1;
    CMoonCatalog catalog;
    if (catalog.Load(program.DataPath("Quellwicks.xml")) >= 0)
        CWallpaperMaker(catalog).CurrentMoon(nullptr, nullptr, &index);
    CoUninitialize();
    return index;
}

void ProgramTest::SetUp() {
    ASSERT_TRUE(imaging.IsStarted());
    static const bool entered = EnterVirtualDesktop(kDesktopName, kDesktopWidth, kDesktopHeight);
    ASSERT_TRUE(entered) << "the virtual desktop did not start";
    ASSERT_TRUE(program.IsReady()) << "cannot lay out the staged program";
    ResetUserState();
}

void ProgramTest::TearDown() {
    program.Kill();
    ResetUserState();
}

}  // namespace wintest
