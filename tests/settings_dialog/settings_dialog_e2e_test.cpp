#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <memory>
#include <string>
#include <vector>

#include "resources/app_messages.h"
#include "catalog/moon_catalog.h"
#include "tests/e2e/quellwick_session.h"
#include "tests/wallpaper/wallpaper_test_support.h"
#include "wallpaper/wallpaper_maker.h"

using namespace e2e;
using namespace wallpaper_test;
using Gdiplus::ARGB;

namespace {

// Control ids as the dialog template publishes them, written out rather than taken from
// the program's resource header, so that an id changed in the program fails these tests.
constexpr int kCurrentTime = 1002;
constexpr int kChooseMoon = 1003;
constexpr int kMoonList = 1001;
constexpr int kPreview = 1005;
constexpr int kAnnotated = 1006;
constexpr int kApply = 12321;
constexpr int kDescription = 1010;

// What the list and the description show of the five colour entries. The third has no
// title and is listed by its file name.
std::string PictureName(int i) {
    return "moon_" + std::to_string(i) + ".png";
}

std::string Title(int i) {
    return i == 2 ? "" : "Moon number " + std::to_string(i);
}

std::string Description(int i) {
    return "Description of picture " + std::to_string(i) + ".\r\nSecond line.";
}

DWORD SettingOr(const char* name, DWORD fallback) {
    DWORD value = 0;
    return ReadSettingsDword(name, &value) ? value : fallback;
}

std::vector<HWND> SettingsDialogs(DWORD processId) {
    return ProcessWindows(processId, "#32770", "Quellwick");
}

std::string ControlText(HWND dialog, int id) {
    char text[512] = {};
    SendMessageA(GetDlgItem(dialog, id), WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
    return text;
}

bool IsChecked(HWND dialog, int id) {
    return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool IsEnabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

void Click(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

int ListSelection(HWND dialog) {
    return static_cast<int>(SendMessageA(GetDlgItem(dialog, kMoonList), LB_GETCURSEL, 0, 0));
}

// Wide text: Wine carries another process's list-box text across as UTF-16 only.
std::string ListLine(HWND dialog, int line) {
    const HWND list = GetDlgItem(dialog, kMoonList);
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(line), 0);
    if (length < 0)
        return "<none>";
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1);
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(text.data()));
    return AnsiFromWide(text.data(), static_cast<int>(length));
}

// Clicks a line of the list with the mouse, scrolling it into view first.
void ClickListLine(HWND dialog, int line) {
    const HWND list = GetDlgItem(dialog, kMoonList);
    SendMessageA(list, LB_SETTOPINDEX, static_cast<WPARAM>(line), 0);
    const int top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    const int height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    POINT point = {10, (line - top) * height + height / 2};
    ClientToScreen(list, &point);
    MouseTo(point.x, point.y);
    MouseButton(true);
    MouseButton(false);
}

class SettingsDialogEndToEnd : public QuellwickSessionTest {
protected:
    void SetUp() override {
        // The virtual desktop comes before the component runtime, which gives the thread a
        // window of its own.
        ASSERT_NO_FATAL_FAILURE(QuellwickSessionTest::SetUp());
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        ASSERT_TRUE(WriteColourCatalogue(layout, Title, [](int i) {
            return "Description of picture " + std::to_string(i) + ".&lt;br&gt;Second line.";
        }));
    }

    void TearDown() override {
        program.reset();
        QuellwickSessionTest::TearDown();
        CoUninitialize();
    }

    // The index of today's entry, worked out as the program does.
    int CurrentMoonIndex() {
        CMoonCatalog catalog;
        EXPECT_GE(catalog.Load(layout.DataPath("Quellwicks.xml")), 0);
        int index = -1;
        CWallpaperMaker(catalog).CurrentMoon(nullptr, nullptr, &index);
        return index;
    }

    // Starts the program, with entry `pinned` chosen unless it is negative, and waits for
    // its first wallpaper.
    HWND Start(int pinned = -1) {
        if (pinned >= 0) {
            EXPECT_TRUE(WriteSettingsDword("MoonType", 1));
            EXPECT_TRUE(WriteSettingsDword("SelectedMoon", static_cast<DWORD>(pinned)));
        }
        program = std::make_unique<CQuellwickProcess>(layout.ProgramPath());
        const HWND tray = program->WaitForTrayWindow(10000);
        EXPECT_TRUE(tray) << "the hidden window did not appear";
        EXPECT_TRUE(WaitFor([] { return LastWriteTime(WindowsWallpaperPath()).dwLowDateTime != 0; }, 5000))
            << "no first wallpaper";
        Sleep(500);  // the desktop settles on the new wallpaper
        return tray;
    }

