// The staged program in the world around it: other time zones, a wake from sleep or a new
// clock setting, a catalogue that breaks off, and a shell that is not up yet.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>
#include <wtsapi32.h>

#include <cstring>

#include <algorithm>
#include <string>
#include <vector>

#include "astro/calendar.h"
#include "astro/moon_selection.h"
#include "resources/app_messages.h"
#include "tests/common/win_test_support.h"

using namespace wintest;

namespace {

bool WallpaperInstalled() {
    return lstrcmpiA(ReadDesktopString("Wallpaper").c_str(), WindowsWallpaperPath().c_str()) == 0;
}

// The phase-scale value of the present moment shifted by `hours`, from the platform's UTC.
double PhaseScaleIn(double hours) {
    SYSTEMTIME now{};
    GetSystemTime(&now);
    const double julian =
        JulianDateFromCalendar(now.wYear, now.wMonth - 1, now.wDay, now.wHour, now.wMinute, now.wSecond);
    double percent = 0.0, age = 0.0;
    SelectMoonForDate({}, julian + hours / 24.0, &percent, &age, nullptr);
    return PhaseScaleValue(percent, age);
}

bool WriteCatalogue(const CProgram& program, const std::vector<std::string>& entries) {
    std::string text = "<?xml version=\"1.0\"?>\n<Quellwicks>\n";
    for (const std::string& entry : entries)
        text += "  <Quellwick " + entry + ">Moon</Quellwick>\n";
    return WriteFileBytes(program.DataPath("Quellwicks.xml"), text + "</Quellwicks>\n");
}

// Five pictures and their catalogue, which a test may replace.
class WorldEndToEnd : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_TRUE(WriteColourCatalogue(program));
    }
};

// Run in the machine's zone and in zones east and west of Greenwich (tests/CMakeLists.txt):
// Wine takes the program's zone from its TZ, which its C runtime reads too, in a format of
// its own. The picture must be the one of the present moment all the same.
TEST_F(WorldEndToEnd, PictureIsThatOfThePresentMomentInAnyTimeZone) {
    // Three pictures, for the moment and six hours either side: a program that is off by
    // more than three hours shows another one.
    std::vector<std::pair<double, int>> phases = {{PhaseScaleIn(-6), 0}, {PhaseScaleIn(0), 1}, {PhaseScaleIn(6), 2}};
    std::sort(phases.begin(), phases.end());
    std::vector<std::string> entries;
    int present = -1;
    for (const auto& phase : phases) {
        if (phase.second == 1)
            present = static_cast<int>(entries.size());
        entries.push_back("paper=\"moon_" + std::to_string(entries.size()) + ".png\" phase=\"" +
                          std::to_string(phase.first) + "\"");
    }
    ASSERT_TRUE(WriteCatalogue(program, entries));

    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(WaitFor(WallpaperInstalled));
    ExpectWallpaper(present, false);
}

// The refresh that failed for want of its picture is tried again at once when the machine
// wakes or the clock is set, not a minute later.
TEST_F(WorldEndToEnd, WakeAndClockChangeRefreshAtOnce) {
    const int entry = CurrentMoonIndex(program);
    ASSERT_GE(entry, 0);
    const std::filesystem::path picture = program.DataPath("moon_" + std::to_string(entry) + ".png");
    const std::filesystem::path away = picture.native() + L".away";
    const struct {
        UINT message;
        WPARAM event;
    } cases[] = {{WM_TIMECHANGE, 0}, {WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC}};
    for (const auto& c : cases) {
        ResetUserState();
        ASSERT_TRUE(MoveFileW(picture.c_str(), away.c_str()));
        const HWND tray = program.Start();
        ASSERT_TRUE(tray);
        Sleep(3000);  // the first refresh finds no picture
        ASSERT_FALSE(WallpaperInstalled());
        ASSERT_TRUE(MoveFileW(away.c_str(), picture.c_str()));
        PostMessageA(tray, c.message, c.event, 0);
        EXPECT_TRUE(WaitFor(WallpaperInstalled, 15000)) << "no refresh after message " << c.message;
        program.Kill();
    }
}

