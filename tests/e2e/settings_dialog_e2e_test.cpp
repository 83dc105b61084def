// The staged program's settings dialog, and the viewer it opens, driven as a user would.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <string>
#include <utility>

#include "resources/app_messages.h"
#include "tests/common/win_test_support.h"
#include "wallpaper/wallpaper_fit.h"
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
constexpr int kPlace = 1013;
constexpr int kChangePlace = 1014;
constexpr int kPlaceSearch = 1020;
constexpr int kPlaceList = 1021;
constexpr int kLatitude = 1022;
constexpr int kLongitude = 1023;
constexpr int kLiveMoon = 1017;

std::string ControlText(HWND dialog, int id) {
    return WindowTextOf(GetDlgItem(dialog, id));
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

// Selects a line of the list as a click does: the list tells the dialog of the change.
void SelectLine(HWND dialog, int line) {
    const HWND list = GetDlgItem(dialog, kMoonList);
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(line), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kMoonList, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
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

// The 300 x 200 picture stretched to the 128 x 128 square at the top left.
void ExpectPreviewOf(HWND dialog, int entry) {
    const PixelCapture preview = CaptureScreen(GetDlgItem(dialog, kPreview), true);
    ASSERT_TRUE(preview.width >= 128 && preview.height >= 120);
    for (const int y : {4, 60, 118}) {
        for (const int x : {8, 56, 72, 120})
            EXPECT_TRUE(ColourNear(preview.At(x, y), x < 64 ? kLeftColours[entry] : kRightColours[entry]))
                << x << "," << y;
    }
}

// The viewer's picture pane.
HWND Pane(HWND frame) {
    return FindWindowExA(frame, nullptr, "QuellwickMoonView", nullptr);
}

// Which entry the pane shows, from the colours either side of its middle.
int ShownEntry(HWND frame) {
    const PixelCapture pane = CaptureScreen(Pane(frame), true);
    for (int i = 0; i < kEntryCount; ++i) {
        if (ColourNear(pane.At(pane.width / 2 - 40, pane.height / 2), kLeftColours[i], 24) &&
            ColourNear(pane.At(pane.width / 2 + 40, pane.height / 2), kRightColours[i], 24))
            return i;
    }
    return -1;
}

class SettingsDialogEndToEnd : public ProgramTest {
protected:
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

// One run: the present moment's entry in a one and only dialog, then pinned, the viewer
// opened from the pinned choice, a new choice applied once, and the ways of closing.
TEST_F(SettingsDialogEndToEnd, FromThePresentMomentToAPinnedChoiceItsViewerAndApplyingOnce) {
    ASSERT_TRUE(WriteColourCatalogue(program));
    const int current = CurrentMoonIndex(program);
    ASSERT_GE(current, 0);
    const int other = (current + 1) % kEntryCount;
    ASSERT_TRUE(WriteSetting("SelectedMoon", static_cast<DWORD>(other)));
    const HWND tray = program.Start();
    ASSERT_TRUE(tray) << "the hidden window did not appear";
    EXPECT_TRUE(WaitFor([] { return LastWriteTime(WindowsWallpaperPath()).dwLowDateTime != 0; }))
        << "no first wallpaper";
    Sleep(500);  // the desktop settles on the new wallpaper

    // A single click opens nothing.
    PostMessageA(tray, WM_TRAYNOTIFY, 0, WM_LBUTTONUP);
    Sleep(700);
    EXPECT_TRUE(program.Windows("#32770", "Quellwick").empty());

    HWND dialog = OpenDialog(tray);
    ASSERT_TRUE(dialog) << "the double click opened no dialog";
    EXPECT_TRUE(IsChecked(dialog, kCurrentTime));
    EXPECT_FALSE(IsChecked(dialog, kChooseMoon) || IsChecked(dialog, kAnnotated));
    EXPECT_FALSE(IsEnabled(dialog, kMoonList) || IsEnabled(dialog, kPreview) || IsEnabled(dialog, kApply));
    EXPECT_EQ(current, ListSelection(dialog)) << "the list shows the present moment's line";
    EXPECT_EQ("Cancel", ControlText(dialog, IDCANCEL));
    EXPECT_EQ(ColourEntryDescription(current), ControlText(dialog, kDescription));
    ASSERT_EQ(kEntryCount, SendMessageA(GetDlgItem(dialog, kMoonList), LB_GETCOUNT, 0, 0));
    ExpectPreviewOf(dialog, current);

    // Opening again brings the same dialog forward.
    EXPECT_EQ(dialog, OpenDialog(tray));
    EXPECT_EQ(1u, program.Windows("#32770", "Quellwick").size());

    // Choosing now pins the present moment's entry, which the dialog then opens with.
    Click(dialog, kChooseMoon);
    EXPECT_TRUE(IsEnabled(dialog, kMoonList) && IsEnabled(dialog, kPreview) && IsEnabled(dialog, kApply));
    Click(dialog, kApply);
    EXPECT_EQ(1u, SettingOr("MoonType", 99));
    EXPECT_EQ(static_cast<DWORD>(current), SettingOr("SelectedMoon", 99));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    dialog = OpenDialog(tray, dialog);
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(IsChecked(dialog, kChooseMoon));
    EXPECT_TRUE(IsEnabled(dialog, kMoonList) && IsEnabled(dialog, kPreview));
    EXPECT_EQ(current, ListSelection(dialog));

    // The viewer shows the dialog's entry and takes the keyboard; a second one opens once
    // the first has closed.
    HWND frame = OpenViewer(dialog);
    ASSERT_TRUE(frame) << "no viewer after View Fullscreen";
    EXPECT_EQ(current, ShownEntry(frame));
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(frame); })) << "Esc did not close the viewer";
    frame = OpenViewer(dialog);
    ASSERT_TRUE(frame) << "no new viewer after the first one closed";
    // Closed from outside (Alt+F4 or the task bar's Close), it can be opened again.
    PostMessageA(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(frame); })) << "Alt+F4 did not close the viewer";
    frame = OpenViewer(dialog);
    ASSERT_TRUE(frame) << "View Fullscreen does nothing after the viewer was closed from outside";
    // Closing the dialog closes the viewer with it; the program goes on.
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(frame) && !IsWindow(dialog); }));
    EXPECT_EQ(static_cast<DWORD>(STILL_ACTIVE), program.WaitExit(0));

    dialog = OpenDialog(tray, dialog);
    ASSERT_TRUE(dialog);
    SelectLine(dialog, other);
    EXPECT_TRUE(WaitFor([&] { return ControlText(dialog, kDescription) == ColourEntryDescription(other); }));
    EXPECT_EQ("Cancel", ControlText(dialog, IDCANCEL));
    Sleep(300);
    ExpectPreviewOf(dialog, other);
    EXPECT_EQ(static_cast<DWORD>(current), SettingOr("SelectedMoon", 99)) << "nothing is stored before Apply";
    FILETIME before = LastWriteTime(WindowsWallpaperPath());
    Click(dialog, kApply);
    EXPECT_TRUE(SettingOr("MoonType", 99) == 1 && SettingOr("SelectedMoon", 99) == static_cast<DWORD>(other) &&
                SettingOr("Annotate", 99) == 0);
    EXPECT_TRUE(RewrittenOnce(before)) << "Apply did not rebuild the wallpaper";
    ExpectWallpaper(other, false);
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
    ExpectWallpaper(other, true);
    // OK after Apply only closes.
    before = LastWriteTime(WindowsWallpaperPath());
    Click(dialog, IDOK);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    ExpectNotRewritten(before);

    // The close box cancels a change; Enter right after opening is OK, which applies the
    // unchanged choice once.
    dialog = OpenDialog(tray, dialog);
    ASSERT_TRUE(dialog);
    SelectLine(dialog, (current + 2) % kEntryCount);
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); })) << "the close box did not close the dialog";
    EXPECT_EQ(static_cast<DWORD>(other), SettingOr("SelectedMoon", 99));
    ExpectNotRewritten(before);
    dialog = OpenDialog(tray, dialog);
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == dialog; })) << "the dialog is not in front";
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); })) << "Enter did not act as OK";
    EXPECT_TRUE(RewrittenOnce(before)) << "OK on an unchanged dialog rebuilds the wallpaper";
    EXPECT_EQ(static_cast<DWORD>(other), SettingOr("SelectedMoon", 99));
    ExpectWallpaper(other, true);

    // Exit from the tray closes an open dialog and ends the program cleanly.
    dialog = OpenDialog(tray, dialog);
    ASSERT_TRUE(dialog);
    PostMessageA(tray, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    EXPECT_EQ(0u, program.WaitExit());
}

