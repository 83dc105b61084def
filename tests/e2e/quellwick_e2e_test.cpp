// The staged program driven as a user would: its icon, its wallpaper, its menu and its About box.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <string>

#include "resources/about_ids.h"
#include "resources/app_messages.h"
#include "tests/common/win_test_support.h"
#include "wallpaper/wallpaper_fit.h"

using namespace wintest;

namespace {

constexpr char kPage[] = "<body><b>Quellwick</b> 1.0.0\n<p>See <a href=\"https://example.org/\">the site</a>.</body>";
constexpr char kPageText[] = "Quellwick 1.0.0 \r\n\r\nSee the site.";

// The wallpaper file: screen-sized, the entry fitted and centred on black, with or without
// the overlay.
void ExpectWallpaper(int entry, bool annotated) {
    // Right after its write time changes the new file may not open yet.
    GdipBitmapPtr bitmap;
    ASSERT_TRUE(WaitFor([&] { return (bitmap = OpenBitmap(WindowsWallpaperPath())) != nullptr; }));
    const SIZE size = ImagePixelSize(bitmap.get());
    ASSERT_TRUE(size.cx == kDesktopWidth && size.cy == kDesktopHeight) << size.cx << "x" << size.cy;
    const FitRect fit = ComputeFit(kDesktopWidth, kDesktopHeight, kEntryWidth, kEntryHeight);
    auto at = [&](double fx, double fy) {
        return PixelAt(bitmap.get(), static_cast<int>(fit.x + fx * fit.width),
                       static_cast<int>(fit.y + fy * fit.height));
    };
    const int x = static_cast<int>(fit.x);
    EXPECT_TRUE(ColourNear(PixelAt(bitmap.get(), x - 5, 400), 0xFF000000));
    EXPECT_TRUE(ColourNear(PixelAt(bitmap.get(), x + static_cast<int>(fit.width) + 5, 400), 0xFF000000));
    EXPECT_TRUE(ColourNear(at(0.1, 0.1), kLeftColours[entry]));
    EXPECT_TRUE(ColourNear(at(0.9, 0.9), kRightColours[entry]));
    EXPECT_TRUE(ColourNear(at(0.45, 0.5), annotated ? kOverlayGreen : kLeftColours[entry]));
    EXPECT_TRUE(ColourNear(at(0.55, 0.5), annotated ? kOverlayGreen : kRightColours[entry]));
}

std::string TextOf(HWND control) {
    std::string text(static_cast<size_t>(SendMessageA(control, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
    text.resize(
        static_cast<size_t>(SendMessageA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]))));
    return text;
}

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

// One run: the first install, the icon across a shell restart, the About box, no second
// render a minute later, and Annotation.
TEST_F(QuellwickEndToEnd, InstallsOnceKeepsItsIconShowsAboutAndFlipsAnnotation) {
    ASSERT_TRUE(WriteColourCatalogue(
        program, [](int i) { return "Moon " + std::to_string(i); }, [](int) { return std::string("Moon"); }));
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
    const ULONGLONG installed = GetTickCount64();
    EXPECT_EQ("0", ReadDesktopString("TileWallpaper"));
    EXPECT_EQ("2", ReadDesktopString("WallpaperStyle"));
    ExpectWallpaper(entry, false);
    const FILETIME written = LastWriteTime(WindowsWallpaperPath());

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
    EXPECT_EQ(kPageText, TextOf(GetDlgItem(about, IDC_ABOUT_PAGE)));
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == about; })) << "the box is not in front";
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(about); })) << "Escape did not close the box";

    // The next refresh comes a minute after the first, and finds the same entry.
    const ULONGLONG refreshed = installed + 63000;
    if (GetTickCount64() < refreshed)
        Sleep(static_cast<DWORD>(refreshed - GetTickCount64()));
    const FILETIME later = LastWriteTime(WindowsWallpaperPath());
    EXPECT_EQ(0, CompareFileTime(&written, &later)) << "the same picture was rendered again";

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
    PixelCapture checked;
    const size_t firstRows = static_cast<size_t>(unchecked.width) * static_cast<size_t>(unchecked.height / 5);
    EXPECT_TRUE(WaitFor([&] {
        checked = CaptureScreen(menu, false);
        return checked.pixels.size() == unchecked.pixels.size() &&
               std::equal(unchecked.pixels.begin(), unchecked.pixels.begin() + firstRows, checked.pixels.begin());
    })) << "the menu did not paint as before";
    ASSERT_TRUE(unchecked.width == checked.width && unchecked.height == checked.height);
    int right = -1, top = checked.height, bottom = -1;
    for (int y = 0; y < checked.height; ++y) {
        for (int x = 0; x < checked.width; ++x) {
            if (checked.At(x, y) != unchecked.At(x, y)) {
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    // Only the check column, between the separators: mid-height and at the left edge.
    ASSERT_GE(right, 0) << "no check mark appeared";
    EXPECT_LT(right, checked.width / 3) << "more than the check mark changed";
    EXPECT_GT(top, checked.height / 3);
    EXPECT_LT(bottom, checked.height * 3 / 4);
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(menu); }));
    Sleep(300);
    EXPECT_EQ(1u, SettingOr("Annotate", 99)) << "Escape changed the setting";
    ASSERT_NO_FATAL_FAILURE(ChooseAnnotation(tray, entry, 0));

    PostMessageA(tray, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program.WaitExit());
    EXPECT_FALSE(HasTrayIcon(tray)) << "the icon outlived the program";
}

// The tray menu as the program's resources define it: Wine does not let another process
// read the live menu, which the test above drives by its order.
TEST_F(QuellwickEndToEnd, TrayMenuResourceListsTheCommandsInOrder) {
    const HMODULE module = LoadLibraryExW(program.ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
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
        EXPECT_STREQ(expected[i].text ? expected[i].text : "", text) << i;
        EXPECT_EQ(expected[i].id, expected[i].text ? info.wID : 0) << i;
        EXPECT_EQ(expected[i].isDefault, (info.fState & MFS_DEFAULT) != 0) << i;
    }
    DestroyMenu(bar);
    FreeLibrary(module);
}

TEST_F(QuellwickEndToEnd, MissingCatalogueIsReportedAndEndsWithCodeOne) {
    ASSERT_TRUE(program.Launch());
    const HWND box = program.WaitWindow("#32770", "Quellwick");
    ASSERT_TRUE(box) << "no message box";
    char text[256] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
    EXPECT_STREQ("Unable ot initialize list of available Quellwicks. You may need to install msxml3.dll.", text);
    EXPECT_TRUE(GetDlgItem(box, IDOK) && !GetDlgItem(box, IDCANCEL)) << "a lone OK button";
    const HWND tray = program.FindWindowOf("QuellwickTrayIconWindow", nullptr);
    SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(1u, program.WaitExit());
    if (tray) {
        EXPECT_FALSE(HasTrayIcon(tray)) << "the icon was left behind";
    }
    EXPECT_EQ("", ReadDesktopString("Wallpaper"));
}

}  // namespace