// A catalogue that breaks off at its third entry: the failure box, and nothing installed
// or written while it is shown; the program ends with code 1 and leaves no icon.
TEST_F(WorldEndToEnd, FailedStartIsReportedAndInstallsNothing) {
    ASSERT_TRUE(WriteCatalogue(
        program, {"paper=\"moon_0.png\" phase=\"0\"", "paper=\"moon_1.png\" phase=\"200\"", "paper=\"moon_2.png\""}));
    ASSERT_TRUE(program.Launch());
    const HWND box = program.WaitWindow("#32770", "Quellwick");
    ASSERT_TRUE(box) << "no message box";
    char text[256] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
    EXPECT_STREQ("Unable ot initialize list of available Quellwicks. You may need to install msxml3.dll.", text);
    EXPECT_TRUE(GetDlgItem(box, IDOK) && !GetDlgItem(box, IDCANCEL)) << "a lone OK button";
    const HWND tray = program.FindWindowOf("QuellwickTrayIconWindow", nullptr);
    // Time for a tick or two while the box is shown, and for a second start's double click,
    // which must not open the settings over an empty catalogue.
    PostMessageA(tray, WM_TRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
    Sleep(3000);
    EXPECT_EQ(1u, program.Windows("#32770", nullptr).size()) << "a window opened over the box";
    EXPECT_EQ("", ReadDesktopString("Wallpaper"));
    EXPECT_EQ("<missing>", ReadDesktopString("TileWallpaper"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(WindowsWallpaperPath().c_str()));
    SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(1u, program.WaitExit());
    EXPECT_FALSE(tray && HasTrayIcon(tray)) << "the icon was left behind";
}

int addsOffered = 0;
bool tipTellsInUse = false;

// A shell that is not ready at first, as at sign-in: it refuses the first icon it is
// offered and takes the later ones, and notes whether the latest tip tells of a wallpaper
// file in use. Wine's Shell_NotifyIcon sends the NIM_ message as WM_COPYDATA, the tip in
// UTF-16, to the first "Shell_TrayWnd" it finds.
LRESULT CALLBACK LateShell(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_COPYDATA)
        return DefWindowProcA(window, message, wParam, lParam);
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (data->dwData == NIM_ADD)
        ++addsOffered;
    const std::wstring needle = L"\nThe wallpaper could not be saved: the file is in use by another program.";
    const auto* text = static_cast<const char*>(data->lpData);
    const std::string bytes(text, text + data->cbData),
        wide(reinterpret_cast<const char*>(needle.c_str()), needle.size() * sizeof(wchar_t));
    tipTellsInUse = bytes.find(wide) != std::string::npos;
    return addsOffered > 1;
}

class LateShellTest : public WorldEndToEnd {
protected:
    void SetUp() override {
        WorldEndToEnd::SetUp();
        shellClass.lpfnWndProc = &LateShell;
        shellClass.hInstance = GetModuleHandleA(nullptr);
        shellClass.lpszClassName = "Shell_TrayWnd";
        ASSERT_TRUE(RegisterClassA(&shellClass));
        // Topmost and the newest, so that it is found before the desktop's own task bar.
        shell = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "Shell_TrayWnd", "", WS_POPUP, 0, 0, 0, 0, nullptr,
                                nullptr, shellClass.hInstance, nullptr);
        ASSERT_TRUE(shell);
        addsOffered = 0;
        tipTellsInUse = false;
    }
    void TearDown() override {
        DestroyWindow(shell);
        UnregisterClassA("Shell_TrayWnd", shellClass.hInstance);
        WorldEndToEnd::TearDown();
    }

    WNDCLASSA shellClass = {};
    HWND shell = nullptr;
};

TEST_F(LateShellTest, IconIsOfferedAgainAfterTheShellRefusedIt) {
    ASSERT_TRUE(program.Launch());
    EXPECT_TRUE(WaitFor([] {
        Pump();
        return addsOffered >= 2;
    })) << "the icon was offered "
        << addsOffered << " time(s)";
}

// A wallpaper file that another program holds open: the tip says so, and the picture is
// saved once the session is unlocked after the file has been let go.
TEST_F(LateShellTest, AWallpaperFileInUseIsToldInTheTipUntilAnUnlockSavesIt) {
    ASSERT_TRUE(WriteFileBytes(WindowsWallpaperPath(), "held"));
    const HANDLE held =
        CreateFileA(WindowsWallpaperPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    const HWND tray = program.Start();
    ASSERT_TRUE(tray);
    EXPECT_TRUE(WaitFor([] {
        Pump();
        return tipTellsInUse;
    })) << "the tip does not tell of the file in use";
    CloseHandle(held);
    PostMessageA(tray, WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0);
    EXPECT_TRUE(WaitFor(WallpaperInstalled)) << "no refresh after an unlock";
    EXPECT_TRUE(WaitFor([] {
        Pump();
        return !tipTellsInUse;
    })) << "the tip still tells of the file in use";
}

struct HungCopy {
    HDESK desktop;
    HANDLE release;
};

// A tray window on a thread that never reads its messages, until released.
DWORD WINAPI RunHungTrayWindow(void* parameter) {
    const HungCopy& hung = *static_cast<HungCopy*>(parameter);
    SetThreadDesktop(hung.desktop);
    WNDCLASSA trayClass = {};
    trayClass.lpfnWndProc = &DefWindowProcA;
    trayClass.hInstance = GetModuleHandleA(nullptr);
    trayClass.lpszClassName = "QuellwickTrayIconWindow";
    RegisterClassA(&trayClass);
    const HWND window = CreateWindowExA(0, trayClass.lpszClassName, "QuellwickShellIconHiddenWindow", WS_POPUP, 0, 0, 0,
                                        0, nullptr, nullptr, trayClass.hInstance, nullptr);
    WaitForSingleObject(hung.release, INFINITE);
    DestroyWindow(window);
    UnregisterClassA(trayClass.lpszClassName, trayClass.hInstance);
    return 0;
}

// A first copy that is there but hangs: a second start tells the user so.
TEST_F(WorldEndToEnd, ASecondStartTellsOfAFirstCopyThatDoesNotAnswer) {
    const HANDLE mutex = CreateMutexA(nullptr, FALSE, "Local\\Quellwick.SingleInstance");
    HungCopy hung{GetThreadDesktop(GetCurrentThreadId()), CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    const HANDLE thread = CreateThread(nullptr, 0, &RunHungTrayWindow, &hung, 0, nullptr);
    ASSERT_TRUE(program.Launch());
    const HWND box = program.WaitWindow("#32770", "Quellwick");
    SetEvent(hung.release);
    WaitForSingleObject(thread, INFINITE);
    for (HANDLE handle : {thread, hung.release, mutex})
        CloseHandle(handle);
    ASSERT_TRUE(box) << "no box";
    char text[256] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
    EXPECT_NE(nullptr, strstr(text, "Quellwick is already running but is not responding.")) << text;
    SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(1u, program.WaitExit());
}

}  // namespace