// Run in two zones, each with a country of its own (tests/CMakeLists.txt): the place that
// the dialog shows until the user chooses one, then the choices of "Change...", the values
// it refuses, what it stores, and that a chosen place stays when the country changes.
TEST_F(SettingsDialogEndToEnd, PlaceFollowsTheZoneAndCountryUntilChosen) {
    const struct {
        const char* zone;
        GEOID nation;
        const char* place;
    } zones[] = {{"Europe/Oslo", 177, "Your place: Oslo (59.9\xB0 N, 10.8\xB0 E)"},
                 {"Australia/Sydney", 12, "Your place: Sydney (33.9\xB0 S, 151.2\xB0 E)"}};
    const char* tz = std::getenv("TZ");
    const auto* zone = std::find_if(std::begin(zones), std::end(zones),
                                    [&](const auto& z) { return tz && std::string(tz) == z.zone; });
    if (zone == std::end(zones))
        GTEST_SKIP() << "run with TZ set to one of the zones";
    const struct CNationKeeper {
        GEOID nation = GetUserGeoID(GEOCLASS_NATION);
        ~CNationKeeper() { SetUserGeoID(nation); }
    } keeper;
    ASSERT_TRUE(SetUserGeoID(zone->nation));
    ASSERT_TRUE(WriteColourCatalogue(program));
    HWND dialog = OpenDialog(program.Start());
    ASSERT_TRUE(dialog);
    EXPECT_EQ(zone->place, ControlText(dialog, kPlace));

    // Returns the "Change..." dialog's window once it shows.
    const auto openChange = [&] {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(kChangePlace, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, kChangePlace)));
        return program.WaitWindow("#32770", "Your place");
    };
    const auto pressOK = [](HWND window) { PostMessageA(window, WM_COMMAND, IDOK, 0); };
    HWND change = openChange();
    ASSERT_TRUE(change);
    const struct {
        const char *latitude, *longitude, *problem;
    } refused[] = {
        {"90.5", "0", "The latitude must be a number of degrees from -90 to 90, negative south of the equator."},
        {"45N", "0", "The latitude must be a number of degrees from -90 to 90, negative south of the equator."},
        {"-90", "-181", "The longitude must be a number of degrees from -180 to 180, negative west of Greenwich."},
    };
    for (const auto& r : refused) {
        SetDlgItemTextA(change, kLatitude, r.latitude);
        SetDlgItemTextA(change, kLongitude, r.longitude);
        pressOK(change);
        const HWND box = program.WaitWindow("#32770", "Your place", change);
        ASSERT_TRUE(box) << "no message for " << r.latitude << ", " << r.longitude;
        EXPECT_EQ(r.problem, WindowTextOf(GetDlgItem(box, 0xFFFF)));
        pressOK(box);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(box); }));
        EXPECT_TRUE(IsWindow(change)) << "the dialog closed on " << r.latitude << ", " << r.longitude;
    }
    EXPECT_EQ("<missing>", ReadUserString("Software\\Quellwick", "Latitude"));

    // A search that leaves one place shows it, and OK chooses it.
    SetDlgItemTextA(change, kPlaceSearch, "YEARB");
    EXPECT_EQ(1, SendMessageA(GetDlgItem(change, kPlaceList), LB_GETCOUNT, 0, 0));
    EXPECT_EQ("78", ControlText(change, kLatitude));
    pressOK(change);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(change); }));
    EXPECT_EQ("Your place: Longyearbyen (78.0\xB0 N, 16.0\xB0 E)", ControlText(dialog, kPlace));
    EXPECT_EQ("Longyearbyen", ReadUserString("Software\\Quellwick", "Place"));

    // Coordinates of the user's own, with a decimal comma, make a place without a name,
    // stored with decimal points.
    change = openChange();
    ASSERT_TRUE(change);
    SetDlgItemTextA(change, kLatitude, "-33,5");
    SetDlgItemTextA(change, kLongitude, " 151.2 ");
    pressOK(change);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(change); }));
    for (const auto& value :
         {std::pair<const char*, const char*>{"Place", ""}, {"Latitude", "-33.5"}, {"Longitude", "151.2"}})
        EXPECT_EQ(value.second, ReadUserString("Software\\Quellwick", value.first)) << value.first;
    program.Kill();
    ASSERT_TRUE(SetUserGeoID(122));  // Japan
    dialog = OpenDialog(program.Start());
    ASSERT_TRUE(dialog);
    EXPECT_EQ("Your place: 33.5\xB0 S, 151.2\xB0 E", ControlText(dialog, kPlace));
}

