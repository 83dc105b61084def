#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <utility>

#include "resources/app_messages.h"
#include "tests/e2e/quellwick_session.h"
#include "tests/wallpaper/wallpaper_test_support.h"

using namespace e2e;

namespace {

// Control ids as the dialog template publishes them, written out rather than taken from
// the program's resource header, so that an id changed in the program fails these tests.
constexpr int kViewFullscreen = 1007;

std::string Text(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " - " + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

// How wide the picture is drawn: the non-black pixels across the middle row.
int DrawnWidth(const ScreenCapture& capture) {
    int width = 0;
    for (int x = 0; x < capture.width; ++x)
        width += (CapturedAt(capture, x, capture.height / 2) & 0xFFFFFF) > 0x101010 ? 1 : 0;
    return width;
}

class ViewerEndToEnd : public QuellwickSessionTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(QuellwickSessionTest::SetUp());
        // The last of the five entries closes the phase scale and is never reached by stepping.
        ASSERT_TRUE(WriteColourCatalogue(
            layout, [](int i) { return "Moon " + std::to_string(i); }, [](int) { return std::string("Moon"); }));
    }

    void TearDown() override {
        program.reset();
        QuellwickSessionTest::TearDown();
    }

    // The program with entry `pinned` chosen in the settings, its dialog open.
    void StartWithDialog(int pinned) {
        ASSERT_TRUE(WriteSettingsDword("MoonType", 1));
        ASSERT_TRUE(WriteSettingsDword("SelectedMoon", static_cast<DWORD>(pinned)));
        program = std::make_unique<CQuellwickProcess>(layout.ProgramPath());
        const HWND tray = program->WaitForTrayWindow(10000);
        ASSERT_TRUE(tray) << "the hidden window did not appear";
        PostMessageA(tray, WM_TRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
        ASSERT_TRUE(WaitFor(
            [&] {
                return (dialog = FindProcessWindow(program->Id(), "#32770", "Quellwick")) && IsWindowVisible(dialog);
            },
            10000))
            << "the settings dialog did not open";
    }

    // Presses "View Fullscreen" and waits for the viewer to show its picture.
    HWND OpenViewer() {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(kViewFullscreen, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, kViewFullscreen)));
        HWND frame = nullptr;
        WaitFor(
            [&] {
                frame = FindProcessWindow(program->Id(), "QuellwickViewerFrame", "QuellwickViewerWindow");
                return frame && IsWindowVisible(frame) && DrawnWidth(Pane(frame)) > 0;
            },
            10000);
        Sleep(300);
        return frame;
    }

    static HWND View(HWND frame) { return FindWindowExA(frame, nullptr, "QuellwickMoonView", nullptr); }
    static ScreenCapture Pane(HWND frame) { return View(frame) ? CaptureClient(View(frame)) : ScreenCapture(); }

    // What the pane shows once it has not changed for a second: an emulated program may
    // pause that long between two keys' paints.
    static ScreenCapture Settled(HWND frame) {
        ScreenCapture last = Pane(frame);
        WaitFor(
            [&] {
                Sleep(1000);
                ScreenCapture now = Pane(frame);
                const bool same = now.pixels == last.pixels;
                last = std::move(now);
                return same;
            },
            8000);
        return last;
    }

    // Presses `key` and returns what the pane shows once it has changed and settled; where
    // nothing should change, after a second in which the program could have changed it.
    // The program paints only once its queue of keys is empty.
    static ScreenCapture AfterKey(HWND frame, WORD key, int times = 1, bool changes = true) {
        const ScreenCapture before = Pane(frame);
        for (int i = 0; i < times; ++i)
            PressKey(key);
        if (changes)
            WaitFor([&] { return Pane(frame).pixels != before.pixels; }, 0);
        else
            Sleep(1000);
        return Settled(frame);
    }

    static HWND Toolbar(HWND frame) {
        HWND found = nullptr;
        WaitFor(
            [&] {
                found = FindWindowExA(nullptr, nullptr, "QuellwickViewerToolbar", nullptr);
                return found && GetWindow(found, GW_OWNER) == frame;
            },
            3000);
        return found;
    }

    // Clicks a tool button with the mouse; with `slide`, the pointer leaves the button
    // before the release.
    static void ClickButton(HWND frame, int position, bool slide) {
        RECT bar;
        GetWindowRect(Toolbar(frame), &bar);
        const int x = bar.left + 2 + 25 * position + 10;
        const int y = bar.top + 12;
        MouseTo(x, y + 1);
        MouseTo(x, y);
        MouseButton(true);
        if (slide) {
            MouseTo(x - 5, y + 15);
            MouseTo(x - 10, y + 60);
        }
        MouseButton(false);
        MouseTo(x - 300, y + 300);
    }

    // Whether the pane shows entry `i` or comes to show it, from the colours either side of
    // its middle.
    static bool Shows(HWND frame, int i) {
        return WaitFor(
            [&] {
                const ScreenCapture pane = Pane(frame);
                return wallpaper_test::ColourNear(CapturedAt(pane, pane.width / 2 - 40, pane.height / 2),
                                                  kLeftColours[i], 24) &&
                       wallpaper_test::ColourNear(CapturedAt(pane, pane.width / 2 + 40, pane.height / 2),
                                                  kRightColours[i], 24);
            },
            0);
    }

    std::unique_ptr<CQuellwickProcess> program;
    HWND dialog = nullptr;
};

