#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/app_messages.h"
#include "resources/resource.h"
#include "tests/viewer/viewer_test_support.h"
#include "tests/wallpaper/wallpaper_test_support.h"
#include "viewer/viewer_commands.h"

using namespace viewer_test;

namespace {

constexpr DWORD kRed = 0xFFD02020;
constexpr DWORD kGreen = 0xFF20C040;
constexpr DWORD kBlue = 0xFF2040E0;
constexpr DWORD kBlack = 0x00000000;

// Distinct colours, one per entry, so the drawn picture tells which entry is shown.
DWORD EntryColour(int index) {
    return 0xFF000000u | static_cast<DWORD>((40 + index * 20) << 16) | static_cast<DWORD>((200 - index * 15) << 8) |
           0x60u;
}

// A colour check that names both colours when it fails.
::testing::AssertionResult Close(DWORD actual, DWORD expected) {
    char text[64];
    snprintf(text, sizeof(text), "drawn %06lx, expected %06lx", static_cast<unsigned long>(actual),
             static_cast<unsigned long>(expected));
    return Near(actual, expected) ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << text;
}

DWORD Rgb(DWORD argb) {
    return argb & 0x00FFFFFF;
}

std::vector<TestEntry> TenEntries() {
    std::vector<TestEntry> entries;
    for (int i = 0; i < 10; ++i) {
        const std::string name = "qw_viewer_" + std::to_string(i);
        entries.push_back({name + ".png", name + "_ann.png", 400, 300, EntryColour(i), kGreen});
    }
    return entries;
}

class ViewerWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { process = new CViewerProcess; }
    static void TearDownTestSuite() {
        delete process;
        process = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(process->IsReady());
        ASSERT_TRUE(owner.Get());
    }

    void TearDown() override {
        viewer.reset();
        Pump();
    }

    void Open(const std::vector<TestEntry>& entries, int index, bool annotated) {
        catalogue = std::make_unique<CTestCatalogue>(entries);
        ASSERT_TRUE(catalogue->IsLoaded());
        viewer = OpenViewer(owner.Get(), index, annotated);
        ASSERT_TRUE(viewer);
    }

    HWND View() const { return viewer->GetView().GetHwnd(); }
    HWND Toolbar() const { return viewer->GetToolbar().GetHwnd(); }
    double Zoom() const { return viewer->GetView().GetModel().GetZoom(); }
    ZoomPoint Offset() const { return viewer->GetView().GetModel().GetOffset(); }
    HWND ButtonFor(UINT command) const { return GetDlgItem(Toolbar(), static_cast<int>(command)); }

    void Char(WPARAM character) {
        SendMessageA(View(), WM_CHAR, character, 0);
        Pump();
    }

    // The colour at the middle of the pane.
    DWORD CentreColour() {
        const PaneCapture capture = CaptureClient(View());
        return PixelOf(capture, capture.width / 2, capture.height / 2);
    }

    static CViewerProcess* process;
    COwnerWindow owner;
    std::unique_ptr<CTestCatalogue> catalogue;
    std::unique_ptr<CViewerWindow> viewer;
};

CViewerProcess* ViewerWindowTest::process = nullptr;

