// The About box run modally, as the user meets it: a second thread finds the
// dialog, checks what it shows, clicks and presses keys, and closes it.
#include <richedit.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "about/about_dlg.h"
#include "resources/about_ids.h"
#include "rich_edit_probe.h"

namespace {

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

LONG_PTR Style(HWND window) {
    return GetWindowLongPtrA(window, GWL_STYLE);
}

// Polls `done` for up to thirty seconds: the emulated 32-bit program is slow to start.
bool WaitFor(const std::function<bool()>& done) {
    for (int waited = 0; waited < 30000; waited += 20) {
        if (done())
            return true;
        Sleep(20);
    }
    return false;
}

BOOL CALLBACK FindVisibleDialog(HWND window, LPARAM found) {
    if (ClassOf(window) != "#32770" || !IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// Runs `open` (which shows the About box modally) on this thread while `drive`
// acts on the dialog from another thread; `drive` is expected to close it.
// Returns false when no dialog appeared.
bool RunWhileDriving(const std::function<void()>& open, const std::function<void(HWND)>& drive) {
    const DWORD uiThread = GetCurrentThreadId();
    HWND dialog = nullptr;
    std::thread driver([&] {
        if (!WaitFor([&] {
                EnumThreadWindows(uiThread, FindVisibleDialog, reinterpret_cast<LPARAM>(&dialog));
                return dialog != nullptr;
            }))
            return;
        drive(dialog);
        // Keep a failed test from hanging in the modal loop.
        if (!WaitFor([&] { return !IsWindow(dialog); }))
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    open();
    driver.join();
    return dialog != nullptr;
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

std::array<LONG, 4> Corners(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

// A dialog-unit rectangle in the dialog's client pixels; the dialog manager
// converts the position and the size separately.
std::array<LONG, 4> DialogUnits(HWND dialog, int x, int y, int width, int height) {
    RECT units{x, y, width, height};
    MapDialogRect(dialog, &units);
    return {units.left, units.top, units.left + units.right, units.top + units.bottom};
}

std::array<LONG, 4> ClientCorners(HWND dialog, HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return Corners(rect);
}

// Wine's rich edit reports a line break as a space, Windows' as a vertical tab:
// the text with a space where `expected` has a line break read as that line
// break.
std::string WithLineBreaksOf(const std::string& expected, std::string text) {
    for (std::size_t i = 0; i < expected.size() && i < text.size(); ++i) {
        if (expected[i] == '\v' && text[i] == ' ')
            text[i] = '\v';
    }
    return text;
}

class AboutDlgTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_NE(nullptr, LoadLibraryA("RICHED20.DLL")); }

    void SetUp() override {
        owner = CreateWindowExA(0, "STATIC", "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 40, 800, 640, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, owner);
        // While Wine's desktop is still starting up it may place a new window elsewhere;
        // the dialog is measured against where its owner really is, so settle that first.
        const std::array<LONG, 4> requested{60, 40, 860, 680};
        EXPECT_TRUE(WaitFor([&] {
            RECT box{};
            GetWindowRect(owner, &box);
            if (Corners(box) == requested)
                return true;
            SetWindowPos(owner, nullptr, 60, 40, 800, 640, SWP_NOZORDER | SWP_NOACTIVATE);
            return false;
        })) << "the owner window never reached its place";
    }
    void TearDown() override { DestroyWindow(owner); }

    // Runs a CAboutDlg on `dataDirectory` over the owner window, driven by
    // `drive`.
    INT_PTR Run(const std::string& dataDirectory, const std::function<void(HWND)>& drive) {
        CAboutDlg dialog(dataDirectory, [this](HWND, const std::string& target) { launched.push_back(target); });
        INT_PTR result = -2;
        EXPECT_TRUE(RunWhileDriving([&] { result = dialog.DoModal(owner); }, drive)) << "no About box appeared";
        EXPECT_EQ(nullptr, dialog.GetHwnd());
        return result;
    }

    // Presses and releases the left button over a character; returns how many
    // links were opened while the button was down.
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
    const INT_PTR result = Run(folder.Path(), [&](HWND dialog) {
        EXPECT_EQ("About", WindowText(dialog));
        EXPECT_EQ(owner, GetWindow(dialog, GW_OWNER));
        const LONG_PTR frameStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        EXPECT_EQ(frameStyle, Style(dialog) & frameStyle);
        RECT client{}, box{}, ownerBox{};
        GetClientRect(dialog, &client);
        EXPECT_EQ(DialogUnits(dialog, 0, 0, 290, 218), Corners(client));
        GetWindowRect(dialog, &box);
        GetWindowRect(owner, &ownerBox);
        EXPECT_NEAR((ownerBox.left + ownerBox.right) / 2, (box.left + box.right) / 2, 1);
        EXPECT_NEAR((ownerBox.top + ownerBox.bottom) / 2, (box.top + box.bottom) / 2, 1);

        const HWND page = GetDlgItem(dialog, IDC_ABOUT_PAGE);
        const LONG_PTR pageStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY;
        EXPECT_TRUE(ClassOf(page) == "RichEdit20A" && (Style(page) & pageStyle) == pageStyle);
        EXPECT_EQ(DialogUnits(dialog, 7, 7, 220, 204), ClientCorners(dialog, page));
        EXPECT_EQ(10000, SendMessageA(page, EM_GETLIMITTEXT, 0, 0));
        const HWND ok = GetDlgItem(dialog, IDOK);
        EXPECT_TRUE(WindowText(ok) == "OK" && (Style(ok) & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
        EXPECT_EQ(DialogUnits(dialog, 233, 197, 50, 14), ClientCorners(dialog, ok));
        EXPECT_EQ(ok, FocusOf(dialog)) << "the system gives the focus to the first tab stop";

        // The frame that the page fills, and icon 128, have no ids.
        int frames = 0, icons = 0;
        for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            frames += ClassOf(child) == "Button" && (Style(child) & BS_TYPEMASK) == BS_GROUPBOX;
            icons += ClassOf(child) == "Static" && SendMessageA(child, STM_GETICON, 0, 0) != 0;
        }
        EXPECT_TRUE(frames == 1 && icons == 1);
        SendMessageA(ok, BM_CLICK, 0, 0);
    });
    EXPECT_EQ(IDOK, result);
}

TEST_F(AboutDlgTest, OpensOnlyWebAndMailLinksAndOnlyOnRelease) {
    folder.WritePage(
        "<body bgcolor=\"#ffffe0\"><b>Quellwick</b> 1.0.0<br>"
        "Visit <a href=\"HTTPS://Example.ORG/Moon\">the site</a>, "
        "<a href=\"c:\\windows\\system32\\notepad.exe\">notepad</a>, "
        "<a href=\"file:///c:/windows/win.ini\">a file</a> or "
        "<a href=\"mailto:moon@example.org\">mail</a>.</body>");
    std::vector<std::string> runTexts;
    std::vector<std::size_t> openedAfterClick;
    const INT_PTR result = Run(folder.Path(), [&](HWND dialog) {
        const HWND page = GetDlgItem(dialog, IDC_ABOUT_PAGE);
        const std::vector<TextRun> runs = LinkRuns(page);
        for (const TextRun& run : runs) {
            runTexts.push_back(run.text);
            const std::size_t before = launched.size();
            EXPECT_EQ(before, Click(page, run.first + 1)) << "pressing the button opens nothing";
            openedAfterClick.push_back(launched.size());
        }
        // A range over two links, and a press rather than a release, open nothing.
        if (runs.size() == 4) {
            for (const UINT message : {static_cast<UINT>(WM_LBUTTONUP), static_cast<UINT>(WM_LBUTTONDOWN)}) {
                ENLINK notice{};
                notice.nmhdr = {page, IDC_ABOUT_PAGE, EN_LINK};
                notice.msg = message;
                notice.chrg = {runs[0].first, message == WM_LBUTTONUP ? runs[3].end : runs[0].end};
                const std::size_t before = launched.size();
                SendMessageA(dialog, WM_NOTIFY, IDC_ABOUT_PAGE, reinterpret_cast<LPARAM>(&notice));
                EXPECT_EQ(before, launched.size()) << (message == WM_LBUTTONUP ? "a range over two links" : "a press");
            }
        }
        PressEscape(dialog);
    });

    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ((std::vector<std::string>{"the site", "notepad", "a file", "mail"}), runTexts);
    EXPECT_EQ((std::vector<std::size_t>{1, 1, 1, 2}), openedAfterClick);
    EXPECT_EQ((std::vector<std::string>{"HTTPS://Example.ORG/Moon", "mailto:moon@example.org"}), launched);
}

TEST_F(AboutDlgTest, AMissingOrBrokenPageLeavesTheControlEmpty) {
    // No page, closed from the close box.
    EXPECT_EQ(IDCANCEL, Run(folder.Path(), [&](HWND dialog) {
                  const HWND page = GetDlgItem(dialog, IDC_ABOUT_PAGE);
                  EXPECT_EQ("", WindowText(page));
                  HDC dc = GetWindowDC(page);
                  EXPECT_EQ(GetBkColor(dc), BackgroundColor(page)) << "the control's own colours";
                  ReleaseDC(page, dc);
                  PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
              }));
    // A page that does not convert.
    folder.WritePage("<body bgcolor=\"#ff0000\">Quellwick</font></body>");
    EXPECT_EQ(IDOK, Run(folder.Path(), [&](HWND dialog) {
                  EXPECT_EQ("", WindowText(GetDlgItem(dialog, IDC_ABOUT_PAGE)));
                  SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
              }));
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
    std::vector<std::string> runTexts;
    const INT_PTR result = Run(QW_TEST_DATA_DIR "\\", [&](HWND dialog) {
        const HWND page = GetDlgItem(dialog, IDC_ABOUT_PAGE);
        // QW_HOLD_ABOUT_MS keeps the box on screen for a screenshot.
        if (const char* hold = std::getenv("QW_HOLD_ABOUT_MS"))
            Sleep(static_cast<DWORD>(std::atol(hold)));
        text = ControlText(page);
        EXPECT_EQ(RGB(255, 255, 240), BackgroundColor(page));
        for (const TextRun& run : LinkRuns(page)) {
            runTexts.push_back(run.text);
            Click(page, run.first);
        }
        SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(IDOK, result);
    const std::string heading = "Quellwick\vVersion 1.0.0";
    EXPECT_EQ(heading, WithLineBreaksOf(heading, text.substr(0, heading.size())));
    for (const char* part : {"Right-click the icon", "public domain", "\xA9 2026"})
        EXPECT_NE(std::string::npos, text.find(part)) << part;
    EXPECT_EQ((std::vector<std::string>{"USGS Astrogeology Research Program", "Clementine", "DejaVu", "MIT licence"}),
              runTexts);
    EXPECT_EQ((std::vector<std::string>{"https://astrogeology.usgs.gov/",
                                        "https://nssdc.gsfc.nasa.gov/planetary/clementine.html",
                                        "https://dejavu-fonts.github.io/", "https://opensource.org/licenses/MIT"}),
              launched);
}

}  // namespace