    // Closes the program from its icon's window and expects a clean end; a dialog still
    // open, when given, has to close with it.
    void ExitProgram(HWND tray, HWND openDialog = nullptr) {
        PostMessageA(tray, WM_CLOSE, 0, 0);
        if (openDialog) {
            EXPECT_TRUE(WaitClosed(openDialog));
        }
        EXPECT_EQ(0u, program->WaitForExit(10000));
    }

    // Double-clicks the icon and waits for a dialog other than `previous` to show.
    HWND OpenDialog(HWND tray, HWND previous = nullptr) {
        PostMessageA(tray, WM_TRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
        HWND dialog = nullptr;
        WaitFor(
            [&] {
                const std::vector<HWND> dialogs = SettingsDialogs(program->Id());
                dialog = dialogs.empty() ? nullptr : dialogs.front();
                return dialog && dialog != previous && IsWindowVisible(dialog);
            },
            5000);
        Sleep(500);  // let it paint
        return dialog;
    }

    static bool WaitClosed(HWND dialog) {
        return WaitFor([&] { return !IsWindow(dialog); }, 5000);
    }

    // Waits for the wallpaper file to change from `before`, then makes sure it is not
    // written again. False when it did not change.
    static bool RewrittenOnce(const FILETIME& before) {
        FILETIME written = {};
        if (!WaitFor(
                [&] {
                    written = LastWriteTime(WindowsWallpaperPath());
                    return CompareFileTime(&before, &written) != 0;
                },
                5000)) {
            return false;
        }
        Sleep(2000);
        const FILETIME later = LastWriteTime(WindowsWallpaperPath());
        EXPECT_EQ(0, CompareFileTime(&written, &later)) << "the wallpaper was written more than once";
        return true;
    }

    static void ExpectNotRewritten(const FILETIME& before) {
        Sleep(1500);
        const FILETIME now = LastWriteTime(WindowsWallpaperPath());
        EXPECT_EQ(0, CompareFileTime(&before, &now)) << "the wallpaper was rewritten";
    }

    // The middle of the wallpaper file: the overlay's block when annotated, otherwise
    // where the picture's two halves meet.
    static void ExpectWallpaperOf(int entry, bool annotated) {
        const GdipBitmapPtr bitmap = OpenBitmap(WindowsWallpaperPath());
        ASSERT_TRUE(bitmap);
        const SIZE size = ImagePixelSize(bitmap.get());
        const int x = size.cx / 2, y = size.cy / 2;
        EXPECT_TRUE(ColourNear(PixelAt(bitmap.get(), x - 40, y), annotated ? kOverlayGreen : kLeftColours[entry]));
        EXPECT_TRUE(ColourNear(PixelAt(bitmap.get(), x + 40, y), annotated ? kOverlayGreen : kRightColours[entry]));
        EXPECT_TRUE(ColourNear(PixelAt(bitmap.get(), x - 300, y), kLeftColours[entry]));
    }

    // The 300 x 200 picture stretched to the 128 x 128 square at the top left, black elsewhere.
    static void ExpectPreviewOf(HWND dialog, int entry) {
        const ScreenCapture preview = CaptureClient(GetDlgItem(dialog, kPreview));
        ASSERT_TRUE(preview.width >= 128 && preview.height >= 120);
        for (const int y : {4, 60, 118}) {
            for (const int x : {8, 56, 72, 120})
                EXPECT_TRUE(ColourNear(CapturedAt(preview, x, y), x < 64 ? kLeftColours[entry] : kRightColours[entry]))
                    << x << "," << y;
        }
        int outside = 0;
        for (int y = 0; y < preview.height; ++y) {
            for (int x = 0; x < preview.width; ++x)
                outside += (x >= 128 || y >= 128) && CapturedAt(preview, x, y) != 0xFF000000 ? 1 : 0;
        }
        EXPECT_EQ(0, outside) << "pixels beside or below the preview are not black";
    }

    std::unique_ptr<CQuellwickProcess> program;
};

TEST_F(SettingsDialogEndToEnd, CurrentTimeModeShowsThePresentMoonInAOneAndOnlyDialog) {
    const int current = CurrentMoonIndex();
    ASSERT_GE(current, 0);
    ASSERT_TRUE(WriteSettingsDword("SelectedMoon", current == 0 ? 1 : 0));
    const HWND tray = Start();
    ASSERT_TRUE(tray);

    // A single click opens nothing.
    PostMessageA(tray, WM_TRAYNOTIFY, 0, WM_LBUTTONUP);
    Sleep(700);
    EXPECT_TRUE(SettingsDialogs(program->Id()).empty());

    const HWND dialog = OpenDialog(tray);
    ASSERT_TRUE(dialog) << "the double click opened no dialog";
    EXPECT_TRUE(IsChecked(dialog, kCurrentTime));
    EXPECT_FALSE(IsChecked(dialog, kChooseMoon) || IsChecked(dialog, kAnnotated));
    EXPECT_FALSE(IsEnabled(dialog, kMoonList) || IsEnabled(dialog, kPreview) || IsEnabled(dialog, kApply));
    EXPECT_EQ(current, ListSelection(dialog)) << "the list shows the present moment's line";
    EXPECT_EQ("Cancel", ControlText(dialog, IDCANCEL));
    EXPECT_EQ(Description(current), ControlText(dialog, kDescription));
    ASSERT_EQ(kEntryCount, SendMessageA(GetDlgItem(dialog, kMoonList), LB_GETCOUNT, 0, 0));
    for (int i = 0; i < kEntryCount; ++i)
        EXPECT_EQ(i == 2 ? PictureName(i) : Title(i), ListLine(dialog, i)) << i;
    EXPECT_FALSE(GetWindow(dialog, GW_OWNER)) << "the dialog belongs to no window";
    RECT workArea = {};
    RECT rect = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    GetWindowRect(dialog, &rect);
    EXPECT_NEAR((workArea.left + workArea.right) / 2, (rect.left + rect.right) / 2, 1) << "centred";
    EXPECT_NEAR((workArea.top + workArea.bottom) / 2, (rect.top + rect.bottom) / 2, 1);
    ExpectPreviewOf(dialog, current);

    // Opening again brings the same dialog forward.
    EXPECT_EQ(dialog, OpenDialog(tray));
    EXPECT_EQ(1u, SettingsDialogs(program->Id()).size());

    // Choosing now pins the present moment's entry, which the list shows.
    Click(dialog, kChooseMoon);
    EXPECT_TRUE(IsEnabled(dialog, kMoonList) && IsEnabled(dialog, kPreview) && IsEnabled(dialog, kApply));
    Click(dialog, kApply);
    EXPECT_EQ(1u, SettingOr("MoonType", 99));
    EXPECT_EQ(static_cast<DWORD>(current), SettingOr("SelectedMoon", 99));

    // Closed, and opened again by a double click queued at once: the dialog reports its
    // close after the new one opened, and that late report must not take the new one away.
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    const HWND reopened = OpenDialog(tray, dialog);
    ASSERT_TRUE(reopened) << "the dialog did not open again";
    Sleep(1000);
    EXPECT_TRUE(IsWindow(reopened)) << "the late close report took the reopened dialog away";
    EXPECT_EQ(1u, SettingsDialogs(program->Id()).size());
    Click(reopened, kCurrentTime);
    Click(reopened, kApply);
    EXPECT_EQ(0u, SettingOr("MoonType", 99)) << "the reopened dialog works";

    // Exit from the tray closes the dialog and ends the program cleanly.
    ExitProgram(tray, reopened);
}

TEST_F(SettingsDialogEndToEnd, PinnedChoiceIsShownChangedAndAppliedOnce) {
    const HWND tray = Start(3);
    ASSERT_TRUE(tray);
    const HWND dialog = OpenDialog(tray);
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(IsChecked(dialog, kChooseMoon));
    EXPECT_FALSE(IsChecked(dialog, kCurrentTime));
    EXPECT_TRUE(IsEnabled(dialog, kMoonList) && IsEnabled(dialog, kPreview));
    EXPECT_EQ(3, ListSelection(dialog));
    EXPECT_EQ(Description(3), ControlText(dialog, kDescription));
    ExpectPreviewOf(dialog, 3);

    ClickListLine(dialog, 1);
    ASSERT_TRUE(WaitFor([&] { return ListSelection(dialog) == 1; }, 3000)) << "the click did not select line 1";
    EXPECT_TRUE(WaitFor([&] { return ControlText(dialog, kDescription) == Description(1); }, 3000));
    EXPECT_TRUE(IsEnabled(dialog, kApply));
    EXPECT_EQ("Cancel", ControlText(dialog, IDCANCEL));
    Sleep(300);
    ExpectPreviewOf(dialog, 1);
    EXPECT_EQ(3u, SettingOr("SelectedMoon", 99)) << "nothing is stored before Apply";

    const FILETIME before = LastWriteTime(WindowsWallpaperPath());
    Click(dialog, kApply);
    EXPECT_EQ(1u, SettingOr("MoonType", 99));
    EXPECT_EQ(1u, SettingOr("SelectedMoon", 99));
    EXPECT_EQ(0u, SettingOr("Annotate", 99));
    EXPECT_TRUE(RewrittenOnce(before)) << "Apply did not rebuild the wallpaper";
    ExpectWallpaperOf(1, false);
    EXPECT_FALSE(IsEnabled(dialog, kApply));
    EXPECT_EQ("Close", ControlText(dialog, IDCANCEL));

    // Annotating makes the choice new again; Apply then writes it with the overlay.
    Click(dialog, kAnnotated);
    EXPECT_TRUE(IsEnabled(dialog, kApply));
    EXPECT_EQ("Cancel", ControlText(dialog, IDCANCEL));
    const FILETIME plain = LastWriteTime(WindowsWallpaperPath());
    Click(dialog, kApply);
    EXPECT_EQ(1u, SettingOr("Annotate", 99));
    EXPECT_TRUE(RewrittenOnce(plain));
    ExpectWallpaperOf(1, true);

    // OK after Apply only closes.
    const FILETIME applied = LastWriteTime(WindowsWallpaperPath());
    Click(dialog, IDOK);
    EXPECT_TRUE(WaitClosed(dialog));
    ExpectNotRewritten(applied);
    ExitProgram(tray);
}

TEST_F(SettingsDialogEndToEnd, EscapeAndTheCloseBoxCancelAndEnterAppliesOnce) {
    const HWND tray = Start(4);
    ASSERT_TRUE(tray);
    const FILETIME installed = LastWriteTime(WindowsWallpaperPath());
    for (const bool escape : {true, false}) {
        const HWND dialog = OpenDialog(tray);
        ASSERT_TRUE(dialog);
        ClickListLine(dialog, 2);
        ASSERT_TRUE(WaitFor([&] { return ListSelection(dialog) == 2; }, 3000));
        // The list reports the change when the button comes up.
        EXPECT_TRUE(WaitFor([&] { return IsEnabled(dialog, kApply); }, 3000));
        if (escape) {
            ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == dialog; }, 3000));
            PressKey(VK_ESCAPE);
        } else {
            PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        EXPECT_TRUE(WaitClosed(dialog)) << (escape ? "Esc" : "the close box") << " did not close the dialog";
        EXPECT_EQ(4u, SettingOr("SelectedMoon", 99));
    }
    ExpectNotRewritten(installed);