// The live Moon: black where the fitted 2048 x 2048 square has no disc (a catalogue picture
// fills its square), grey at the disc's middle.
void ExpectLiveWallpaper() {
    GdipBitmapPtr bitmap;
    ASSERT_TRUE(WaitFor([&] { return (bitmap = OpenBitmap(WindowsWallpaperPath())) != nullptr; }));
    const FitRect fit = ComputeFit(kDesktopWidth, kDesktopHeight, 2048, 2048);
    EXPECT_TRUE(ColourNear(PixelAt(bitmap.get(), static_cast<int>(fit.x) + 8, 8), 0xFF000000))
        << "not black outside the disc";
    const Gdiplus::ARGB middle = PixelAt(bitmap.get(), kDesktopWidth / 2, kDesktopHeight / 2);
    const int red = (middle >> 16) & 0xFF, green = (middle >> 8) & 0xFF, blue = middle & 0xFF;
    EXPECT_TRUE(std::abs(red - green) < 12 && std::abs(green - blue) < 12) << std::hex << middle;
}

// The live Moon, chosen in the dialog, replaces the catalogue's picture at once and is drawn
// again after a restart.
TEST_F(SettingsDialogEndToEnd, TheLiveMoonChosenIsDrawnAndSurvivesARestart) {
    ASSERT_TRUE(WriteColourCatalogue(program));
    ASSERT_TRUE(program.CopyStagedData({"moon_albedo.gray", "DejaVuSans.ttf", "DejaVuSans-Bold.ttf"}));
    HWND tray = program.Start();
    ASSERT_TRUE(tray);
    ASSERT_TRUE(WallpaperRewritten(FILETIME{}));
    ExpectWallpaper(CurrentMoonIndex(program), false);
    const HWND dialog = OpenDialog(tray);
    ASSERT_TRUE(dialog);
    const FILETIME before = LastWriteTime(WindowsWallpaperPath());
    Click(dialog, kLiveMoon);
    Click(dialog, IDOK);
    ASSERT_TRUE(WallpaperRewritten(before));
    EXPECT_EQ(1u, SettingOr("LiveMoon", 0));
    ExpectLiveWallpaper();

    program.Kill();
    DeleteFileA(WindowsWallpaperPath().c_str());
    tray = program.Start();
    ASSERT_TRUE(tray && WallpaperRewritten(FILETIME{}));
    ExpectLiveWallpaper();
}

}  // namespace
