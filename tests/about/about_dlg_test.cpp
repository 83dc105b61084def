// The About box run modally, as the user meets it: a second thread finds the
// dialog, checks what it shows, clicks and presses keys, and closes it.
#include <richedit.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "about/about_dlg.h"
#include "resources/about_ids.h"
#include "tests/common/win_test_support.h"

using namespace wintest;

namespace {

// The maximal runs of characters that carry the link effect, read back through messages
// (which work from the driving thread).
struct TextRun {
    LONG first, end;
    std::string text;
};

std::vector<TextRun> LinkRuns(HWND page) {
    // Paragraph ends as single carriage returns, as the control counts characters.
    std::string text(static_cast<std::size_t>(SendMessageA(page, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
    GETTEXTEX request{static_cast<DWORD>(text.size()), GT_DEFAULT, CP_ACP, nullptr, nullptr};
    text.resize(static_cast<std::size_t>(
        SendMessageA(page, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request), reinterpret_cast<LPARAM>(text.data()))));
    std::vector<TextRun> runs;
    LONG start = -1;
    const LONG length = static_cast<LONG>(text.size());
    for (LONG i = 0; i <= length; ++i) {
        CHARRANGE range{i, i + 1};
        SendMessageA(page, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        CHARFORMAT2A format{};
        format.cbSize = sizeof format;
        SendMessageA(page, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        const bool link = i < length && (format.dwEffects & CFE_LINK) != 0;
        if (link && start < 0)
            start = i;
        if (!link && start >= 0) {
            runs.push_back({start, i, text.substr(start, i - start)});
            start = -1;
        }
    }
    return runs;
}

// The control's background colour (set and restored, since the control has no getter).
COLORREF BackgroundColor(HWND page) {
    const auto previous = static_cast<COLORREF>(SendMessageA(page, EM_SETBKGNDCOLOR, 0, RGB(1, 2, 3)));
    SendMessageA(page, EM_SETBKGNDCOLOR, 0, previous);
    return previous;
}

// Runs `open` (which shows the About box modally) on this thread while `drive`
// acts on the dialog from another thread; `drive` is expected to close it.
// Returns false when no dialog appeared.
bool RunWhileDriving(const std::function<void()>& open, const std::function<void(HWND)>& drive) {
    HWND dialog = nullptr;
    std::thread driver([&] {
        if (!WaitFor([&] {
                dialog = FindWindowA("#32770", "About");
                return dialog && IsWindowVisible(dialog);
            })) {
            dialog = nullptr;
            return;
        }
        drive(dialog);
        // Keep a failed test from hanging in the modal loop.
        if (!WaitFor([&] { return !IsWindow(dialog); }))
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    open();
    driver.join();
    return dialog != nullptr;
}

// Escape as the keyboard delivers it: to the window with the focus.
void PressEscape(HWND dialog) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
    const HWND target = info.hwndFocus != nullptr ? info.hwndFocus : dialog;
    PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageA(target, WM_KEYUP, VK_ESCAPE, 0xC0010001);
}

class AboutDlgTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_NE(nullptr, LoadLibraryA("RICHED20.DLL")); }
    void SetUp() override { ASSERT_TRUE(owner.Get()); }

    void WritePage(const std::string& html) { ASSERT_TRUE(WriteFileBytes(folder.Path("about.html"), html)); }

    // Runs a CAboutDlg on the scratch folder over the owner window, driven by `drive`.
    INT_PTR Run(const std::function<void(HWND)>& drive) {
        CAboutDlg dialog(folder.Folder() + "\\",
                         [this](HWND, const std::string& target) { launched.push_back(target); });
        INT_PTR result = -2;
        EXPECT_TRUE(RunWhileDriving([&] { result = dialog.DoModal(owner.Get()); }, drive)) << "no About box appeared";
        EXPECT_EQ(nullptr, dialog.GetHwnd());
        return result;
    }

    // Presses and releases the left button over a character; returns how many
    // links were opened while the button was down.
    std::size_t Click(HWND page, LONG index) {
        POINTL at{};
        SendMessageA(page, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), index);
        const LPARAM position = MAKELPARAM(at.x + 2, at.y + 3);
        SendMessageA(page, WM_MOUSEMOVE, 0, position);
        SendMessageA(page, WM_LBUTTONDOWN, MK_LBUTTON, position);
        const std::size_t duringPress = launched.size();
        SendMessageA(page, WM_LBUTTONUP, 0, position);
        return duringPress;
    }

    COwnerWindow owner;
    CScratchFolder folder{"qw_about"};
    std::vector<std::string> launched;
};

TEST_F(AboutDlgTest, ShowsNothingForAMissingOrBrokenPageAndOpensOnlyWebAndMailLinksOnRelease) {
    // No page, closed from the close box.
    EXPECT_EQ(IDCANCEL, Run([&](HWND dialog) {
                  EXPECT_EQ("", WindowTextOf(GetDlgItem(dialog, IDC_ABOUT_PAGE)));
                  PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
              }));
    // A page that does not convert; OK closes the box.
    WritePage("<body bgcolor=\"#ff0000\">Quellwick</font></body>");
    EXPECT_EQ(IDOK, Run([&](HWND dialog) {
                  EXPECT_EQ("", WindowTextOf(GetDlgItem(dialog, IDC_ABOUT_PAGE)));
                  SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
              }));

    WritePage(
        "<body bgcolor=\"#ffffe0\"><b>Quellwick</b> 1.0.0<br>"
        "Visit <a href=\"HTTPS://Example.ORG/Moon\">the site</a>, "
        "<a href=\"c:\\windows\\system32\\notepad.exe\">notepad</a> or "
        "<a href=\"mailto:moon@example.org\">mail</a>.</body>");
    std::vector<std::string> runTexts;
    std::vector<std::size_t> openedAfterClick;
    const INT_PTR result = Run([&](HWND dialog) {
        const HWND page = GetDlgItem(dialog, IDC_ABOUT_PAGE);
        EXPECT_EQ(RGB(255, 255, 224), BackgroundColor(page));
        const std::vector<TextRun> runs = LinkRuns(page);
        for (const TextRun& run : runs) {
            runTexts.push_back(run.text);
            const std::size_t before = launched.size();
            EXPECT_EQ(before, Click(page, run.first + 1)) << "pressing the button opens nothing";
            openedAfterClick.push_back(launched.size());
        }
        // A release over a range of two links opens neither.
        if (runs.size() == 3) {
            ENLINK notice{};
            notice.nmhdr = {page, IDC_ABOUT_PAGE, EN_LINK};
            notice.msg = WM_LBUTTONUP;
            notice.chrg = {runs[0].first, runs[2].end};
            const std::size_t before = launched.size();
            SendMessageA(dialog, WM_NOTIFY, IDC_ABOUT_PAGE, reinterpret_cast<LPARAM>(&notice));
            EXPECT_EQ(before, launched.size()) << "a range over two links";
        }
        PressEscape(dialog);
    });

    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ((std::vector<std::string>{"the site", "notepad", "mail"}), runTexts);
    EXPECT_EQ((std::vector<std::size_t>{1, 1, 2}), openedAfterClick);
    EXPECT_EQ((std::vector<std::string>{"HTTPS://Example.ORG/Moon", "mailto:moon@example.org"}), launched);
}

}  // namespace
