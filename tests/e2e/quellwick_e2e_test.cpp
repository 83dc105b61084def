#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <fstream>

#include "resources/app_messages.h"
#include "tests/e2e/quellwick_session.h"
#include "tests/wallpaper/wallpaper_test_support.h"
#include "wallpaper/wallpaper_fit.h"

using namespace e2e;
using namespace wallpaper_test;
using Gdiplus::ARGB;

namespace {

constexpr ARGB kBlack = 0xFF000000;
constexpr ARGB kGrey = 0xFFC8C8C8;
constexpr ARGB kOrange = 0xFFE08020;
constexpr ARGB kGreen = 0xFF20C040;
constexpr int kPictureWidth = 400;
constexpr int kPictureHeight = 300;

constexpr char kCatalogue[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<Quellwicks>\n"
    "  <Quellwick paper=\"moon.png\" phase=\"0\" ann=\"moon_ann.png\" title=\"New\">New moon</Quellwick>\n"
    "  <Quellwick paper=\"moon.png\" phase=\"100\" ann=\"moon_ann.png\" title=\"Full\">Full moon</Quellwick>\n"
    "  <Quellwick paper=\"moon.png\" phase=\"200\" ann=\"moon_ann.png\" title=\"New\">New moon</Quellwick>\n"
    "</Quellwicks>\n";

class QuellwickEndToEnd : public QuellwickSessionTest {
protected:
    // The picture set: the same picture at every phase, so that the wallpaper does not
    // depend on today's Moon. Left half grey, right half orange; the overlay adds a green
    // block in the middle.
    void WriteData() {
        ASSERT_TRUE(SavePicture(layout.DataPath("moon.png"), kPictureWidth, kPictureHeight,
                                {{0, 0, 200, 300, kGrey}, {200, 0, 200, 300, kOrange}}));
        ASSERT_TRUE(SavePicture(layout.DataPath("moon_ann.png"), kPictureWidth, kPictureHeight,
                                {{150, 100, 100, 100, kGreen}}));
        std::ofstream(layout.DataPath("Quellwicks.xml"), std::ios::binary) << kCatalogue;
    }

    // Checks the wallpaper file: screen-sized, the picture fitted and centred on black,
    // with or without the overlay.
    void ExpectWallpaper(const std::string& path, bool annotated) {
        const GdipBitmapPtr bitmap = OpenBitmap(path);
        ASSERT_TRUE(bitmap) << path;
        const SIZE size = ImagePixelSize(bitmap.get());
        ASSERT_EQ(kDesktopWidth, size.cx);
        ASSERT_EQ(kDesktopHeight, size.cy);
        const FitRect fit = ComputeFit(kDesktopWidth, kDesktopHeight, kPictureWidth, kPictureHeight);
        ASSERT_GT(fit.x, 10u);
        auto at = [&](double fx, double fy) {
            return PixelAt(bitmap.get(), static_cast<int>(fit.x + fx * fit.width),
                           static_cast<int>(fit.y + fy * fit.height));
        };
        EXPECT_TRUE(ColourNear(PixelAt(bitmap.get(), static_cast<int>(fit.x) - 5, 400), kBlack));
        EXPECT_TRUE(ColourNear(PixelAt(bitmap.get(), static_cast<int>(fit.x + fit.width) + 5, 400), kBlack));
        EXPECT_TRUE(ColourNear(at(0.1, 0.1), kGrey));
        EXPECT_TRUE(ColourNear(at(0.9, 0.9), kOrange));
        EXPECT_TRUE(ColourNear(at(0.45, 0.5), annotated ? kGreen : kGrey));
        EXPECT_TRUE(ColourNear(at(0.55, 0.5), annotated ? kGreen : kOrange));
    }

    // Waits for the first install and checks everything the desktop is told.
    void ExpectInstalled(const std::string& path) {
        ASSERT_TRUE(WaitFor([&] { return lstrcmpiA(DesktopWallpaperSetting().c_str(), path.c_str()) == 0; }, 3000))
            << "wallpaper setting is '" << DesktopWallpaperSetting() << "', expected '" << path << "'";
        EXPECT_EQ("0", ReadDesktopString("TileWallpaper"));
        EXPECT_EQ("2", ReadDesktopString("WallpaperStyle"));
        ExpectWallpaper(path, false);
    }

    void CloseAndExpectCleanExit(CQuellwickProcess& program, HWND tray) {
        PostMessageA(tray, WM_CLOSE, 0, 0);
        EXPECT_EQ(0u, program.WaitForExit(10000));
        EXPECT_FALSE(HasTrayIcon(tray)) << "the icon outlived the program";
    }
};

TEST_F(QuellwickEndToEnd, InstallsTheFittedMoonOnceKeepsItsIconAndEndsOnClose) {
    WriteData();
    CQuellwickProcess program(layout.ProgramPath());
    ASSERT_TRUE(program.IsStarted());
    const HWND tray = program.WaitForTrayWindow(10000);
    ASSERT_TRUE(tray) << "the hidden window did not appear";
    EXPECT_TRUE(WaitFor([&] { return HasTrayIcon(tray); }, 3000)) << "no notification icon";
    ExpectInstalled(WindowsWallpaperPath());
    const FILETIME written = LastWriteTime(WindowsWallpaperPath());

    // What a restarted shell looks like to the program: its icon is gone, then the task
    // bar announces itself.
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = tray;
    Shell_NotifyIconA(NIM_DELETE, &data);
    ASSERT_FALSE(HasTrayIcon(tray));
    PostMessageA(tray, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitFor([&] { return HasTrayIcon(tray); }, 3000)) << "the icon was not added again";

    // The next refresh comes a minute after the first, and finds the same entry.
    Sleep(63000);
    const FILETIME later = LastWriteTime(WindowsWallpaperPath());
    EXPECT_EQ(0, CompareFileTime(&written, &later)) << "the same picture was rendered again";
    EXPECT_EQ(static_cast<DWORD>(STILL_ACTIVE), program.WaitForExit(0));
    CloseAndExpectCleanExit(program, tray);
}

// The tray menu as the program's resources define it: Wine does not let another process
// read the live menu, which the next test checks by its behaviour and its looks.
TEST_F(QuellwickEndToEnd, TrayMenuResourceListsTheCommandsInOrder) {
    const HMODULE module = LoadLibraryExA(layout.ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const HMENU bar = module ? LoadMenuA(module, MAKEINTRESOURCEA(202)) : nullptr;
    const HMENU menu = bar ? GetSubMenu(bar, 0) : nullptr;
    ASSERT_TRUE(menu);
    const struct {
        const char* text;
        UINT id;
        bool isDefault;
    } expected[] = {{"Open...", 204, true},     {"About...", 205, false}, {nullptr, 0, false},
                    {"Annotation", 206, false}, {nullptr, 0, false},      {"Exit", 203, false}};
    ASSERT_EQ(6, GetMenuItemCount(menu));
    for (UINT i = 0; i < 6; ++i) {
        char text[64] = {};
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof(text);
        ASSERT_TRUE(GetMenuItemInfoA(menu, i, TRUE, &info));
        EXPECT_EQ(!expected[i].text, (info.fType & MFT_SEPARATOR) != 0) << i;
        if (expected[i].text) {
            EXPECT_STREQ(expected[i].text, text) << i;
            EXPECT_EQ(expected[i].id, info.wID) << i;
        }
        EXPECT_EQ(expected[i].isDefault, (info.fState & MFS_DEFAULT) != 0) << i;
    }
    DestroyMenu(bar);
    FreeLibrary(module);
}

HWND OpenTrayMenu(HWND tray, DWORD processId) {
    PostMessageA(tray, WM_TRAYNOTIFY, 0, WM_RBUTTONUP);
    HWND menu = nullptr;
    WaitFor([&] { return (menu = FindProcessWindow(processId, "#32768", nullptr)) && IsWindowVisible(menu); }, 5000);
    Sleep(300);  // let it paint
    return menu && IsWindowVisible(menu) ? menu : nullptr;
}

TEST_F(QuellwickEndToEnd, AnnotationFromTheMenuFlipsTheSettingTheOverlayAndTheCheckMark) {
    WriteData();
    CQuellwickProcess program(layout.ProgramPath());
    const HWND tray = program.WaitForTrayWindow(10000);
    ASSERT_TRUE(tray);
    ExpectInstalled(WindowsWallpaperPath());
    const std::string wallpaper = WindowsWallpaperPath();

    // Chooses Annotation by keyboard in the open menu (separators are skipped) and waits
    // for the setting and the wallpaper to follow.
    auto chooseAnnotation = [&](HWND menu, DWORD expected) {
        const FILETIME before = LastWriteTime(wallpaper);
        for (WORD key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN})
            PressKey(key);
        DWORD annotate = 99;
        ASSERT_TRUE(WaitFor([&] { return ReadSettingsDword("Annotate", &annotate) && annotate == expected; }, 5000))
            << "Annotate is " << annotate << ", expected " << expected;
        ASSERT_TRUE(WaitFor(
            [&] {
                const FILETIME now = LastWriteTime(wallpaper);
                return CompareFileTime(&before, &now) != 0;
            },
            5000))
            << "the wallpaper was not rewritten";
        EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(menu); }, 3000));
        ExpectWallpaper(wallpaper, expected == 1);
    };

    HWND menu = OpenTrayMenu(tray, program.Id());
    ASSERT_TRUE(menu) << "no popup menu";
    Sleep(500);
    const ScreenCapture unchecked = CaptureWindow(menu);
    chooseAnnotation(menu, 1);
    Sleep(1500);  // the desktop finishes showing the new wallpaper

    menu = OpenTrayMenu(tray, program.Id());
    ASSERT_TRUE(menu);
    // Once painted, the menu's first item looks as before.
    ScreenCapture checked;
    const size_t firstRows = static_cast<size_t>(unchecked.width) * static_cast<size_t>(unchecked.height / 5);
    EXPECT_TRUE(WaitFor(
        [&] {
            checked = CaptureWindow(menu);
            return checked.pixels.size() == unchecked.pixels.size() &&
                   std::equal(unchecked.pixels.begin(), unchecked.pixels.begin() + firstRows, checked.pixels.begin());
        },
        3000));
    ASSERT_TRUE(unchecked.width == checked.width && unchecked.height == checked.height);
    // The two pictures differ only in the check column, between the second separator's
    // neighbours: in the middle of the menu's height and at its left edge.
    int right = -1, top = checked.height, bottom = -1;
    for (int y = 0; y < checked.height; ++y) {
        for (int x = 0; x < checked.width; ++x) {
            if (checked.pixels[static_cast<size_t>(y * checked.width + x)] !=
                unchecked.pixels[static_cast<size_t>(y * checked.width + x)]) {
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    ASSERT_GE(right, 0) << "no check mark appeared";
    EXPECT_LT(right, checked.width / 3) << "more than the check mark changed";
    EXPECT_GT(top, checked.height / 3);
    EXPECT_LT(bottom, checked.height * 3 / 4);

    // Escape closes the menu and changes nothing; choosing again switches the overlay off.
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(menu); }, 3000));
    Sleep(300);
    DWORD annotate = 0;
    EXPECT_TRUE(ReadSettingsDword("Annotate", &annotate) && annotate == 1);
    menu = OpenTrayMenu(tray, program.Id());
    ASSERT_TRUE(menu);
    chooseAnnotation(menu, 0);
    CloseAndExpectCleanExit(program, tray);
}

TEST_F(QuellwickEndToEnd, MissingCatalogueIsReportedAndEndsWithCodeOne) {
    CQuellwickProcess program(layout.ProgramPath());
    ASSERT_TRUE(program.IsStarted());
    HWND box = nullptr;
    ASSERT_TRUE(
        WaitFor([&] { return (box = FindProcessWindow(program.Id(), "#32770", "Quellwick")) != nullptr; }, 10000))
        << "no message box";
    char text[256] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
    EXPECT_STREQ("Unable ot initialize list of available Quellwicks. You may need to install msxml3.dll.", text);
    EXPECT_TRUE(GetDlgItem(box, IDOK) && !GetDlgItem(box, IDCANCEL)) << "a lone OK button";

    const HWND tray = FindProcessWindow(program.Id(), "QuellwickTrayIconWindow", nullptr);
    SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(1u, program.WaitForExit(10000));
    if (tray) {
        EXPECT_FALSE(HasTrayIcon(tray)) << "the icon was left behind";
    }
    EXPECT_EQ("", DesktopWallpaperSetting());
}

}  // namespace
