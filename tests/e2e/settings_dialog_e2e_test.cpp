// The staged program's settings dialog, and the viewer it opens, driven as a user would.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "resources/app_messages.h"
#include "tests/common/win_test_support.h"
#include "win/ansi_text_win.h"

using namespace wintest;

namespace {

// Control ids as the dialog template publishes them, written out rather than taken from
// the program's resource header, so that an id changed in the program fails these tests.
constexpr int kMoonList = 1001;
constexpr int kCurrentTime = 1002;
constexpr int kChooseMoon = 1003;
constexpr int kPreview = 1005;
constexpr int kAnnotated = 1006;
constexpr int kViewFullscreen = 1007;
constexpr int kDescription = 1010;
constexpr int kApply = 12321;

// The third entry has no title and is listed by its file name.
std::string Title(int i) {
    return i == 2 ? "" : "Moon number " + std::to_string(i);
}

std::string Description(int i) {
    return "Description of picture " + std::to_string(i) + ".\r\nSecond line.";
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

// Clicks a line of the list with the mouse, scrolling it into view first, and waits for
// the list to report the change (it does when the button comes up).
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
    ASSERT_TRUE(WaitFor([&] { return ListSelection(dialog) == line && IsEnabled(dialog, kApply); }))
        << "the click did not select line " << line;
}

// Whether the wallpaper file is written once after `before`, and not again.
bool RewrittenOnce(const FILETIME& before) {
    if (!WallpaperRewritten(before))
        return false;
    const FILETIME written = LastWriteTime(WindowsWallpaperPath());
    Sleep(2000);
    const FILETIME later = LastWriteTime(WindowsWallpaperPath());
    EXPECT_EQ(0, CompareFileTime(&written, &later)) << "the wallpaper was written more than once";
    return true;
}

void ExpectNotRewritten(const FILETIME& before) {
    Sleep(1500);
    const FILETIME now = LastWriteTime(WindowsWallpaperPath());
    EXPECT_EQ(0, CompareFileTime(&before, &now)) << "the wallpaper was rewritten";
}

// The middle of the wallpaper: the overlay's block when annotated, otherwise where the
// picture's two halves meet.
void ExpectWallpaperOf(int entry, bool annotated) {
    const GdipBitmapPtr bitmap = OpenBitmap(WindowsWallpaperPath());
    ASSERT_TRUE(bitmap);
    const SIZE size = ImagePixelSize(bitmap.get());
    const int x = size.cx / 2, y = size.cy / 2;
    EXPECT_TRUE(ColourNear(PixelAt(bitmap.get(), x - 40, y), annotated ? kOverlayGreen : kLeftColours[entry]));
    EXPECT_TRUE(ColourNear(PixelAt(bitmap.get(), x + 40, y), annotated ? kOverlayGreen : kRightColours[entry]));
    EXPECT_TRUE(ColourNear(PixelAt(bitmap.get(), x - 300, y), kLeftColours[entry]));
}

// The 300 x 200 picture stretched to the 128 x 128 square at the top left, black elsewhere.
void ExpectPreviewOf(HWND dialog, int entry) {
    const PixelCapture preview = CaptureScreen(GetDlgItem(dialog, kPreview), true);
    ASSERT_TRUE(preview.width >= 128 && preview.height >= 120);
    for (const int y : {4, 60, 118}) {
        for (const int x : {8, 56, 72, 120})
            EXPECT_TRUE(ColourNear(preview.At(x, y), x < 64 ? kLeftColours[entry] : kRightColours[entry]))
                << x << "," << y;
    }
    int outside = 0;
    for (int y = 0; y < preview.height; ++y) {
        for (int x = 0; x < preview.width; ++x)
            outside += (x >= 128 || y >= 128) && preview.At(x, y) != 0xFF000000 ? 1 : 0;
    }
    EXPECT_EQ(0, outside) << "pixels beside or below the preview are not black";
}

// The viewer's picture pane, once it has stopped changing.
HWND Pane(HWND frame) {
    return FindWindowExA(frame, nullptr, "QuellwickMoonView", nullptr);
}

PixelCapture Settled(HWND frame) {
    PixelCapture last = CaptureScreen(Pane(frame), true);
    WaitFor([&] {
        Sleep(250);
        PixelCapture now = CaptureScreen(Pane(frame), true);
        const bool same = now.pixels == last.pixels;
        last = std::move(now);
        return same;
    });
    return last;
}

// Which entry the pane shows, from the colours either side of its middle.
int ShownEntry(HWND frame) {
    const PixelCapture pane = Settled(frame);
    for (int i = 0; i < kEntryCount; ++i) {
        if (ColourNear(pane.At(pane.width / 2 - 40, pane.height / 2), kLeftColours[i], 24) &&
            ColourNear(pane.At(pane.width / 2 + 40, pane.height / 2), kRightColours[i], 24))
            return i;
    }
    return -1;
}

class SettingsDialogEndToEnd : public ProgramTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(ProgramTest::SetUp());
        ASSERT_TRUE(WriteColourCatalogue(program, Title, [](int i) {
            return "Description of picture " + std::to_string(i) + ".&lt;br&gt;Second line.";
        }));
    }

    // Starts the program, with entry `pinned` chosen unless it is negative, and waits for
    // its first wallpaper.
    HWND Start(int pinned = -1) {
        if (pinned >= 0) {
            EXPECT_TRUE(WriteSetting("MoonType", 1) && WriteSetting("SelectedMoon", static_cast<DWORD>(pinned)));
        }
        const HWND tray = program.Start();
        EXPECT_TRUE(tray) << "the hidden window did not appear";
        EXPECT_TRUE(WaitFor([] { return LastWriteTime(WindowsWallpaperPath()).dwLowDateTime != 0; }))
            << "no first wallpaper";
        Sleep(500);  // the desktop settles on the new wallpaper
        return tray;
    }

    // Closes the program from its icon's window and expects a clean end; a dialog still
    // open, when given, has to close with it.
    void ExitProgram(HWND tray, HWND openDialog = nullptr) {
        PostMessageA(tray, WM_CLOSE, 0, 0);
        if (openDialog) {
            EXPECT_TRUE(WaitFor([&] { return !IsWindow(openDialog); }));
        }
        EXPECT_EQ(0u, program.WaitExit());
    }

    // Double-clicks the icon and waits for a dialog other than `previous` to show.
    HWND OpenDialog(HWND tray, HWND previous = nullptr) {
        PostMessageA(tray, WM_TRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
        const HWND dialog = program.WaitWindow("#32770", "Quellwick", previous);
        Sleep(500);  // let it paint
        return dialog;
    }

    // Presses "View Fullscreen" and waits for the viewer to show its picture.
    HWND OpenViewer(HWND dialog) {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(kViewFullscreen, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, kViewFullscreen)));
        HWND frame = nullptr;
        WaitFor([&] {
            frame = program.FindWindowOf("QuellwickViewerFrame", "QuellwickViewerWindow");
            return frame && IsWindowVisible(frame) && Pane(frame) && ShownEntry(frame) >= 0;
        });
        Sleep(300);
        return frame;
    }
};

