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
#include "catalog/catalog_loader.h"
#include "wallpaper/image_encoder_win.h"
#include "wallpaper/wallpaper_fit.h"
#include "astro/moon_selection.h"
#include "services/system_clock.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace wintest {

namespace {

constexpr char kDesktopName[] = "QuellwickE2E";
constexpr char kSettingsKey[] = "Software\\Quellwick";

void RemoveTree(const std::filesystem::path& folder) {
    const std::wstring from = folder.native() + L'\0';  // the list ends with a second zero
    SHFILEOPSTRUCTW remove = {};
    remove.wFunc = FO_DELETE;
    remove.pFrom = from.c_str();
    remove.fFlags = FOF_NO_UI;
    SHFileOperationW(&remove);
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

static PixelCapture CaptureFromDC(HDC source, int left, int top, int width, int height) {
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

const CPictureSet& TestPictures() {
    static const CPictureSet pictures(ResolveProgramDataDirectory());
    return pictures;
}

CTestCatalogue::CTestCatalogue(const std::vector<TestEntry>& entries) {
    const std::string folder = TestPictures().DataDirectory().string();
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
    loaded = LoadMoonCatalog(TestCatalog(), files.back()) >= 0 && TestCatalog().GetEntries().size() == entries.size();
}

CTestCatalogue::~CTestCatalogue() {
    for (const std::string& file : files)
        DeleteFileA(file.c_str());
}

int COwnerWindow::closedCount = 0;

COwnerWindow::COwnerWindow() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &COwnerWindow::WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "QuellwickViewerTestOwner";
    RegisterClassExA(&windowClass);
    closedCount = 0;
    window = CreateWindowExA(0, windowClass.lpszClassName, "Owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             windowClass.hInstance, nullptr);
}

COwnerWindow::~COwnerWindow() {
    if (window)
        DestroyWindow(window);
}

LRESULT CALLBACK COwnerWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_VIEWER_CLOSED)
        return DefWindowProcA(window, message, wParam, lParam);
    ++closedCount;
    return 0;
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
    auto viewer = std::make_unique<CViewerWindow>(TestCatalog(), TestPictures());
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

bool CProgram::CopyStagedData(std::initializer_list<const char*> files) const {
    std::string staged = "Z:" + std::string(QW_STAGED_PROGRAM);
    std::replace(staged.begin(), staged.end(), '/', '\\');
    const std::wstring data =
        std::filesystem::path(WideFromAnsi(staged)).parent_path().parent_path().native() + L"\\data\\";
    for (const char* file : files) {
        if (!CopyFileW((data + WideFromAnsi(file)).c_str(), DataPath(file).c_str(), FALSE))
            return false;
    }
    return true;
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

std::vector<HWND> CProgram::Windows(const char* className, const char* caption) const {
    std::vector<HWND> found;
    for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, className, caption)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId)
            found.push_back(window);
    }
    return found;
}

HWND CProgram::FindWindowOf(const char* className, const char* caption) const {
    const std::vector<HWND> found = Windows(className, caption);
    return found.empty() ? nullptr : found.front();
}

HWND CProgram::WaitWindow(const char* className, const char* caption, HWND other) const {
    HWND found = nullptr;
    const bool hidden = lstrcmpA(className, "QuellwickTrayIconWindow") == 0;
    const bool shown = WaitFor([&] {
        found = FindWindowOf(className, caption);
        return found && found != other && (hidden || IsWindowVisible(found));
    });
    return shown ? found : nullptr;
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

std::string ReadUserString(const char* key, const char* name) {
    char value[1024] = {};
    DWORD size = sizeof(value);
    return RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, value, &size) == ERROR_SUCCESS
               ? value
               : "<missing>";
}

std::string ReadDesktopString(const char* name) {
    // Read where the platform stores it: this process's SystemParametersInfo answers from a
    // copy taken when it first asked.
    return ReadUserString("Control Panel\\Desktop", name);
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

std::string ColourEntryDescription(int i) {
    return "Description of picture " + std::to_string(i) + ".\r\nSecond line.";
}

bool WriteColourCatalogue(const CProgram& program) {
    std::string catalogue = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Quellwicks>\n";
    for (int i = 0; i < kEntryCount; ++i) {
        const std::string name = "moon_" + std::to_string(i) + ".png";
        if (!SavePicture(program.DataPath(name), kEntryWidth, kEntryHeight,
                         {{0, 0, kEntryWidth / 2, kEntryHeight, kLeftColours[i]},
                          {kEntryWidth / 2, 0, kEntryWidth / 2, kEntryHeight, kRightColours[i]}}))
            return false;
        catalogue += "  <Quellwick paper=\"" + name + "\" phase=\"" + std::to_string(i * 50) +
                     "\" ann=\"overlay.png\" title=\"Moon " + std::to_string(i) + "\">Description of picture " +
                     std::to_string(i) + ".&lt;br&gt;Second line.</Quellwick>\n";
    }
    return SavePicture(program.DataPath("overlay.png"), kEntryWidth, kEntryHeight,
                       {{100, 50, 100, 100, kOverlayGreen}}) &&
           WriteFileBytes(program.DataPath("Quellwicks.xml"), catalogue + "</Quellwicks>\n");
}

void ExpectWallpaper(int entry, bool annotated, const std::filesystem::path& file) {
    // Right after its write time changes the new file may not open yet.
    GdipBitmapPtr bitmap;
    ASSERT_TRUE(WaitFor([&] { return (bitmap = OpenBitmap(file)) != nullptr; }));
    const SIZE size = ImagePixelSize(bitmap.get());
    ASSERT_TRUE(size.cx == kDesktopWidth && size.cy == kDesktopHeight) << size.cx << "x" << size.cy;
    const FitRect fit = ComputeFit(kDesktopWidth, kDesktopHeight, kEntryWidth, kEntryHeight);
    auto at = [&](double fx, double fy) {
        return PixelAt(bitmap.get(), static_cast<int>(fit.x + fx * fit.width),
                       static_cast<int>(fit.y + fy * fit.height));
    };
    EXPECT_TRUE(ColourNear(at(-0.01, 0.5), 0xFF000000) && ColourNear(at(1.01, 0.5), 0xFF000000)) << "black beside";
    EXPECT_TRUE(ColourNear(at(0.1, 0.1), kLeftColours[entry]));
    EXPECT_TRUE(ColourNear(at(0.9, 0.9), kRightColours[entry]));
    EXPECT_TRUE(ColourNear(at(0.45, 0.5), annotated ? kOverlayGreen : kLeftColours[entry]));
    EXPECT_TRUE(ColourNear(at(0.55, 0.5), annotated ? kOverlayGreen : kRightColours[entry]));
}

std::string WindowTextOf(HWND window) {
    std::string text(static_cast<size_t>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
    text.resize(static_cast<size_t>(SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]))));
    return text;
}

int CurrentMoonIndex(const CProgram& program) {
    CoInitialize(nullptr);
    int index = -1;
    CMoonCatalog catalog;
    if (LoadMoonCatalog(catalog, program.DataPath("Quellwicks.xml")) >= 0)
        SelectMoonForDate(catalog.GetEntries(), CurrentJulianDate(), nullptr, nullptr, &index);
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
