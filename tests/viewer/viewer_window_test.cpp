// The viewer's windows in this process, for what the end-to-end tests cannot see: exact
// zoom and scroll positions, the buttons, the overlay while dragging, close reports and
// failures. The zoom arithmetic and the stepping rule are checked natively.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/common/win_test_support.h"
#include "viewer/viewer_commands.h"

using namespace wintest;

namespace {

constexpr DWORD kGreen = 0xFF20C040;
constexpr DWORD kBlack = 0xFF000000;

// Distinct colours, one per entry, so the drawn picture tells which entry is shown.
DWORD EntryColour(int index) {
    return 0xFF000060u | static_cast<DWORD>((40 + index * 20) << 16) | static_cast<DWORD>((200 - index * 15) << 8);
}

bool Shows(Gdiplus::ARGB drawn, DWORD expected) {
    return ColourNear(drawn, expected, 24);
}

class ViewerWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { process = new CViewerProcess; }
    static void TearDownTestSuite() { delete process; }

    void SetUp() override { ASSERT_TRUE(process->IsReady() && owner.Get() && catalogue.IsLoaded()); }
    void TearDown() override {
        viewer.reset();
        Pump();
    }

    // Ten 400 x 300 entries, each with a green overlay.
    static std::vector<TestEntry> Entries() {
        std::vector<TestEntry> entries;
        for (int i = 0; i < 10; ++i) {
            const std::string name = "qw_viewer_" + std::to_string(i);
            entries.push_back({name + ".png", name + "_ann.png", 400, 300, EntryColour(i), kGreen});
        }
        return entries;
    }
    void Open(int index, bool annotated) {
        viewer = OpenViewer(owner.Get(), index, annotated);
        ASSERT_TRUE(viewer);
    }

    HWND View() const { return viewer->GetView().GetHwnd(); }
    HWND Toolbar() const { return viewer->GetToolbar().GetHwnd(); }
    double Zoom() const { return viewer->GetView().GetModel().GetZoom(); }
    ZoomPoint Offset() const { return viewer->GetView().GetModel().GetOffset(); }
    void Char(WPARAM character) {
        SendMessageA(View(), WM_CHAR, character, 0);
        Pump();
    }
    void Key(WPARAM key) { SendMessageA(View(), WM_KEYDOWN, key, 0); }
    void Command(UINT command) { SendMessageA(Toolbar(), WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0); }
    void ZoomToSeven() {
        Command(kCommandActualSize);
        for (int i = 0; i < 6; ++i)
            Char('+');
        ASSERT_DOUBLE_EQ(7.0, Zoom());
    }
    Gdiplus::ARGB CentreColour() {
        const PixelCapture capture = CaptureOwnClient(View());
        return capture.At(capture.width / 2, capture.height / 2);
    }

    static inline CViewerProcess* process = nullptr;
    COwnerWindow owner;
    CTestCatalogue catalogue{Entries()};
    std::unique_ptr<CViewerWindow> viewer;
};