TEST_F(SettingsDialogEndToEnd, CurrentTimeModeShowsThePresentMoonInAOneAndOnlyDialog) {
    const int current = CurrentMoonIndex(program);
    ASSERT_GE(current, 0);
    ASSERT_TRUE(WriteSetting("SelectedMoon", current == 0 ? 1 : 0));
    const HWND tray = Start();
    ASSERT_TRUE(tray);

    // A single click opens nothing.
    PostMessageA(tray, WM_TRAYNOTIFY, 0, WM_LBUTTONUP);
    Sleep(700);
    EXPECT_TRUE(program.Windows("#32770", "Quellwick").empty());

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
        EXPECT_EQ(i == 2 ? "moon_2.png" : Title(i), ListLine(dialog, i)) << i;
    EXPECT_FALSE(GetWindow(dialog, GW_OWNER)) << "the dialog belongs to no window";
    RECT workArea = {}, rect = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    GetWindowRect(dialog, &rect);
    EXPECT_NEAR((workArea.left + workArea.right) / 2, (rect.left + rect.right) / 2, 1) << "centred";
    EXPECT_NEAR((workArea.top + workArea.bottom) / 2, (rect.top + rect.bottom) / 2, 1);
    ExpectPreviewOf(dialog, current);

    // Opening again brings the same dialog forward.
    EXPECT_EQ(dialog, OpenDialog(tray));
    EXPECT_EQ(1u, program.Windows("#32770", "Quellwick").size());

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
    EXPECT_EQ(1u, program.Windows("#32770", "Quellwick").size());
    Click(reopened, kCurrentTime);
    Click(reopened, kApply);
    EXPECT_EQ(0u, SettingOr("MoonType", 99)) << "the reopened dialog works";

    // Exit from the tray closes the dialog and ends the program cleanly.
    ExitProgram(tray, reopened);
}

