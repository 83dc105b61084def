#include <gtest/gtest.h>

#include <windows.h>

#include <utility>
#include <string>

#include "app/app_messages.h"
#include "tests/e2e/quellwick_session.h"
#include "tests/wallpaper/wallpaper_test_support.h"

using namespace e2e;
using namespace wallpaper_test;
using Gdiplus::ARGB;

namespace {

constexpr int kViewFullscreen = 1007;
constexpr int kCancel = 2;

bool Near(DWORD actual, ARGB expected) {
    for (int shift = 0; shift <= 16; shift += 8) {
        const int a = static_cast<int>((actual >> shift) & 0xFF);
        const int e = static_cast<int>((expected >> shift) & 0xFF);
        if (a - e > 24 || e - a > 24)
            return false;
    }
    return true;
}

// Black outside the capture, which is empty while a window is not on the screen.
DWORD At(const ScreenCapture& capture, int x, int y) {
    if (x < 0 || y < 0 || x >= capture.width || y >= capture.height ||
        capture.pixels.size() != static_cast<size_t>(capture.width) * static_cast<size_t>(capture.height)) {
        return 0;
    }
    return capture.pixels[static_cast<size_t>(y * capture.width + x)];
}

// How wide the picture is drawn: the run of non-black pixels across the middle row.
int DrawnWidth(const ScreenCapture& capture) {
    int width = 0;
    for (int x = 0; x < capture.width; ++x) {
        if ((At(capture, x, capture.height / 2) & 0xFFFFFF) > 0x101010)
            ++width;
    }
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

        program.reset(new CQuellwickProcess(layout.ProgramPath()));
        const HWND tray = program->WaitForTrayWindow(10000);
        ASSERT_TRUE(tray) << "the hidden window did not appear";
        PostMessageA(tray, WM_TRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
        ASSERT_TRUE(WaitFor(
            [&] {
                dialog = FindProcessWindow(program->Id(), "#32770", "Quellwick");
                return dialog && IsWindowVisible(dialog);
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

    // The pane's client area as the screen shows it, without its edge and scroll bars.
    static ScreenCapture Pane(HWND frame) {
        const HWND view = View(frame);
        if (!view)
            return ScreenCapture();
        const ScreenCapture whole = CaptureWindow(view);
        RECT window;
        RECT client;
        GetWindowRect(view, &window);
        GetClientRect(view, &client);
        POINT origin = {0, 0};
        ClientToScreen(view, &origin);
        ScreenCapture inner;
        inner.width = client.right;
        inner.height = client.bottom;
        for (int y = 0; y < inner.height; ++y) {
            for (int x = 0; x < inner.width; ++x)
                inner.pixels.push_back(At(whole, x + origin.x - window.left, y + origin.y - window.top));
        }
        return inner;
    }

    // What the pane shows once it has stopped changing.
    static ScreenCapture Settled(HWND frame) {
        ScreenCapture last = Pane(frame);
        WaitFor(
            [&] {
                Sleep(250);
                ScreenCapture now = Pane(frame);
                const bool same = now.pixels == last.pixels;
                last = std::move(now);
                return same;
            },
            8000);
        return last;
    }

    // Types keys and lets the viewer handle them and repaint.
    static ScreenCapture AfterKey(HWND frame, WORD key, int times = 1) {
        for (int i = 0; i < times; ++i)
            PressKey(key);
        Sleep(300);
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

    // Moves the pointer with real input, as a mouse does.
    static void MoveTo(int x, int y) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dx = (x * 65536 + kDesktopWidth / 2) / kDesktopWidth;
        input.mi.dy = (y * 65536 + kDesktopHeight / 2) / kDesktopHeight;
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &input, sizeof(input));
        Sleep(150);
    }

    static void Button(bool down) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
        SendInput(1, &input, sizeof(input));
        Sleep(150);
    }

    // Clicks a tool button; with `slide`, the pointer leaves the button before the release.
    static void ClickButton(HWND frame, int position, bool slide) {
        RECT bar;
        GetWindowRect(Toolbar(frame), &bar);
        const int x = bar.left + 2 + 25 * position + 10;
        const int y = bar.top + 12;
        MoveTo(x, y + 1);
        MoveTo(x, y);
        Button(true);
        if (slide) {
            MoveTo(x - 5, y + 15);
            MoveTo(x - 10, y + 60);
        }
        Button(false);
        MoveTo(x - 300, y + 300);
        Settled(frame);
    }

    // Which entry the pane shows, from the colours a quarter and three quarters across.
    static int ShownEntry(HWND frame) {
        const ScreenCapture pane = Settled(frame);
        const int y = pane.height / 2;
        for (int i = 0; i < kEntryCount; ++i) {
            if (Near(At(pane, pane.width / 2 - 40, y), kLeftColours[i]) &&
                Near(At(pane, pane.width / 2 + 40, y), kRightColours[i])) {
                return i;
            }
        }
        return -1;
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
    EXPECT_EQ(0, rect.left);
    EXPECT_EQ(0, rect.top);
    EXPECT_EQ(kDesktopWidth, rect.right);
    EXPECT_EQ(kDesktopHeight, rect.bottom);
    RECT bar;
    GetWindowRect(Toolbar(frame), &bar);
    EXPECT_EQ(202, bar.right - bar.left);
    EXPECT_EQ(25, bar.bottom - bar.top);
    EXPECT_EQ(kDesktopWidth - 202 - GetSystemMetrics(SM_CXVSCROLL), bar.left);
    EXPECT_EQ(2, bar.top);
    EXPECT_EQ(1, ShownEntry(frame));

    // Best fit: the whole picture, as wide as the pane's height allows.
    const int fit = DrawnWidth(Pane(frame));
    EXPECT_GT(fit, kEntryWidth * 3);
    EXPECT_LT(fit, Pane(frame).width);
    // Out: a smaller picture; in twice from there: larger than the pane, with scroll bars.
    const int smaller = DrawnWidth(AfterKey(frame, VK_OEM_MINUS));
    EXPECT_LT(smaller, fit);
    AfterKey(frame, VK_OEM_PLUS);
    const ScreenCapture larger = AfterKey(frame, VK_OEM_PLUS);
    EXPECT_EQ(larger.width, DrawnWidth(larger)) << "the picture fills the pane";
    EXPECT_TRUE(GetWindowLongPtrA(View(frame), GWL_STYLE) & WS_HSCROLL);

    // The smallest zoom draws the picture 300 * 0.14 = 42 pixels wide, and stays there.
    EXPECT_NEAR(42, DrawnWidth(AfterKey(frame, VK_OEM_MINUS, 14)), 1);
    EXPECT_NEAR(42, DrawnWidth(AfterKey(frame, VK_OEM_MINUS)), 1);
    // The largest is 7.00: from the smallest that is twelve steps, and a thirteenth changes
    // nothing.
    const ScreenCapture top = AfterKey(frame, VK_OEM_PLUS, 12);
    const ScreenCapture still = AfterKey(frame, VK_OEM_PLUS);
    EXPECT_EQ(top.pixels, still.pixels);
    EXPECT_TRUE(GetWindowLongPtrA(View(frame), GWL_STYLE) & WS_VSCROLL);
}

TEST_F(ViewerEndToEnd, ButtonsStepThroughThePhasesSkippingTheLastEntry) {
    StartWithDialog(3);
    const HWND frame = OpenViewer();
    ASSERT_TRUE(frame);
    EXPECT_EQ(3, ShownEntry(frame));
    // Next (second button) wraps past the last entry to the first.
    ClickButton(frame, 1, false);
    EXPECT_EQ(0, ShownEntry(frame));
    // Previous (first button) goes back to the last but one.
    ClickButton(frame, 0, false);
    EXPECT_EQ(3, ShownEntry(frame));
    // Pressed, slid off and released elsewhere: nothing happens.
    ClickButton(frame, 1, true);
    EXPECT_EQ(3, ShownEntry(frame));
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
    EXPECT_EQ(2, ShownEntry(second));
    // Closing the dialog closes the viewer with it.
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(kCancel, BN_CLICKED), 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(second) && !IsWindow(dialog); }, 5000));
    EXPECT_TRUE(program->WaitForTrayWindow(1000)) << "the program goes on";
}

}  // namespace
