// The staged program driven as a user would: its icon, its wallpaper, its menu and its About box.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <string>

#include "resources/about_ids.h"
#include "resources/app_messages.h"
#include "tests/common/win_test_support.h"

using namespace wintest;

namespace {

constexpr char kPage[] = "<body><b>Quellwick</b> 1.0.0\n<p>See <a href=\"https://example.org/\">the site</a>.</body>";
constexpr char kPageText[] = "Quellwick 1.0.0 \r\n\r\nSee the site.";

class QuellwickEndToEnd : public ProgramTest {
protected:
    // Opens the icon's menu; null when it does not show.
    HWND OpenMenu(HWND tray) {
        PostMessageA(tray, WM_TRAYNOTIFY, 0, WM_RBUTTONUP);
        const HWND menu = program.WaitWindow("#32768", nullptr);
        Sleep(500);  // let it paint
        return menu;
    }

    // Chooses a menu item by keyboard: `downs` steps from the top (separators are skipped).
    void Choose(HWND tray, int downs) {
        const HWND menu = OpenMenu(tray);
        ASSERT_TRUE(menu) << "no popup menu";
        for (int i = 0; i < downs; ++i)
            PressKey(VK_DOWN);
        PressKey(VK_RETURN);
        EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(menu); }));
    }

    // Chooses Annotation and waits for the setting and the wallpaper to follow.
    void ChooseAnnotation(HWND tray, int entry, DWORD expected) {
        const FILETIME before = LastWriteTime(WindowsWallpaperPath());
        ASSERT_NO_FATAL_FAILURE(Choose(tray, 3));
        ASSERT_TRUE(WaitFor([&] { return SettingOr("Annotate", 99) == expected; })) << "Annotate is not " << expected;
        ASSERT_TRUE(WallpaperRewritten(before)) << "the wallpaper was not rewritten";
        ExpectWallpaper(entry, expected == 1);
    }
};

// One run: the first install, the icon across a shell restart, the About box and Annotation.
TEST_F(QuellwickEndToEnd, InstallsTheWallpaperKeepsItsIconShowsAboutAndFlipsAnnotation) {
    ASSERT_TRUE(WriteColourCatalogue(program));
    ASSERT_TRUE(WriteFileBytes(program.DataPath("about.html"), kPage));
    const int entry = CurrentMoonIndex(program);
    ASSERT_GE(entry, 0);
    const HWND tray = program.Start();
    ASSERT_TRUE(tray) << "the hidden window did not appear";
    EXPECT_TRUE(WaitFor([&] { return HasTrayIcon(tray); })) << "no notification icon";
    ASSERT_TRUE(WaitFor([&] {
        return lstrcmpiA(ReadDesktopString("Wallpaper").c_str(), WindowsWallpaperPath().c_str()) == 0;
    })) << "the desktop wallpaper is '"
        << ReadDesktopString("Wallpaper") << "'";
    ExpectWallpaper(entry, false);

    // A restarted shell: the icon is gone, then the task bar announces itself.
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = tray;
    Shell_NotifyIconA(NIM_DELETE, &data);
    ASSERT_FALSE(HasTrayIcon(tray));
    PostMessageA(tray, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitFor([&] { return HasTrayIcon(tray); })) << "the icon was not added again";

    // About... opens the box with the data folder's page; Escape closes it.
    ASSERT_NO_FATAL_FAILURE(Choose(tray, 2));
    const HWND about = program.WaitWindow("#32770", "About");
    ASSERT_TRUE(about) << "no About box";
    EXPECT_EQ(kPageText, WindowTextOf(GetDlgItem(about, IDC_ABOUT_PAGE)));
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == about; })) << "the box is not in front";
    // The icon opens nothing more while the box is up: no menu, no second box.
    PostMessageA(tray, WM_TRAYNOTIFY, 0, WM_RBUTTONUP);
    PostMessageA(tray, WM_TRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
    Sleep(1500);
    EXPECT_EQ(nullptr, program.FindWindowOf("#32768", nullptr)) << "a menu over the About box";
    EXPECT_EQ(1u, program.Windows("#32770", nullptr).size()) << "a second window over the About box";
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == about; })) << "the box is not in front";
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(about); })) << "Escape did not close the box";

    // Annotation: the overlay and a check mark, which is all that changes in the menu.
    HWND menu = OpenMenu(tray);
    ASSERT_TRUE(menu);
    const PixelCapture unchecked = CaptureScreen(menu, false);
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(menu); }));
    ASSERT_NO_FATAL_FAILURE(ChooseAnnotation(tray, entry, 1));
    Sleep(1500);  // the desktop finishes showing the new wallpaper
    menu = OpenMenu(tray);
    ASSERT_TRUE(menu);
    // Changed pixels: in the check column between the separators (the left third, mid-height),
    // and elsewhere. The top rows, which never change, show when the menu has painted.
    PixelCapture checked;
    const size_t firstRows = static_cast<size_t>(unchecked.width) * static_cast<size_t>(unchecked.height / 5);
    EXPECT_TRUE(WaitFor([&] {
        checked = CaptureScreen(menu, false);
        return checked.pixels.size() == unchecked.pixels.size() &&
               std::equal(unchecked.pixels.begin(), unchecked.pixels.begin() + firstRows, checked.pixels.begin());
    })) << "the menu did not paint as before";
    int inCheckColumn = 0, elsewhere = 0;
    for (int y = 0; y < checked.height; ++y) {
        for (int x = 0; x < checked.width; ++x) {
            const bool checkColumn = x < checked.width / 3 && y > checked.height / 3 && y < checked.height * 3 / 4;
            if (checked.At(x, y) != unchecked.At(x, y))
                ++(checkColumn ? inCheckColumn : elsewhere);
        }
    }
    EXPECT_GT(inCheckColumn, 0) << "no check mark appeared";
    EXPECT_EQ(0, elsewhere) << "more than the check mark changed";
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(menu); }));
    Sleep(300);
    EXPECT_EQ(1u, SettingOr("Annotate", 99)) << "Escape changed the setting";
    ASSERT_NO_FATAL_FAILURE(ChooseAnnotation(tray, entry, 0));

    // The session ends: the program leaves as after Exit.
    EXPECT_EQ(TRUE, SendMessageA(tray, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
    SendMessageA(tray, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_FALSE(HasTrayIcon(tray)) << "the icon outlived the session";
    EXPECT_EQ(0u, program.WaitExit());
}

}  // namespace