TEST_F(ViewerEndToEnd, OpensFullscreenZoomsAndStopsAtTheLimits) {
    StartWithDialog(1);
    const HWND frame = OpenViewer();
    ASSERT_TRUE(frame) << "no viewer after View Fullscreen";
    RECT rect;
    GetWindowRect(frame, &rect);
    const RECT screen = {0, 0, kDesktopWidth, kDesktopHeight};
    EXPECT_TRUE(EqualRect(&screen, &rect)) << Text(rect);
    // 202 x 25 at the top right, beside where the vertical scroll bar appears.
    const LONG right = kDesktopWidth - GetSystemMetrics(SM_CXVSCROLL);
    const RECT expectedBar = {right - 202, 2, right, 27};
    GetWindowRect(Toolbar(frame), &rect);
    EXPECT_TRUE(EqualRect(&expectedBar, &rect)) << Text(rect);
    EXPECT_TRUE(Shows(frame, 1));

    // Best fit: the whole picture, as wide as the pane's height allows.
    const int fit = DrawnWidth(Pane(frame));
    EXPECT_GT(fit, kEntryWidth * 3);
    EXPECT_LT(fit, Pane(frame).width);
    // Out: a smaller picture; in twice from there: larger than the pane, with scroll bars.
    EXPECT_LT(DrawnWidth(AfterKey(frame, VK_OEM_MINUS)), fit);
    const ScreenCapture larger = AfterKey(frame, VK_OEM_PLUS, 2);
    EXPECT_EQ(larger.width, DrawnWidth(larger)) << "the picture fills the pane";
    EXPECT_TRUE(GetWindowLongPtrA(View(frame), GWL_STYLE) & WS_HSCROLL);

    // The smallest zoom draws the picture 300 * 0.14 = 42 pixels wide, and stays there.
    EXPECT_NEAR(42, DrawnWidth(AfterKey(frame, VK_OEM_MINUS, 14)), 1);
    EXPECT_NEAR(42, DrawnWidth(AfterKey(frame, VK_OEM_MINUS, 1, false)), 1);
    // The largest is 7.00, twelve steps up from the smallest; a thirteenth changes nothing.
    const ScreenCapture top = AfterKey(frame, VK_OEM_PLUS, 12);
    EXPECT_EQ(top.pixels, AfterKey(frame, VK_OEM_PLUS, 1, false).pixels);
    EXPECT_TRUE(GetWindowLongPtrA(View(frame), GWL_STYLE) & WS_VSCROLL);
}

TEST_F(ViewerEndToEnd, ButtonsStepThroughThePhasesSkippingTheLastEntry) {
    StartWithDialog(3);
    const HWND frame = OpenViewer();
    ASSERT_TRUE(frame);
    EXPECT_TRUE(Shows(frame, 3));
    ClickButton(frame, 1, false);  // Next wraps past the last entry to the first.
    EXPECT_TRUE(Shows(frame, 0));
    ClickButton(frame, 0, false);  // Previous goes back to the last but one.
    EXPECT_TRUE(Shows(frame, 3));
    ClickButton(frame, 1, true);  // Pressed, slid off and released elsewhere: nothing happens.
    Sleep(1000);
    EXPECT_TRUE(Shows(frame, 3));
    // The keyboard still reaches the viewer after the clicks.
    const int fit = DrawnWidth(Pane(frame));
    EXPECT_LT(DrawnWidth(AfterKey(frame, VK_OEM_MINUS)), fit);
}

TEST_F(ViewerEndToEnd, EscapeClosesItAndTheDialogOpensANewOneAndClosesIt) {
    StartWithDialog(2);
    const HWND frame = OpenViewer();
    ASSERT_TRUE(frame);
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(frame); }, 5000)) << "Esc did not close the viewer";
    EXPECT_TRUE(IsWindow(dialog));

    const HWND second = OpenViewer();
    ASSERT_TRUE(second) << "no new viewer after the first one closed";
    EXPECT_TRUE(Shows(second, 2));
    // Closing the dialog closes the viewer with it.
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(second) && !IsWindow(dialog); }, 5000));
    EXPECT_TRUE(program->WaitForTrayWindow(1000)) << "the program goes on";
}

}  // namespace
