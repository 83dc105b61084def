// The viewer's windows in this process, for what the end-to-end tests cannot see: exact
// zoom and scroll positions, button faces, the overlay while dragging, close reports and
// failures. Frame and tool bar placement, zoom limits, stepping and clicks by real mouse
// input are checked in viewer_e2e_test.cpp; the zoom arithmetic (the 0.01 floor among it)
// and the stepping rule natively.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/viewer/viewer_test_support.h"
#include "tests/wallpaper/wallpaper_test_support.h"
#include "viewer/viewer_commands.h"

using namespace viewer_test;

namespace {

constexpr DWORD kGreen = 0xFF20C040;
constexpr DWORD kBlack = 0xFF000000;

// Distinct colours, one per entry, so the drawn picture tells which entry is shown.
DWORD EntryColour(int index) {
    return 0xFF000060u | static_cast<DWORD>((40 + index * 20) << 16) | static_cast<DWORD>((200 - index * 15) << 8);
}

// Whether a drawn 0x00RRGGBB pixel is within 24 of an expected 0xAARRGGBB colour in each channel.
::testing::AssertionResult Shows(DWORD drawn, DWORD expected) {
    bool matches = (drawn >> 24) == 0;
    for (int shift = 0; shift <= 16; shift += 8)
        matches = matches && std::abs(static_cast<int>((drawn >> shift) & 0xFF) -
                                      static_cast<int>((expected >> shift) & 0xFF)) <= 24;
    char text[64];
    snprintf(text, sizeof(text), "drawn %06lx, expected %06lx", static_cast<unsigned long>(drawn),
             static_cast<unsigned long>(expected & 0xFFFFFF));
    return matches ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << text;
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

TEST_F(ViewerWindowTest, CaptionlessFrameAndToolbarOfEightButtonsWithTooltips) {
    Open(TenEntries(), 0, false);
    const LONG_PTR style = GetWindowLongPtrA(viewer->GetHwnd(), GWL_STYLE);
    EXPECT_TRUE((style & WS_POPUP) && !(style & WS_CAPTION));
    EXPECT_EQ(viewer->GetHwnd(), GetParent(View()));
    EXPECT_TRUE(GetWindowLongPtrA(View(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
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
    RECT bar;
    GetWindowRect(Toolbar(), &bar);
    ASSERT_EQ(8u, viewer->GetToolbar().ButtonCount());
    for (size_t i = 0; i < 8; ++i) {
        const CToolButton& button = viewer->GetToolbar().Button(i);
        EXPECT_EQ(expected[i].command, static_cast<UINT>(GetDlgCtrlID(button.GetHwnd()))) << i;
        RECT rect;
        GetWindowRect(button.GetHwnd(), &rect);
        EXPECT_TRUE(rect.left == bar.left + 2 + 25 * static_cast<LONG>(i) && rect.top == bar.top + 2 &&
                    rect.right - rect.left == 21 && rect.bottom - rect.top == 21)
            << i;
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

TEST_F(ViewerWindowTest, ButtonShowsTheCellOfItsStateAndFiresOnlyWhenReleasedOverIt) {
    Open(TenEntries(), 0, false);
    const HWND zoomIn = GetDlgItem(Toolbar(), kCommandZoomIn);
    const GdipImagePtr strip = LoadResourcePicture(IDB_BUTTON_ZOOM_IN);
    ASSERT_TRUE(zoomIn && strip);
    // Every fourth pixel of what the button draws, and of the strip's cell `index`.
    auto drawn = [&] {
        const HDC screen = GetDC(nullptr);
        const HDC memory = CreateCompatibleDC(screen);
        const HBITMAP bitmap = CreateCompatibleBitmap(screen, 21, 21);
        const HGDIOBJ previous = SelectObject(memory, bitmap);
        SendMessageA(zoomIn, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
        std::vector<COLORREF> pixels;
        for (int y = 0; y < 21; y += 4)
            for (int x = 0; x < 21; x += 4)
                pixels.push_back(GetPixel(memory, x, y));
        SelectObject(memory, previous);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        return pixels;
    };
    auto cell = [&](int index) {
        std::vector<COLORREF> pixels;
        for (int y = 0; y < 21; y += 4)
            for (int x = 0; x < 21; x += 4) {
                const DWORD argb =
                    wallpaper_test::PixelAt(static_cast<Gdiplus::GpBitmap*>(strip.get()), 21 * index + x, y);
                pixels.push_back(RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF));
            }
        return pixels;
    };
    // The faces differ, so each check tells them apart.
    ASSERT_TRUE(cell(0) != cell(1) && cell(0) != cell(2) && cell(1) != cell(2));

    const double fit = Zoom();
    EXPECT_EQ(cell(0), drawn());
    SendMessageA(zoomIn, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(cell(2), drawn()) << "hover";
    SendMessageA(zoomIn, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(cell(1), drawn()) << "pushed";
    // Sliding off with the button held raises it, and releasing there is no click...
    SendMessageA(zoomIn, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 5));
    EXPECT_EQ(cell(2), drawn());
    SendMessageA(zoomIn, WM_LBUTTONUP, 0, MAKELPARAM(60, 5));
    EXPECT_DOUBLE_EQ(fit, Zoom());
    // ...but sliding back on before the release is.
    SendMessageA(zoomIn, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(zoomIn, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 5));
    SendMessageA(zoomIn, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(zoomIn, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Pump();
    EXPECT_GT(Zoom(), fit);
    const double zoomed = Zoom();

    SendMessageA(zoomIn, WM_MOUSELEAVE, 0, 0);
    EnableWindow(zoomIn, FALSE);
    EXPECT_EQ(cell(3), drawn()) << "disabled";
    EnableWindow(zoomIn, TRUE);
    EXPECT_EQ(cell(0), drawn());
    // The space bar never presses a tool button.
    SendMessageA(zoomIn, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageA(zoomIn, WM_KEYUP, VK_SPACE, 0);
    Pump();
    EXPECT_DOUBLE_EQ(zoomed, Zoom());
}

TEST_F(ViewerWindowTest, BestFitCentresThePictureOnBlack) {
    Open(TenEntries(), 3, false);
    const PaneCapture capture = CaptureClient(View());
    const ZoomSize scaled = viewer->GetView().GetModel().GetScaledSize();
    ASSERT_TRUE(scaled.cx <= capture.width && scaled.cy <= capture.height);
    // The largest two-decimal zoom that fits: one hundredth more would not.
    EXPECT_TRUE(400 * (Zoom() + 0.01) > capture.width || 300 * (Zoom() + 0.01) > capture.height);
    const int left = (capture.width - scaled.cx) / 2, top = (capture.height - scaled.cy) / 2;
    const int midX = capture.width / 2, midY = capture.height / 2;
    EXPECT_TRUE(Shows(PixelOf(capture, midX, midY), EntryColour(3)));
    EXPECT_TRUE(Shows(PixelOf(capture, left + 2, top + 2), EntryColour(3)));
    EXPECT_TRUE(Shows(PixelOf(capture, left + scaled.cx - 3, top + scaled.cy - 3), EntryColour(3)));
    if (left > 3) {
        EXPECT_TRUE(Shows(PixelOf(capture, left - 3, midY), kBlack));
        EXPECT_TRUE(Shows(PixelOf(capture, left + scaled.cx + 2, midY), kBlack));
    }
    if (top > 3) {
        EXPECT_TRUE(Shows(PixelOf(capture, midX, top - 3), kBlack));
        EXPECT_TRUE(Shows(PixelOf(capture, midX, top + scaled.cy + 2), kBlack));
    }
    EXPECT_FALSE(GetWindowLongPtrA(View(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));
}

TEST_F(ViewerWindowTest, EveryZoomKeyWheelAndCommandReachesThePicture) {
    Open(TenEntries(), 0, false);
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
    Command(kCommandActualSize);
    EXPECT_DOUBLE_EQ(1.0, Zoom());
    Command(kCommandZoomIn);
    EXPECT_DOUBLE_EQ(2.0, Zoom());
    Command(kCommandZoomOut);
    EXPECT_DOUBLE_EQ(1.0, Zoom());
    Command(kCommandBestFit);
    EXPECT_DOUBLE_EQ(fit, Zoom());
}

TEST_F(ViewerWindowTest, ArrowKeysAndScrollBarsMoveAZoomedPicture) {
    Open(TenEntries(), 0, false);
    // At best fit the picture fits: arrows change nothing.
    const ZoomPoint centred = Offset();
    Key(VK_RIGHT);
    Key(VK_DOWN);
    EXPECT_EQ(centred, Offset());

    ZoomToSeven();
    // The picture is 400 wide: at 7.00 it is 2800 pixels wide and scrolls.
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
    const PaneCapture capture = CaptureClient(View());
    EXPECT_TRUE(Shows(PixelOf(capture, capture.width - 2, 10), EntryColour(0)));
}

TEST_F(ViewerWindowTest, StepsKeepTheAnnotationsAndShowEachEntryAtBestFit) {
    Open(TenEntries(), 8, false);
    Char('+');
    const double zoomed = Zoom();
    Command(kCommandAnnotations);
    EXPECT_TRUE(Shows(CentreColour(), kGreen));
    Command(kCommandNextPhase);
    EXPECT_EQ(0, viewer->GetCurrentIndex()) << "the last entry is skipped";
    EXPECT_TRUE(viewer->GetView().GetShowAnnotations());
    EXPECT_TRUE(Shows(CentreColour(), kGreen));
    EXPECT_LT(Zoom(), zoomed);
    Command(kCommandAnnotations);
    EXPECT_TRUE(Shows(CentreColour(), EntryColour(0)));
}

TEST_F(ViewerWindowTest, DragMovesThePictureAndLeavesTheOverlayOutUntilRelease) {
    Open(TenEntries(), 0, true);
    EXPECT_TRUE(Shows(CentreColour(), kGreen));
    // The overlay square is 1/5 of the picture; at 7.00 it covers the pane's centre.
    ZoomToSeven();
    ASSERT_TRUE(Shows(CentreColour(), kGreen));
    const ZoomPoint start = Offset();

    SendMessageA(View(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(400, 400));
    EXPECT_NE(nullptr, GetCursor());
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

    // A drag never takes the picture past its edges.
    RECT client;
    GetClientRect(View(), &client);
    for (const int to : {5000, -5000}) {
        SendMessageA(View(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        SendMessageA(View(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to, 10));
        SendMessageA(View(), WM_LBUTTONUP, 0, MAKELPARAM(to, 10));
        EXPECT_EQ(to > 0 ? 0 : viewer->GetView().GetModel().GetScaledSize().cx - client.right, Offset().x);
    }
}

TEST_F(ViewerWindowTest, ReportsItsCloseOnceAndNothingWhenDeleted) {
    Open(TenEntries(), 0, false);
    const HWND frame = viewer->GetHwnd();
    const HWND toolbar = Toolbar();
    Char(27);
    EXPECT_FALSE(IsWindow(frame) || IsWindow(toolbar));
    viewer->CloseViewer();
    Pump();
    EXPECT_EQ(1, owner.ClosedCount());

    // The Close button ends a new viewer the same way.
    viewer = OpenViewer(owner.Get(), 1, false);
    ASSERT_TRUE(viewer);
    const HWND close = GetDlgItem(Toolbar(), kCommandClose);
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
    Command(kCommandNextPhase);
    EXPECT_EQ(2, viewer->GetCurrentIndex());
    EXPECT_DOUBLE_EQ(zoom, Zoom());
    const PaneCapture capture = CaptureClient(View());
    for (const POINT point :
         {POINT{1, 1}, POINT{capture.width / 2, capture.height / 2}, POINT{capture.width - 2, capture.height - 2}})
        EXPECT_TRUE(Shows(PixelOf(capture, point.x, point.y), kBlack));
    // Every command still works on the empty pane.
    for (const UINT command :
         {kCommandZoomIn, kCommandZoomOut, kCommandBestFit, kCommandActualSize, kCommandAnnotations})
        Command(command);
    Char('+');
    EXPECT_TRUE(Shows(CentreColour(), kBlack));

    // An index the catalogue does not have shows the empty pane too; a step comes back.
    viewer->ShowMoon(57, false);
    Pump();
    EXPECT_TRUE(Shows(CentreColour(), kBlack));
    Command(kCommandPreviousPhase);
    EXPECT_EQ(8, viewer->GetCurrentIndex());
    EXPECT_TRUE(Shows(CentreColour(), EntryColour(8)));
}

// Makes the creation of the tool bar fail while set, and dismisses the error box that
// follows, noting its owner and text.
struct CToolbarBlocker {
    static inline HWND box = nullptr, boxOwner = nullptr;
    static inline char text[256] = {};
    HHOOK hook = SetWindowsHookExA(WH_CBT, &Hook, nullptr, GetCurrentThreadId());
    UINT_PTR timer = SetTimer(nullptr, 0, 100, &Dismiss);
    ~CToolbarBlocker() {
        UnhookWindowsHookEx(hook);
        KillTimer(nullptr, timer);
    }
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        char name[64] = {};
        if (code == HCBT_CREATEWND && GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof(name)) &&
            lstrcmpA(name, "QuellwickViewerToolbar") == 0)
            return 1;
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static void CALLBACK Dismiss(HWND, UINT, UINT_PTR, DWORD) {
        const HWND found = FindWindowA("#32770", "Error");
        if (!found || box)
            return;
        box = found;
        boxOwner = GetWindow(found, GW_OWNER);
        GetDlgItemTextA(found, 0xFFFF, text, sizeof(text));
        PostMessageA(found, WM_COMMAND, IDOK, 0);
    }
};

TEST_F(ViewerWindowTest, ToolbarThatCannotBeCreatedIsReportedAndTheViewerGoesOn) {
    catalogue = std::make_unique<CTestCatalogue>(TenEntries());
    ASSERT_TRUE(catalogue->IsLoaded());
    viewer = std::make_unique<CViewerWindow>(TestCatalog());
    {
        const CToolbarBlocker blocker;
        EXPECT_EQ(0, viewer->Create(owner.Get()));
    }
    ASSERT_TRUE(CToolbarBlocker::box) << "no box captioned Error";
    EXPECT_EQ(viewer->GetHwnd(), CToolbarBlocker::boxOwner);
    EXPECT_NE(0u, strlen(CToolbarBlocker::text));
    EXPECT_EQ(nullptr, Toolbar());
    ShowWindow(viewer->GetHwnd(), SW_MAXIMIZE);
    viewer->ShowMoon(4, false);
    Pump();
    EXPECT_TRUE(Shows(CentreColour(), EntryColour(4)));
    Char(27);
    EXPECT_EQ(1, owner.ClosedCount());
}

}  // namespace