// One run: the pinned choice shown, the viewer opened from it, then a new choice applied
// once, and the ways of closing the dialog.
TEST_F(SettingsDialogEndToEnd, PinnedChoiceItsViewerAndApplyingOnce) {
    const HWND tray = Start(3);
    ASSERT_TRUE(tray);
    HWND dialog = OpenDialog(tray);
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(IsChecked(dialog, kChooseMoon));
    EXPECT_FALSE(IsChecked(dialog, kCurrentTime));
    EXPECT_TRUE(IsEnabled(dialog, kMoonList) && IsEnabled(dialog, kPreview));
    EXPECT_EQ(3, ListSelection(dialog));
    EXPECT_EQ(Description(3), ControlText(dialog, kDescription));
    ExpectPreviewOf(dialog, 3);

    // The viewer covers the screen, its tool bar (202 x 25) at the top right beside where
    // the vertical scroll bar appears; it shows the dialog's entry and takes the keyboard.
    HWND frame = OpenViewer(dialog);
    ASSERT_TRUE(frame) << "no viewer after View Fullscreen";
    RECT rect;
    GetWindowRect(frame, &rect);
    EXPECT_TRUE(rect.left == 0 && rect.top == 0 && rect.right == kDesktopWidth && rect.bottom == kDesktopHeight);
    const LONG right = kDesktopWidth - GetSystemMetrics(SM_CXVSCROLL);
    GetWindowRect(FindWindowExA(nullptr, nullptr, "QuellwickViewerToolbar", nullptr), &rect);
    EXPECT_TRUE(rect.left == right - 202 && rect.top == 2 && rect.right == right && rect.bottom == 27);
    EXPECT_EQ(3, ShownEntry(frame));
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(frame); })) << "Esc did not close the viewer";
    EXPECT_TRUE(IsWindow(dialog));
    frame = OpenViewer(dialog);
    ASSERT_TRUE(frame) << "no new viewer after the first one closed";
    EXPECT_EQ(3, ShownEntry(frame));
    // Closing the dialog closes the viewer with it; the program goes on.
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(frame) && !IsWindow(dialog); }));
    EXPECT_EQ(static_cast<DWORD>(STILL_ACTIVE), program.WaitExit(0));

    dialog = OpenDialog(tray, dialog);
    ASSERT_TRUE(dialog);
    ASSERT_NO_FATAL_FAILURE(ClickListLine(dialog, 1));
    EXPECT_TRUE(WaitFor([&] { return ControlText(dialog, kDescription) == Description(1); }));
    EXPECT_EQ("Cancel", ControlText(dialog, IDCANCEL));
    Sleep(300);
    ExpectPreviewOf(dialog, 1);
    EXPECT_EQ(3u, SettingOr("SelectedMoon", 99)) << "nothing is stored before Apply";
    FILETIME before = LastWriteTime(WindowsWallpaperPath());
    Click(dialog, kApply);
    EXPECT_TRUE(SettingOr("MoonType", 99) == 1 && SettingOr("SelectedMoon", 99) == 1 && SettingOr("Annotate", 99) == 0);
    EXPECT_TRUE(RewrittenOnce(before)) << "Apply did not rebuild the wallpaper";
    ExpectWallpaperOf(1, false);
    EXPECT_FALSE(IsEnabled(dialog, kApply));
    EXPECT_EQ("Close", ControlText(dialog, IDCANCEL));
    // Annotating makes the choice new again; Apply then writes it with the overlay.
    Click(dialog, kAnnotated);
    EXPECT_TRUE(IsEnabled(dialog, kApply));
    EXPECT_EQ("Cancel", ControlText(dialog, IDCANCEL));
    before = LastWriteTime(WindowsWallpaperPath());
    Click(dialog, kApply);
    EXPECT_EQ(1u, SettingOr("Annotate", 99));
    EXPECT_TRUE(RewrittenOnce(before));
    ExpectWallpaperOf(1, true);
    // OK after Apply only closes.
    before = LastWriteTime(WindowsWallpaperPath());
    Click(dialog, IDOK);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    ExpectNotRewritten(before);

    // Escape and the close box cancel a change; Enter right after opening is OK, which
    // applies the unchanged choice once.
    for (const bool escape : {true, false}) {
        dialog = OpenDialog(tray, dialog);
        ASSERT_TRUE(dialog);
        ASSERT_NO_FATAL_FAILURE(ClickListLine(dialog, 2));
        if (escape) {
            ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == dialog; }));
            PressKey(VK_ESCAPE);
        } else {
            PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); })) << (escape ? "Esc" : "the close box");
        EXPECT_EQ(1u, SettingOr("SelectedMoon", 99));
    }
    ExpectNotRewritten(before);
    dialog = OpenDialog(tray, dialog);
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == dialog; })) << "the dialog is not in front";
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); })) << "Enter did not act as OK";
    EXPECT_TRUE(RewrittenOnce(before)) << "OK on an unchanged dialog rebuilds the wallpaper";
    EXPECT_EQ(1u, SettingOr("SelectedMoon", 99));
    ExpectWallpaperOf(1, true);
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
    const PixelCapture preview = CaptureScreen(GetDlgItem(dialog, kPreview), true);
    ASSERT_FALSE(preview.pixels.empty());
    for (DWORD pixel : preview.pixels)
        ASSERT_EQ(0u, pixel) << "a preview without an entry is black";
    Click(dialog, kAnnotated);
    Click(dialog, kApply);
    EXPECT_EQ("Close", ControlText(dialog, IDCANCEL));
    EXPECT_TRUE(SettingOr("Annotate", 99) == 1 && SettingOr("MoonType", 99) == 1);
    EXPECT_EQ(9u, SettingOr("SelectedMoon", 99)) << "no index outside the list is stored";
    ExitProgram(tray, dialog);
}

}  // namespace