    // Enter right after opening is OK, which applies the unchanged choice once.
    const HWND dialog = OpenDialog(tray);
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == dialog; }, 3000)) << "the dialog is not in front";
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitClosed(dialog)) << "Enter did not act as OK";
    EXPECT_TRUE(RewrittenOnce(installed)) << "OK on an unchanged dialog rebuilds the wallpaper";
    EXPECT_EQ(4u, SettingOr("SelectedMoon", 99));
    ExpectWallpaperOf(4, false);
    ExitProgram(tray);
}

TEST_F(SettingsDialogEndToEnd, PinnedIndexOutsideTheCatalogueShowsNothingAndIsKept) {
    const HWND tray = Start(9);
    ASSERT_TRUE(tray);
    const HWND dialog = OpenDialog(tray);
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(IsChecked(dialog, kChooseMoon));
    EXPECT_EQ(LB_ERR, ListSelection(dialog));
    EXPECT_EQ("", ControlText(dialog, kDescription));
    const ScreenCapture preview = CaptureClient(GetDlgItem(dialog, kPreview));
    ASSERT_FALSE(preview.pixels.empty());
    for (DWORD pixel : preview.pixels)
        ASSERT_EQ(0u, pixel) << "a preview without an entry is black";

    Click(dialog, kAnnotated);
    Click(dialog, kApply);
    EXPECT_EQ("Close", ControlText(dialog, IDCANCEL));
    EXPECT_EQ(1u, SettingOr("Annotate", 99));
    EXPECT_EQ(1u, SettingOr("MoonType", 99));
    EXPECT_EQ(9u, SettingOr("SelectedMoon", 99)) << "no index outside the list is stored";
    ExitProgram(tray, dialog);
}

}  // namespace