TEST_F(ViewerWindowTest, FrameCoversTheScreenWithTheToolbarAtTheTopRight) {
    Open(TenEntries(), 0, false);
    RECT frame;
    GetWindowRect(viewer->GetHwnd(), &frame);
    EXPECT_EQ(0, frame.left);
    EXPECT_EQ(0, frame.top);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), frame.right);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), frame.bottom);
    const LONG_PTR style = GetWindowLongPtrA(viewer->GetHwnd(), GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & WS_CAPTION);
    char title[64] = {};
    GetWindowTextA(viewer->GetHwnd(), title, sizeof(title));
    EXPECT_STREQ("QuellwickViewerWindow", title);
    EXPECT_EQ(viewer->GetHwnd(), GetParent(View()));
    EXPECT_TRUE(GetWindowLongPtrA(View(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);

    RECT bar;
    GetWindowRect(Toolbar(), &bar);
    RECT client;
    GetClientRect(viewer->GetHwnd(), &client);
    EXPECT_EQ(202, bar.right - bar.left);
    EXPECT_EQ(25, bar.bottom - bar.top);
    EXPECT_EQ(client.right - 202 - GetSystemMetrics(SM_CXVSCROLL), bar.left);
    EXPECT_EQ(2, bar.top);
    EXPECT_EQ(viewer->GetHwnd(), GetWindow(Toolbar(), GW_OWNER));
    EXPECT_TRUE(GetWindowLongPtrA(Toolbar(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);

    // Left to right, 21 x 21 each, 4 pixels apart, with their tooltips.
    const struct {
        UINT command;
        const char* tip;
    } expected[] = {{2007, "Previous Moon Phase"},
                    {2006, "Next Moon Phase"},
                    {2005, "Show Annotations"},
                    {2004, "Zoom to best fit"},
                    {2003, "Show actual size"},
                    {2001, "Zoom in"},
                    {2002, "Zoom out"},
                    {2000, "Close"}};
    ASSERT_EQ(8u, viewer->GetToolbar().ButtonCount());
    for (size_t i = 0; i < 8; ++i) {
        const CToolButton& button = viewer->GetToolbar().Button(i);
        EXPECT_EQ(expected[i].command, static_cast<UINT>(GetDlgCtrlID(button.GetHwnd()))) << i;
        RECT rect;
        GetWindowRect(button.GetHwnd(), &rect);
        EXPECT_EQ(bar.left + 2 + 25 * static_cast<LONG>(i), rect.left) << i;
        EXPECT_EQ(bar.top + 2, rect.top) << i;
        EXPECT_EQ(21, rect.right - rect.left) << i;
        EXPECT_EQ(21, rect.bottom - rect.top) << i;

        char text[80] = {};
        TOOLINFOA tool = {};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.hwnd = button.GetHwnd();
        tool.uId = reinterpret_cast<UINT_PTR>(button.GetHwnd());
        tool.lpszText = text;
        SendMessageA(button.GetToolTip(), TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&tool));
        EXPECT_STREQ(expected[i].tip, text) << i;
    }
}

TEST_F(ViewerWindowTest, ButtonShowsTheCellOfItsState) {
    Open(TenEntries(), 0, false);
    const HWND zoomIn = ButtonFor(kCommandZoomIn);
    ASSERT_TRUE(zoomIn);
    const GdipImagePtr strip = LoadResourcePicture(IDB_BUTTON_ZOOM_IN);
    ASSERT_TRUE(strip);
    // What the button draws, against the strip's cells.
    auto drawn = [&] {
        const HDC screen = GetDC(nullptr);
        const HDC memory = CreateCompatibleDC(screen);
        const HBITMAP bitmap = CreateCompatibleBitmap(screen, 21, 21);
        const HGDIOBJ previous = SelectObject(memory, bitmap);
        SendMessageA(zoomIn, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
        std::vector<COLORREF> pixels;
        for (int y = 0; y < 21; y += 4) {
            for (int x = 0; x < 21; x += 4)
                pixels.push_back(GetPixel(memory, x, y));
        }
        SelectObject(memory, previous);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        return pixels;
    };
    auto cell = [&](int index) {
        std::vector<COLORREF> pixels;
        for (int y = 0; y < 21; y += 4) {
            for (int x = 0; x < 21; x += 4) {
                const Gdiplus::ARGB argb =
                    wallpaper_test::PixelAt(static_cast<Gdiplus::GpBitmap*>(strip.get()), 21 * index + x, y);
                pixels.push_back(RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF));
            }
        }
        return pixels;
    };
    // The four faces differ, so each check tells them apart.
    ASSERT_NE(cell(0), cell(1));
    ASSERT_NE(cell(0), cell(2));
    ASSERT_NE(cell(1), cell(2));

    EXPECT_EQ(cell(0), drawn());
    SendMessageA(zoomIn, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(2, viewer->GetToolbar().Button(5).CurrentCell());
    EXPECT_EQ(cell(2), drawn());
    SendMessageA(zoomIn, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(cell(1), drawn());
    // Sliding off with the button held shows it raised again; releasing there is no click.
    const double zoom = Zoom();
    SendMessageA(zoomIn, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 5));
    EXPECT_EQ(cell(2), drawn());
    SendMessageA(zoomIn, WM_LBUTTONUP, 0, MAKELPARAM(60, 5));
    EXPECT_DOUBLE_EQ(zoom, Zoom());
    SendMessageA(zoomIn, WM_MOUSELEAVE, 0, 0);
    EnableWindow(zoomIn, FALSE);
    EXPECT_EQ(cell(3), drawn());
    EnableWindow(zoomIn, TRUE);
    EXPECT_EQ(cell(0), drawn());
    // The space bar never presses a tool button.
    SendMessageA(zoomIn, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageA(zoomIn, WM_KEYUP, VK_SPACE, 0);
    Pump();
    EXPECT_DOUBLE_EQ(zoom, Zoom());
}

// Real mouse input through the platform, as a user clicks.
TEST_F(ViewerWindowTest, ClickFiresOnlyWhenReleasedOverTheButton) {
    Open(TenEntries(), 0, false);
    const HWND zoomIn = ButtonFor(kCommandZoomIn);
    RECT rect;
    GetWindowRect(zoomIn, &rect);
    const POINT centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    auto moveTo = [](POINT point) {
        SetCursorPos(point.x, point.y);
        Pump();
    };
    auto button = [](bool down) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
        SendInput(1, &input, sizeof(input));
        Pump();
    };

    const double fit = Zoom();
    moveTo(centre);
    button(true);
    button(false);
    EXPECT_GT(Zoom(), fit) << "a click on Zoom in";
    // The keyboard focus is back with the viewer, so the keys keep working.
    const HWND focus = GetFocus();
    EXPECT_TRUE(focus == View() || focus == viewer->GetHwnd());
    const double clicked = Zoom();
    INPUT keys[2] = {};
    keys[0].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = VK_OEM_MINUS;
    keys[1] = keys[0];
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
    Pump();
    EXPECT_LT(Zoom(), clicked) << "a key typed after the click";
    moveTo(centre);
    button(true);
    button(false);
    ASSERT_DOUBLE_EQ(clicked, Zoom());

    const double zoomed = Zoom();
    moveTo(centre);
    button(true);
    moveTo({centre.x, centre.y + 200});
    button(false);
    EXPECT_DOUBLE_EQ(zoomed, Zoom()) << "released off the button";

    moveTo(centre);
    button(true);
    moveTo({centre.x + 100, centre.y});
    moveTo(centre);
    button(false);
    EXPECT_GT(Zoom(), zoomed) << "slid back on before the release";
    moveTo({10, 500});
}

TEST_F(ViewerWindowTest, ZoomKeysStepAndStopAtTheLimits) {
    Open(TenEntries(), 0, false);
    const double fit = Zoom();
    Char('+');
    EXPECT_GT(Zoom(), fit);
    for (int i = 0; i < 12; ++i)
        Char(i % 2 ? '+' : '=');
    EXPECT_DOUBLE_EQ(7.0, Zoom());
    // The picture is 400 wide: at 7.00 it is 2800 pixels wide and scrolls.
    SCROLLINFO bar = {};
    bar.cbSize = sizeof(bar);
    bar.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(View(), SB_HORZ, &bar));
    EXPECT_EQ(2799, bar.nMax);
    RECT client;
    GetClientRect(View(), &client);
    EXPECT_EQ(static_cast<UINT>(client.right), bar.nPage);

    // At a limit nothing changes and nothing is repainted.
    ValidateRect(View(), nullptr);
    Char('+');
    EXPECT_DOUBLE_EQ(7.0, Zoom());
    EXPECT_FALSE(GetUpdateRect(View(), nullptr, FALSE));

    for (int i = 0; i < 20; ++i)
        Char(i % 2 ? '-' : '_');
    EXPECT_DOUBLE_EQ(0.14, Zoom());
    ValidateRect(View(), nullptr);
    Char('-');
    EXPECT_DOUBLE_EQ(0.14, Zoom());
    EXPECT_FALSE(GetUpdateRect(View(), nullptr, FALSE));
    EXPECT_FALSE(GetWindowLongPtrA(View(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));

    // Best fit and actual size from the tool bar's commands.
    SendMessageA(Toolbar(), WM_COMMAND, MAKEWPARAM(kCommandActualSize, BN_CLICKED), 0);
    EXPECT_DOUBLE_EQ(1.0, Zoom());
    SendMessageA(Toolbar(), WM_COMMAND, MAKEWPARAM(kCommandBestFit, BN_CLICKED), 0);
    EXPECT_DOUBLE_EQ(fit, Zoom());
}

TEST_F(ViewerWindowTest, BestFitCentresThePictureOnBlack) {
    Open(TenEntries(), 3, false);
    const PaneCapture capture = CaptureClient(View());
    const ZoomSize scaled = viewer->GetView().GetModel().GetScaledSize();
    ASSERT_LE(scaled.cx, capture.width);
    ASSERT_LE(scaled.cy, capture.height);
    // The largest two-decimal zoom that fits: one hundredth more would not.
    EXPECT_TRUE(400 * (Zoom() + 0.01) > capture.width || 300 * (Zoom() + 0.01) > capture.height);
    const int left = (capture.width - scaled.cx) / 2;
    const int top = (capture.height - scaled.cy) / 2;
    EXPECT_TRUE(Close(PixelOf(capture, capture.width / 2, capture.height / 2), Rgb(EntryColour(3))));
    EXPECT_TRUE(Close(PixelOf(capture, left + 2, top + 2), Rgb(EntryColour(3))));
    EXPECT_TRUE(Close(PixelOf(capture, left + scaled.cx - 3, top + scaled.cy - 3), Rgb(EntryColour(3))));
    if (left > 3) {
        EXPECT_TRUE(Close(PixelOf(capture, left - 3, capture.height / 2), kBlack));
        EXPECT_TRUE(Close(PixelOf(capture, left + scaled.cx + 2, capture.height / 2), kBlack));
    }
    if (top > 3) {
        EXPECT_TRUE(Close(PixelOf(capture, capture.width / 2, top - 3), kBlack));
        EXPECT_TRUE(Close(PixelOf(capture, capture.width / 2, top + scaled.cy + 2), kBlack));
    }
    EXPECT_FALSE(GetWindowLongPtrA(View(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));
}

TEST_F(ViewerWindowTest, ArrowKeysAndScrollBarsMoveAZoomedPicture) {
    Open(TenEntries(), 0, false);
    // At best fit the picture fits: arrows change nothing.
    SendMessageA(View(), WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(Offset(), viewer->GetView().GetModel().GetOffset());
    const ZoomPoint centred = Offset();
    SendMessageA(View(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(centred, Offset());

    SendMessageA(Toolbar(), WM_COMMAND, MAKEWPARAM(kCommandActualSize, BN_CLICKED), 0);
    for (int i = 0; i < 6; ++i)
        Char('+');
    ASSERT_DOUBLE_EQ(7.0, Zoom());
    const ZoomPoint start = Offset();
    const ZoomSize line = viewer->GetView().GetModel().GetLineSize();
    SendMessageA(View(), WM_KEYDOWN, VK_RIGHT, 0);
    SendMessageA(View(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(start.x + line.cx, Offset().x);
    EXPECT_EQ(start.y + line.cy, Offset().y);
    SendMessageA(View(), WM_KEYDOWN, VK_LEFT, 0);
    SendMessageA(View(), WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(start, Offset());

    // The scroll bar follows, and its own requests scroll the pane.
    SendMessageA(View(), WM_HSCROLL, MAKEWPARAM(SB_RIGHT, 0), 0);
    RECT client;
    GetClientRect(View(), &client);
    EXPECT_EQ(2800 - client.right, Offset().x);
    EXPECT_EQ(Offset().x, GetScrollPos(View(), SB_HORZ));
    SendMessageA(View(), WM_VSCROLL, MAKEWPARAM(SB_TOP, 0), 0);
    EXPECT_EQ(0, Offset().y);
    EXPECT_EQ(0, GetScrollPos(View(), SB_VERT));
    // The picture's right edge now meets the pane's.
    const PaneCapture capture = CaptureClient(View());
    EXPECT_TRUE(Close(PixelOf(capture, capture.width - 2, 10), Rgb(EntryColour(0))));
}

TEST_F(ViewerWindowTest, WheelZoomsFromThePaneTheFrameAndTheToolbar) {
    Open(TenEntries(), 0, false);
    const UINT rollMessage = RegisterWindowMessageA("MSWHEEL_ROLLMSG");
    RECT view;
    GetWindowRect(View(), &view);
    const LPARAM centre = MAKELPARAM((view.left + view.right) / 2, (view.top + view.bottom) / 2);
    double zoom = Zoom();
    for (const HWND target : {View(), viewer->GetHwnd(), Toolbar()}) {
        SendMessageA(target, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), centre);
        EXPECT_GT(Zoom(), zoom) << "wheel away from the user";
        zoom = Zoom();
        SendMessageA(target, rollMessage, static_cast<WPARAM>(-WHEEL_DELTA), centre);
        EXPECT_LT(Zoom(), zoom) << "older wheel driver, towards the user";
        zoom = Zoom();
        SendMessageA(target, rollMessage, WHEEL_DELTA, centre);
        EXPECT_GT(Zoom(), zoom);
        zoom = Zoom();
    }
    // Keys that reach the tool bar act on the picture too.
    SendMessageA(Toolbar(), WM_CHAR, '-', 0);
    EXPECT_LT(Zoom(), zoom);
}

TEST_F(ViewerWindowTest, StepsCycleOverAllButTheLastEntryKeepingTheAnnotations) {
    Open(TenEntries(), 9, false);
    EXPECT_TRUE(Close(CentreColour(), Rgb(EntryColour(9))));
    SendMessageA(Toolbar(), WM_COMMAND, MAKEWPARAM(kCommandNextPhase, BN_CLICKED), 0);
    EXPECT_EQ(0, viewer->GetCurrentIndex());
    EXPECT_TRUE(Close(CentreColour(), Rgb(EntryColour(0))));
    SendMessageA(Toolbar(), WM_COMMAND, MAKEWPARAM(kCommandPreviousPhase, BN_CLICKED), 0);
    EXPECT_EQ(8, viewer->GetCurrentIndex());
    EXPECT_TRUE(Close(CentreColour(), Rgb(EntryColour(8))));
    for (int i = 0; i < 20; ++i) {
        SendMessageA(Toolbar(), WM_COMMAND, MAKEWPARAM(kCommandNextPhase, BN_CLICKED), 0);
        ASSERT_NE(9, viewer->GetCurrentIndex());
    }

    // Annotations switched on in the viewer stay on for the next entry; every entry is
    // shown at best fit again.
    Char('+');
    SendMessageA(Toolbar(), WM_COMMAND, MAKEWPARAM(kCommandAnnotations, BN_CLICKED), 0);
    EXPECT_TRUE(Close(CentreColour(), Rgb(kGreen)));
    const double fit = Zoom();
    SendMessageA(Toolbar(), WM_COMMAND, MAKEWPARAM(kCommandNextPhase, BN_CLICKED), 0);
    EXPECT_TRUE(viewer->GetView().GetShowAnnotations());
    EXPECT_TRUE(Close(CentreColour(), Rgb(kGreen)));
    EXPECT_LT(Zoom(), fit);
    SendMessageA(Toolbar(), WM_COMMAND, MAKEWPARAM(kCommandAnnotations, BN_CLICKED), 0);
    EXPECT_TRUE(Close(CentreColour(), Rgb(EntryColour(viewer->GetCurrentIndex()))));
}

TEST_F(ViewerWindowTest, DragMovesThePictureAndLeavesTheOverlayOutUntilRelease) {
    Open(TenEntries(), 0, true);
    EXPECT_TRUE(Close(CentreColour(), Rgb(kGreen)));
    SendMessageA(Toolbar(), WM_COMMAND, MAKEWPARAM(kCommandActualSize, BN_CLICKED), 0);
    for (int i = 0; i < 6; ++i)
        Char('+');
    Pump();
    // The overlay square is 1/5 of the picture; with the picture at 7.00 it covers the
    // pane's centre.
    ASSERT_TRUE(Close(CentreColour(), Rgb(kGreen)));
    const ZoomPoint start = Offset();

    SendMessageA(View(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(400, 400));
    EXPECT_NE(nullptr, GetCursor());
    SendMessageA(View(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(370, 390));
    EXPECT_EQ(start.x + 30, Offset().x);
    EXPECT_EQ(start.y + 10, Offset().y);
    EXPECT_EQ(View(), GetCapture());
    // Whatever is drawn while dragging is drawn without the overlay.
    InvalidateRect(View(), nullptr, TRUE);
    EXPECT_TRUE(Close(CentreColour(), Rgb(EntryColour(0))));
    SendMessageA(View(), WM_LBUTTONUP, 0, MAKELPARAM(370, 390));
    EXPECT_NE(View(), GetCapture());
    // The release repaints the whole pane, overlay included.
    EXPECT_TRUE(Close(CentreColour(), Rgb(kGreen)));

    // A drag never takes the picture past its edges.
    RECT client;
    GetClientRect(View(), &client);
    SendMessageA(View(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageA(View(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5000, 10));
    SendMessageA(View(), WM_LBUTTONUP, 0, MAKELPARAM(5000, 10));
    EXPECT_EQ(0, Offset().x);
    SendMessageA(View(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageA(View(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-5000, 10));
    SendMessageA(View(), WM_LBUTTONUP, 0, MAKELPARAM(-5000, 10));
    EXPECT_EQ(viewer->GetView().GetModel().GetScaledSize().cx - client.right, Offset().x);
}

TEST_F(ViewerWindowTest, EscapeClosesOnceAndANewViewerOpens) {
    Open(TenEntries(), 0, false);
    const HWND frame = viewer->GetHwnd();
    const HWND toolbar = Toolbar();
    Char(27);
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_FALSE(IsWindow(toolbar));
    Pump();
    EXPECT_EQ(1, owner.ClosedCount());
    viewer->CloseViewer();
    Pump();
    EXPECT_EQ(1, owner.ClosedCount());
    viewer.reset();

    // The owner deletes the closed viewer and makes a new one; the Close button ends it.
    viewer = OpenViewer(owner.Get(), 1, false);
    ASSERT_TRUE(viewer);
    EXPECT_TRUE(Close(CentreColour(), Rgb(EntryColour(1))));
    const HWND close = ButtonFor(kCommandClose);
    SendMessageA(close, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(close, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Pump();
    EXPECT_FALSE(IsWindow(viewer->GetHwnd()));
    EXPECT_EQ(2, owner.ClosedCount());

    // Deleting an open viewer takes its windows with it and tells nobody.
    viewer = OpenViewer(owner.Get(), 1, false);
    ASSERT_TRUE(viewer);
    const HWND open = viewer->GetHwnd();
    viewer.reset();
    Pump();
    EXPECT_FALSE(IsWindow(open));
    EXPECT_EQ(2, owner.ClosedCount());
}

TEST_F(ViewerWindowTest, MissingPicturesShowABlackPaneWithoutHarm) {
    std::vector<TestEntry> entries = TenEntries();
    entries[2].paper.clear();
    entries[2].ann = "qw_viewer_missing_ann.png";
    Open(entries, 1, true);
    const double zoom = Zoom();
    SendMessageA(Toolbar(), WM_COMMAND, MAKEWPARAM(kCommandNextPhase, BN_CLICKED), 0);
    EXPECT_EQ(2, viewer->GetCurrentIndex());
    EXPECT_DOUBLE_EQ(zoom, Zoom());
    const PaneCapture capture = CaptureClient(View());
    for (const POINT point :
         {POINT{1, 1}, POINT{capture.width / 2, capture.height / 2}, POINT{capture.width - 2, capture.height - 2}}) {
        EXPECT_TRUE(Close(PixelOf(capture, point.x, point.y), kBlack));
    }
    // Every command still works on the empty pane.
    for (const UINT command :
         {kCommandZoomIn, kCommandZoomOut, kCommandBestFit, kCommandActualSize, kCommandAnnotations}) {
        SendMessageA(Toolbar(), WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
    }
    Char('+');
    Pump();
    EXPECT_TRUE(Close(CentreColour(), kBlack));

    // An index the catalogue does not have shows the empty pane too; a step comes back.
    viewer->ShowMoon(57, false);
    Pump();
    EXPECT_TRUE(Close(CentreColour(), kBlack));
    SendMessageA(Toolbar(), WM_COMMAND, MAKEWPARAM(kCommandPreviousPhase, BN_CLICKED), 0);
    EXPECT_EQ(8, viewer->GetCurrentIndex());
    EXPECT_TRUE(Close(CentreColour(), Rgb(EntryColour(8))));
}

TEST_F(ViewerWindowTest, SingleEntryCatalogueStaysOnItsEntry) {
    Open({{"qw_viewer_only.png", "qw_viewer_only_ann.png", 200, 100, kBlue, kRed}}, 0, false);
    SendMessageA(Toolbar(), WM_COMMAND, MAKEWPARAM(kCommandPreviousPhase, BN_CLICKED), 0);
    EXPECT_EQ(0, viewer->GetCurrentIndex());
    SendMessageA(Toolbar(), WM_COMMAND, MAKEWPARAM(kCommandNextPhase, BN_CLICKED), 0);
    EXPECT_EQ(0, viewer->GetCurrentIndex());
    EXPECT_TRUE(Close(CentreColour(), Rgb(kBlue)));
}

// A tiny pane and a huge picture: the best fit would round to 0.00.
TEST_F(ViewerWindowTest, BestFitOfAHugePictureInATinyPaneKeepsAPositiveZoom) {
    Open({{"qw_viewer_wide.png", "qw_viewer_wide_ann.png", 8000, 20, kBlue, kRed}}, 0, false);
    ShowWindow(viewer->GetHwnd(), SW_RESTORE);
    SetWindowPos(viewer->GetHwnd(), nullptr, 0, 0, 30, 30, SWP_NOZORDER);
    SendMessageA(Toolbar(), WM_COMMAND, MAKEWPARAM(kCommandBestFit, BN_CLICKED), 0);
    Pump();
    EXPECT_DOUBLE_EQ(0.01, Zoom());
    Char('-');
    Char('+');
    Pump();
    EXPECT_GT(Zoom(), 0.0);
}

// Makes the creation of windows of one class fail while the hook is set.
class CCreationBlocker {
public:
    explicit CCreationBlocker(const char* className) {
        blockedClass = className;
        hook = SetWindowsHookExA(WH_CBT, &CCreationBlocker::Hook, nullptr, GetCurrentThreadId());
    }
    ~CCreationBlocker() { UnhookWindowsHookEx(hook); }
    CCreationBlocker(const CCreationBlocker&) = delete;
    CCreationBlocker& operator=(const CCreationBlocker&) = delete;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_CREATEWND) {
            char name[64] = {};
            GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof(name));
            if (lstrcmpA(name, blockedClass) == 0)
                return 1;
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static const char* blockedClass;
    HHOOK hook;
};
const char* CCreationBlocker::blockedClass = "";

// Seen by the timer while the message box runs its own loop.
struct ErrorBoxSeen {
    HWND box = nullptr;
    HWND owner = nullptr;
    char text[256] = {};
};
ErrorBoxSeen errorBoxSeen;

void CALLBACK DismissErrorBox(HWND, UINT, UINT_PTR, DWORD) {
    const HWND box = FindWindowA("#32770", "Error");
    if (!box || errorBoxSeen.box)
        return;
    errorBoxSeen.box = box;
    errorBoxSeen.owner = GetWindow(box, GW_OWNER);
    GetDlgItemTextA(box, 0xFFFF, errorBoxSeen.text, sizeof(errorBoxSeen.text));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

TEST_F(ViewerWindowTest, ToolbarThatCannotBeCreatedIsReportedAndTheViewerGoesOn) {
    catalogue = std::make_unique<CTestCatalogue>(TenEntries());
    ASSERT_TRUE(catalogue->IsLoaded());
    errorBoxSeen = {};
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, &DismissErrorBox);
    viewer = std::make_unique<CViewerWindow>();
    {
        const CCreationBlocker blocker("QuellwickViewerToolbar");
        EXPECT_EQ(0, viewer->Create(owner.Get()));
    }
    KillTimer(nullptr, timer);
    ASSERT_TRUE(errorBoxSeen.box) << "no box captioned Error";
    EXPECT_EQ(viewer->GetHwnd(), errorBoxSeen.owner);
    EXPECT_NE(0u, strlen(errorBoxSeen.text));
    EXPECT_EQ(nullptr, Toolbar());
    ShowWindow(viewer->GetHwnd(), SW_MAXIMIZE);
    viewer->ShowMoon(4, false);
    Pump();
    EXPECT_TRUE(Close(CentreColour(), Rgb(EntryColour(4))));
    Char(27);
    EXPECT_EQ(1, owner.ClosedCount());
}

}  // namespace