TEST_F(ViewerWindowTest, ToolButtonsFireOnlyOnARelease) {
    Open(0, false);
    const HWND zoomIn = GetDlgItem(Toolbar(), kCommandZoomIn);
    const double fit = Zoom();
    // Sliding off with the button held and releasing there is no click...
    SendMessageA(zoomIn, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(zoomIn, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 5));
    SendMessageA(zoomIn, WM_LBUTTONUP, 0, MAKELPARAM(60, 5));
    EXPECT_DOUBLE_EQ(fit, Zoom());
    // ...but sliding back on before the release is.
    SendMessageA(zoomIn, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(zoomIn, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 5));
    SendMessageA(zoomIn, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(zoomIn, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Pump();
    EXPECT_GT(Zoom(), fit);
    // The space bar never presses a tool button.
    const double zoomed = Zoom();
    SendMessageA(zoomIn, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageA(zoomIn, WM_KEYUP, VK_SPACE, 0);
    Pump();
    EXPECT_DOUBLE_EQ(zoomed, Zoom());
}

TEST_F(ViewerWindowTest, BestFitCentresOnBlackAndEveryZoomKeyWheelAndCommandReachesIt) {
    Open(3, false);
    const PixelCapture capture = CaptureOwnClient(View());
    const ZoomSize scaled = viewer->GetView().GetModel().GetScaledSize();
    ASSERT_TRUE(scaled.cx <= capture.width && scaled.cy <= capture.height);
    // The largest two-decimal zoom that fits: one hundredth more would not.
    EXPECT_TRUE(400 * (Zoom() + 0.01) > capture.width || 300 * (Zoom() + 0.01) > capture.height);
    const int left = (capture.width - scaled.cx) / 2, top = (capture.height - scaled.cy) / 2;
    const int midX = capture.width / 2, midY = capture.height / 2;
    EXPECT_TRUE(Shows(capture.At(midX, midY), EntryColour(3)));
    EXPECT_TRUE(Shows(capture.At(left + 2, top + 2), EntryColour(3)));
    EXPECT_TRUE(Shows(capture.At(left + scaled.cx - 3, top + scaled.cy - 3), EntryColour(3)));
    EXPECT_TRUE(left <= 3 ||
                (Shows(capture.At(left - 3, midY), kBlack) && Shows(capture.At(left + scaled.cx + 2, midY), kBlack)));
    EXPECT_TRUE(top <= 3 ||
                (Shows(capture.At(midX, top - 3), kBlack) && Shows(capture.At(midX, top + scaled.cy + 2), kBlack)));
    EXPECT_FALSE(GetWindowLongPtrA(View(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));

    const double fit = Zoom();
    double zoom = fit;
    for (const WPARAM character : {'+', '=', '-', '_'}) {
        Char(character);
        EXPECT_TRUE(character == '+' || character == '=' ? Zoom() > zoom : Zoom() < zoom) << char(character);
        zoom = Zoom();
    }
    // The wheel, through both of its messages, on the pane, the frame and the tool bar.
    const UINT rollMessage = RegisterWindowMessageA("MSWHEEL_ROLLMSG");
    RECT view;
    GetWindowRect(View(), &view);
    const LPARAM centre = MAKELPARAM((view.left + view.right) / 2, (view.top + view.bottom) / 2);
    for (const HWND target : {View(), viewer->GetHwnd(), Toolbar()}) {
        for (const auto& [message, delta] :
             {std::make_pair(UINT(WM_MOUSEWHEEL), WHEEL_DELTA << 16), std::make_pair(rollMessage, -WHEEL_DELTA),
              std::make_pair(rollMessage, WHEEL_DELTA)}) {
            SendMessageA(target, message, static_cast<WPARAM>(delta), centre);
            EXPECT_TRUE(delta > 0 ? Zoom() > zoom : Zoom() < zoom) << message << " " << delta;
            zoom = Zoom();
        }
    }
    // Keys that reach the tool bar act on the picture too.
    SendMessageA(Toolbar(), WM_CHAR, '-', 0);
    EXPECT_LT(Zoom(), zoom);
    const std::pair<UINT, double> commands[] = {
        {kCommandActualSize, 1.0}, {kCommandZoomIn, 2.0}, {kCommandZoomOut, 1.0}, {kCommandBestFit, fit}};
    for (const auto& [command, expected] : commands) {
        Command(command);
        EXPECT_DOUBLE_EQ(expected, Zoom()) << command;
    }
}

TEST_F(ViewerWindowTest, ArrowKeysAndScrollBarsMoveAZoomedPicture) {
    Open(0, false);
    // At best fit the picture fits: arrows change nothing.
    const ZoomPoint centred = Offset();
    Key(VK_RIGHT);
    Key(VK_DOWN);
    EXPECT_EQ(centred, Offset());

    // The picture is 400 wide: at 7.00 it is 2800 pixels wide and scrolls.
    ZoomToSeven();
    RECT client;
    GetClientRect(View(), &client);
    SCROLLINFO bar = {};
    bar.cbSize = sizeof(bar);
    bar.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(View(), SB_HORZ, &bar));
    EXPECT_EQ(2799, bar.nMax);
    EXPECT_EQ(static_cast<UINT>(client.right), bar.nPage);
    const ZoomPoint start = Offset();
    const ZoomSize line = viewer->GetView().GetModel().GetLineSize();
    Key(VK_RIGHT);
    Key(VK_DOWN);
    EXPECT_EQ((ZoomPoint{start.x + line.cx, start.y + line.cy}), Offset());
    Key(VK_LEFT);
    Key(VK_UP);
    EXPECT_EQ(start, Offset());

    // The scroll bar follows, and its own requests scroll the pane.
    SendMessageA(View(), WM_HSCROLL, MAKEWPARAM(SB_RIGHT, 0), 0);
    EXPECT_EQ(2800 - client.right, Offset().x);
    EXPECT_EQ(Offset().x, GetScrollPos(View(), SB_HORZ));
    SendMessageA(View(), WM_VSCROLL, MAKEWPARAM(SB_TOP, 0), 0);
    EXPECT_EQ(0, Offset().y);
    EXPECT_EQ(0, GetScrollPos(View(), SB_VERT));
    // The picture's right edge now meets the pane's.
    const PixelCapture capture = CaptureOwnClient(View());
    EXPECT_TRUE(Shows(capture.At(capture.width - 2, 10), EntryColour(0)));
}

TEST_F(ViewerWindowTest, StepsKeepTheAnnotationsAndShowEachEntryAtBestFitAndDeletingReportsNothing) {
    Open(8, false);
    Char('+');
    const double zoomed = Zoom();
    Command(kCommandAnnotations);
    EXPECT_TRUE(Shows(CentreColour(), kGreen));
    Command(kCommandNextPhase);
    EXPECT_EQ(0, viewer->GetCurrentIndex()) << "the last entry is skipped";
    EXPECT_TRUE(Shows(CentreColour(), kGreen));
    EXPECT_LT(Zoom(), zoomed);
    Command(kCommandAnnotations);
    EXPECT_TRUE(Shows(CentreColour(), EntryColour(0)));

    // Deleting an open viewer takes its windows with it and tells nobody.
    const HWND open = viewer->GetHwnd();
    viewer.reset();
    Pump();
    EXPECT_FALSE(IsWindow(open));
    EXPECT_EQ(0, owner.ClosedCount());
}

TEST_F(ViewerWindowTest, DragMovesThePictureAndLeavesTheOverlayOutUntilRelease) {
    Open(0, true);
    // The overlay square is 1/5 of the picture; at 7.00 it covers the pane's centre.
    ZoomToSeven();
    ASSERT_TRUE(Shows(CentreColour(), kGreen));
    const ZoomPoint start = Offset();
    SendMessageA(View(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(400, 400));
    SendMessageA(View(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(370, 390));
    EXPECT_EQ((ZoomPoint{start.x + 30, start.y + 10}), Offset());
    EXPECT_EQ(View(), GetCapture());
    // Whatever is drawn while dragging is drawn without the overlay.
    InvalidateRect(View(), nullptr, TRUE);
    EXPECT_TRUE(Shows(CentreColour(), EntryColour(0)));
    SendMessageA(View(), WM_LBUTTONUP, 0, MAKELPARAM(370, 390));
    EXPECT_NE(View(), GetCapture());
    // The release repaints the whole pane, overlay included.
    EXPECT_TRUE(Shows(CentreColour(), kGreen));
}

// However the viewer ends, its owner hears of it exactly once, so that it can open a new one.
TEST_F(ViewerWindowTest, ClosedOrDestroyedFromOutsideItReportsOnce) {
    // The task manager asks with WM_CLOSE (as Alt+F4 and the task bar do, through SC_CLOSE);
    // a window can also be destroyed without being asked.
    int expected = 0;
    for (const bool asked : {true, false}) {
        Open(0, false);
        const HWND frame = viewer->GetHwnd(), toolbar = Toolbar();
        asked ? SendMessageA(frame, WM_CLOSE, 0, 0) : DestroyWindow(frame);
        viewer->CloseViewer();
        Pump();
        EXPECT_FALSE(IsWindow(frame) || IsWindow(toolbar)) << asked;
        EXPECT_EQ(++expected, owner.ClosedCount()) << asked;
    }
}

// A frame that the system refuses to create: a computer-based-training hook vetoes it.
LRESULT CALLBACK RefuseViewerFrame(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        char name[64] = {};
        GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof(name));
        if (lstrcmpA(name, "QuellwickViewerFrame") == 0)
            return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(ViewerWindowTest, AFailedCreateReportsOnce) {
    const HHOOK hook = SetWindowsHookExA(WH_CBT, RefuseViewerFrame, nullptr, GetCurrentThreadId());
    ASSERT_TRUE(hook);
    CViewerWindow refused(TestCatalog(), TestPictures());
    const int32_t result = refused.Create(owner.Get());
    UnhookWindowsHookEx(hook);
    EXPECT_NE(0, result);
    EXPECT_FALSE(refused.GetHwnd());
    refused.CloseViewer();
    Pump();
    EXPECT_EQ(1, owner.ClosedCount());
}

}  // namespace
