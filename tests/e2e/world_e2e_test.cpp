// The staged program in the world around it: other time zones, a wake from sleep or a new
// clock setting, a catalogue that breaks off, and a shell that is not up yet.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "astro/calendar.h"
#include "astro/moon_selection.h"
#include "tests/common/win_test_support.h"
#include "wallpaper/wallpaper_maker.h"

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
    CWallpaperMaker().SelectMoonForDate(julian + hours / 24.0, &percent, &age, nullptr);
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
    Sleep(3000);  // time for a tick or two while the box is shown
    EXPECT_EQ("", ReadDesktopString("Wallpaper"));
    EXPECT_EQ("<missing>", ReadDesktopString("TileWallpaper"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(WindowsWallpaperPath().c_str()));
    SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(1u, program.WaitExit());
    EXPECT_FALSE(tray && HasTrayIcon(tray)) << "the icon was left behind";
}

int addsOffered = 0;

// A shell that is not ready at first, as at sign-in: it refuses the first icon it is
// offered and takes the later ones. Wine's Shell_NotifyIcon sends the NIM_ message as
// WM_COPYDATA to the first "Shell_TrayWnd" it finds.
LRESULT CALLBACK LateShell(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_COPYDATA)
        return DefWindowProcA(window, message, wParam, lParam);
    if (reinterpret_cast<const COPYDATASTRUCT*>(lParam)->dwData == NIM_ADD)
        ++addsOffered;
    return addsOffered > 1;
}

TEST_F(WorldEndToEnd, IconIsOfferedAgainAfterTheShellRefusedIt) {
    WNDCLASSA shellClass = {};
    shellClass.lpfnWndProc = &LateShell;
    shellClass.hInstance = GetModuleHandleA(nullptr);
    shellClass.lpszClassName = "Shell_TrayWnd";
    ASSERT_TRUE(RegisterClassA(&shellClass));
    // Topmost and the newest, so that it is found before the desktop's own task bar.
    const HWND shell = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "Shell_TrayWnd", "", WS_POPUP, 0, 0, 0, 0,
                                       nullptr, nullptr, shellClass.hInstance, nullptr);
    ASSERT_TRUE(shell);
    addsOffered = 0;
    ASSERT_TRUE(program.Launch());
    EXPECT_TRUE(WaitFor([] {
        Pump();
        return addsOffered >= 2;
    })) << "the icon was offered "
        << addsOffered << " time(s)";
    DestroyWindow(shell);
    UnregisterClassA("Shell_TrayWnd", shellClass.hInstance);
}

}  // namespace
