// The About box run modally, as the user meets it: a second thread finds the dialog, reads
// what it shows, clicks and presses keys, and closes it.
#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <string>
#include <thread>
#include <vector>

#include "about/about_dlg.h"
#include "about/about_resource.h"
#include "rich_edit_probe.h"

namespace {

constexpr DWORD kWaitMs = 10000;

struct FoundDialog {
    HWND window = nullptr;
};

BOOL CALLBACK FindVisibleDialog(HWND window, LPARAM found) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) == "#32770" && IsWindowVisible(window)) {
        reinterpret_cast<FoundDialog*>(found)->window = window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForDialog(DWORD thread) {
    for (DWORD waited = 0; waited < kWaitMs; waited += 20) {
        FoundDialog found;
        EnumThreadWindows(thread, FindVisibleDialog, reinterpret_cast<LPARAM>(&found));
        if (found.window != nullptr)
            return found.window;
        Sleep(20);
    }
    return nullptr;
}

bool WaitUntilGone(HWND window) {
    for (DWORD waited = 0; waited < kWaitMs; waited += 20) {
        if (!IsWindow(window))
            return true;
        Sleep(20);
    }
    return false;
}

// Runs `open` (which shows the About box modally) on this thread while `drive` acts on the
// dialog from another thread; `drive` is expected to close it. Returns false when no
// dialog appeared.
bool RunWhileDriving(const std::function<void()>& open, const std::function<void(HWND)>& drive) {
    const DWORD uiThread = GetCurrentThreadId();
    bool appeared = false;
    std::thread driver([&] {
        const HWND dialog = WaitForDialog(uiThread);
        appeared = dialog != nullptr;
        if (!appeared)
            return;
        drive(dialog);
        // Keep a failed test from hanging in the modal loop.
        if (!WaitUntilGone(dialog))
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    open();
    driver.join();
    return appeared;
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

void PressEscape(HWND dialog) {
    const HWND focus = FocusOf(dialog);
    const HWND target = focus != nullptr ? focus : dialog;
    PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageA(target, WM_KEYUP, VK_ESCAPE, 0xC0010001);
}

// A dialog-unit rectangle in the dialog's client pixels; the dialog manager converts the
// position and the size separately.
RECT DialogUnits(HWND dialog, int x, int y, int width, int height) {
    RECT units{x, y, width, height};
    MapDialogRect(dialog, &units);
    return {units.left, units.top, units.left + units.right, units.top + units.bottom};
}

RECT ClientRectOf(HWND dialog, HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

::testing::AssertionResult SameRect(const RECT& expected, const RECT& actual) {
    if (expected.left == actual.left && expected.top == actual.top && expected.right == actual.right &&
        expected.bottom == actual.bottom) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "expected (" << expected.left << "," << expected.top << ")-("
                                         << expected.right << "," << expected.bottom << "), got (" << actual.left << ","
                                         << actual.top << ")-(" << actual.right << "," << actual.bottom << ")";
}

// Wine's rich edit reports a line break as a space, Windows' as a vertical tab: the text
// with a space where `expected` has a line break read as that line break.
std::string WithLineBreaksOf(const std::string& expected, std::string text) {
    for (std::size_t i = 0; i < expected.size() && i < text.size(); ++i) {
        if (expected[i] == '\v' && text[i] == ' ')
            text[i] = '\v';
    }
    return text;
}

// The staged About page's folder (Windows path, with a trailing backslash).
std::string StagedDataDirectory() {
    return QW_TEST_DATA_DIR "\\";
}

class AboutDlgTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_NE(nullptr, LoadLibraryA("RICHED20.DLL")); }

    void SetUp() override {
        owner = CreateWindowExA(0, "STATIC", "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 40, 800, 640, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, owner);
    }
    void TearDown() override { DestroyWindow(owner); }

    // Runs a CAboutDlg on `dataDirectory` over the owner window, driven by `drive`.
    INT_PTR Run(const std::string& dataDirectory, const std::function<void(HWND)>& drive) {
        CAboutDlg dialog(dataDirectory, [this](HWND, const std::string& target) { launched.push_back(target); });
        INT_PTR result = -2;
        EXPECT_TRUE(RunWhileDriving([&] { result = dialog.DoModal(owner); }, drive)) << "no About box appeared";
        EXPECT_EQ(nullptr, dialog.GetHwnd());
        return result;
    }

    // Presses and releases the left button over a character; returns how many links were
    // opened while the button was down.
    std::size_t Click(HWND page, LONG index) {
        const POINT at = CharacterPoint(page, index);
        const LPARAM position = MAKELPARAM(at.x + 2, at.y + 3);
        SendMessageA(page, WM_MOUSEMOVE, 0, position);
        SendMessageA(page, WM_LBUTTONDOWN, MK_LBUTTON, position);
        const std::size_t duringPress = launched.size();
        SendMessageA(page, WM_LBUTTONUP, 0, position);
        return duringPress;
    }

    HWND owner = nullptr;
    CScratchFolder folder;
    std::vector<std::string> launched;
};

TEST_F(AboutDlgTest, OpensTemplate100CentredOverItsOwnerAndClosesWithOk) {
    folder.WritePage("<b>Quellwick</b>");
    std::string caption, pageClass, okText;
    HWND dialogOwner = nullptr, focus = nullptr, okButton = nullptr;
    DWORD dialogStyle = 0, pageStyle = 0, okStyle = 0, frameStyle = 0, iconStyle = 0;
    LRESULT limit = 0, eventMask = 0, icon = 0;
    RECT client{}, expectedClient{}, page{}, expectedPage{}, frame{}, ok{}, expectedOk{}, iconRect{},
        expectedIconCorner{}, dialogRect{}, ownerRect{};

    const INT_PTR result = Run(folder.Path(), [&](HWND dialog) {
        caption = WindowText(dialog);
        dialogOwner = GetWindow(dialog, GW_OWNER);
        dialogStyle = static_cast<DWORD>(GetWindowLongPtrA(dialog, GWL_STYLE));
        GetClientRect(dialog, &client);
        expectedClient = DialogUnits(dialog, 0, 0, 290, 218);
        GetWindowRect(dialog, &dialogRect);
        GetWindowRect(owner, &ownerRect);

        const HWND pageWindow = GetDlgItem(dialog, IDC_ABOUT_PAGE);
        pageClass = ClassOf(pageWindow);
        pageStyle = static_cast<DWORD>(GetWindowLongPtrA(pageWindow, GWL_STYLE));
        page = ClientRectOf(dialog, pageWindow);
        expectedPage = DialogUnits(dialog, 7, 7, 220, 204);
        limit = SendMessageA(pageWindow, EM_GETLIMITTEXT, 0, 0);
        eventMask = SendMessageA(pageWindow, EM_GETEVENTMASK, 0, 0);

        okButton = GetDlgItem(dialog, IDOK);
        okText = WindowText(okButton);
        okStyle = static_cast<DWORD>(GetWindowLongPtrA(okButton, GWL_STYLE));
        ok = ClientRectOf(dialog, okButton);
        expectedOk = DialogUnits(dialog, 233, 197, 50, 14);
        focus = FocusOf(dialog);

        // The two controls without ids: the frame and the icon.
        for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            const auto style = static_cast<DWORD>(GetWindowLongPtrA(child, GWL_STYLE));
            if (ClassOf(child) == "Button" && (style & BS_TYPEMASK) == BS_GROUPBOX) {
                frameStyle = style;
                frame = ClientRectOf(dialog, child);
            } else if (ClassOf(child) == "Static") {
                iconStyle = style;
                iconRect = ClientRectOf(dialog, child);
                icon = SendMessageA(child, STM_GETICON, 0, 0);
            }
        }
        expectedIconCorner = DialogUnits(dialog, 16, 18, 0, 0);
        SendMessageA(okButton, BM_CLICK, 0, 0);
    });

    EXPECT_EQ(IDOK, result);
    EXPECT_EQ("About", caption);
    EXPECT_EQ(owner, dialogOwner);
    for (const DWORD bit : std::initializer_list<DWORD>{WS_POPUP, WS_CAPTION, WS_SYSMENU, DS_MODALFRAME})
        EXPECT_EQ(bit, dialogStyle & bit) << std::hex << bit;
    EXPECT_TRUE(SameRect(expectedClient, client));

    EXPECT_EQ("RichEdit20A", pageClass);
    for (const DWORD bit :
         std::initializer_list<DWORD>{WS_CHILD, WS_VISIBLE, WS_TABSTOP, ES_MULTILINE, ES_AUTOVSCROLL, ES_READONLY})
        EXPECT_EQ(bit, pageStyle & bit) << std::hex << bit;
    EXPECT_EQ(0, pageStyle & ES_AUTOHSCROLL);
    EXPECT_TRUE(SameRect(expectedPage, page));
    EXPECT_TRUE(SameRect(expectedPage, frame)) << "the page fills the frame";
    EXPECT_NE(0, frameStyle);
    EXPECT_EQ(10000, limit);
    EXPECT_EQ(static_cast<LRESULT>(ENM_LINK | ENM_SELCHANGE), eventMask);

    EXPECT_EQ("OK", okText);
    EXPECT_EQ(BS_DEFPUSHBUTTON, okStyle & BS_TYPEMASK);
    EXPECT_TRUE(okStyle & WS_TABSTOP);
    EXPECT_TRUE(SameRect(expectedOk, ok));
    EXPECT_EQ(okButton, focus) << "the system gives the focus to the first tab stop";

    EXPECT_EQ(SS_ICON, iconStyle & SS_TYPEMASK);
    EXPECT_NE(0, icon) << "icon 128";
    EXPECT_EQ(expectedIconCorner.left, iconRect.left);
    EXPECT_EQ(expectedIconCorner.top, iconRect.top);

    const LONG dialogCentreX = (dialogRect.left + dialogRect.right) / 2;
    const LONG dialogCentreY = (dialogRect.top + dialogRect.bottom) / 2;
    EXPECT_NEAR((ownerRect.left + ownerRect.right) / 2, dialogCentreX, 1);
    EXPECT_NEAR((ownerRect.top + ownerRect.bottom) / 2, dialogCentreY, 1);
}

TEST_F(AboutDlgTest, ShowsThePageOnItsBackgroundAndOpensOnlyWebAndMailLinks) {
    folder.WritePage(
        "<body bgcolor=\"#ffffe0\"><b>Quellwick</b> 1.0.0<br>"
        "Visit <a href=\"HTTPS://Example.ORG/Moon\">the site</a>, "
        "<a href=\"c:\\windows\\system32\\notepad.exe\">notepad</a>, "
        "<a href=\"file:///c:/windows/win.ini\">a file</a> or "
        "<a href=\"mailto:moon@example.org\">mail</a>.</body>");
    std::string text, windowText;
    std::vector<TextRun> runs;
    std::vector<std::size_t> openedDuringPress, openedAfterClick;
    std::size_t openedByWideRange = 0, openedByPressNotice = 0;
    COLORREF background = 0, topPixel = 0, bottomPixel = 0;

    const INT_PTR result = Run(folder.Path(), [&](HWND dialog) {
        const HWND page = GetDlgItem(dialog, IDC_ABOUT_PAGE);
        RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        RECT client{};
        GetClientRect(page, &client);
        HDC dc = GetDC(page);
        topPixel = GetPixel(dc, client.right - 3, 3);
        bottomPixel = GetPixel(dc, client.right / 2, client.bottom - 4);
        ReleaseDC(page, dc);

        text = ControlText(page);
        windowText = WindowText(page);
        runs = LinkRuns(page);
        background = BackgroundColor(page);
        for (const TextRun& run : runs) {
            openedDuringPress.push_back(Click(page, run.first + 1));
            openedAfterClick.push_back(launched.size());
        }
        // A range over two links, and a press rather than a release, open nothing.
        if (runs.size() == 4) {
            for (const UINT message : {static_cast<UINT>(WM_LBUTTONUP), static_cast<UINT>(WM_LBUTTONDOWN)}) {
                ENLINK notice{};
                notice.nmhdr = {page, IDC_ABOUT_PAGE, EN_LINK};
                notice.msg = message;
                notice.chrg = message == WM_LBUTTONUP ? CHARRANGE{runs[0].first, runs[3].end}
                                                      : CHARRANGE{runs[0].first, runs[0].end};
                const std::size_t before = launched.size();
                SendMessageA(dialog, WM_NOTIFY, IDC_ABOUT_PAGE, reinterpret_cast<LPARAM>(&notice));
                (message == WM_LBUTTONUP ? openedByWideRange : openedByPressNotice) = launched.size() - before;
            }
        }
        PressEscape(dialog);
    });

    EXPECT_EQ(IDCANCEL, result);
    const std::string expectedText = "Quellwick 1.0.0\vVisit the site, notepad, a file or mail.";
    EXPECT_EQ(expectedText, WithLineBreaksOf(expectedText, text));
    EXPECT_EQ(text, windowText);
    EXPECT_EQ(RGB(255, 255, 224), background);
    EXPECT_EQ(RGB(255, 255, 224), topPixel) << "background beside the text";
    EXPECT_EQ(RGB(255, 255, 224), bottomPixel) << "background below the text";

    ASSERT_EQ(4u, runs.size());
    EXPECT_EQ("the site", runs[0].text);
    EXPECT_EQ("notepad", runs[1].text);
    EXPECT_EQ("a file", runs[2].text);
    EXPECT_EQ("mail", runs[3].text);
    ASSERT_EQ(4u, openedDuringPress.size());
    EXPECT_EQ(0u, openedDuringPress[0]) << "pressing the button opens nothing";
    EXPECT_EQ((std::vector<std::size_t>{1, 1, 1, 2}), openedAfterClick);
    EXPECT_EQ((std::vector<std::string>{"https://example.org/moon", "mailto:moon@example.org"}), launched);
    EXPECT_EQ(0u, openedByWideRange);
    EXPECT_EQ(0u, openedByPressNotice);
}

TEST_F(AboutDlgTest, WithoutAPageOpensEmptyAndClosesFromTheCloseBox) {
    std::string text = "unread";
    COLORREF background = 0, expected = 1;
    const INT_PTR result = Run(folder.Path(), [&](HWND dialog) {
        const HWND page = GetDlgItem(dialog, IDC_ABOUT_PAGE);
        text = WindowText(page);
        background = BackgroundColor(page);
        HDC dc = GetWindowDC(page);
        expected = GetBkColor(dc);
        ReleaseDC(page, dc);
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ("", text);
    EXPECT_EQ(expected, background);
}

TEST_F(AboutDlgTest, ABrokenPageLeavesTheControlEmpty) {
    folder.WritePage("<body bgcolor=\"#ff0000\">Quellwick</font></body>");
    std::string text = "unread";
    const INT_PTR result = Run(folder.Path(), [&](HWND dialog) {
        text = WindowText(GetDlgItem(dialog, IDC_ABOUT_PAGE));
        SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ("", text);
}

TEST_F(AboutDlgTest, HoldsAtMost10000Characters) {
    std::string page;
    for (int i = 0; i < 12000; ++i)
        page += static_cast<char>('a' + i % 26);
    folder.WritePage(page);
    std::string text;
    Run(folder.Path(), [&](HWND dialog) {
        text = ControlText(GetDlgItem(dialog, IDC_ABOUT_PAGE));
        PressEscape(dialog);
    });
    EXPECT_EQ(10000u, text.size());
    EXPECT_EQ(page.substr(0, 10000), text);
}

TEST_F(AboutDlgTest, ShowAboutBoxIsOwnedByTheActiveWindow) {
    SetForegroundWindow(owner);
    SetActiveWindow(owner);
    ASSERT_EQ(owner, GetActiveWindow());
    HWND dialogOwner = nullptr;
    EXPECT_TRUE(RunWhileDriving([&] { ShowAboutBox(folder.Path()); },
                                [&](HWND dialog) {
                                    dialogOwner = GetWindow(dialog, GW_OWNER);
                                    PressEscape(dialog);
                                }));
    EXPECT_EQ(owner, dialogOwner);
}

// The product's own page, as staged beside the program.
TEST_F(AboutDlgTest, TheAboutPageShowsItsCreditsAndLinks) {
    std::string text;
    std::vector<TextRun> runs;
    COLORREF background = 0;
    const INT_PTR result = Run(StagedDataDirectory(), [&](HWND dialog) {
        const HWND page = GetDlgItem(dialog, IDC_ABOUT_PAGE);
        // QW_HOLD_ABOUT_MS keeps the box on screen for a screenshot.
        if (const char* hold = std::getenv("QW_HOLD_ABOUT_MS"))
            Sleep(static_cast<DWORD>(std::atol(hold)));
        text = ControlText(page);
        runs = LinkRuns(page);
        background = BackgroundColor(page);
        for (const TextRun& run : runs)
            Click(page, run.first);
        SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(IDOK, result);
    const std::string heading = "Quellwick\vVersion 1.0.0";
    EXPECT_EQ(heading, WithLineBreaksOf(heading, text.substr(0, heading.size())));
    for (const char* part :
         {"Right-click the icon", "Open...", "About...", "Annotation", "Exit", "USGS Astrogeology Research Program",
          "Clementine", "public domain", "DejaVu", "\xA9 2026", "MIT licence"}) {
        EXPECT_NE(std::string::npos, text.find(part)) << part;
    }
    EXPECT_LT(text.size(), 10000u);
    EXPECT_EQ(RGB(255, 255, 240), background);

    std::vector<std::string> runTexts;
    for (const TextRun& run : runs)
        runTexts.push_back(run.text);
    EXPECT_EQ((std::vector<std::string>{"USGS Astrogeology Research Program", "Clementine", "DejaVu", "MIT licence"}),
              runTexts);
    EXPECT_EQ((std::vector<std::string>{"https://astrogeology.usgs.gov/",
                                        "https://nssdc.gsfc.nasa.gov/planetary/clementine.html",
                                        "https://dejavu-fonts.github.io/", "https://opensource.org/licenses/mit"}),
              launched);
}

}  // namespace
