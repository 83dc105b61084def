// The About box of the running program, opened from the notification icon's menu.
#include <gtest/gtest.h>

#include <windows.h>
#include <richedit.h>

#include <fstream>
#include <string>

#include "resources/about_ids.h"
#include "resources/app_messages.h"
#include "tests/e2e/quellwick_session.h"

using namespace e2e;

namespace {

constexpr char kCatalogue[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<Quellwicks><Quellwick paper=\"moon.png\" phase=\"100\" ann=\"\" title=\"Full\">Full</Quellwick></Quellwicks>\n";

constexpr char kPage[] =
    "<body bgcolor=\"#ffffe0\"><b>Quellwick</b> 1.0.0\n"
    "<p>See <a href=\"https://example.org/\">the site</a> or <a href=\"c:\\windows\\notepad.exe\">this</a>.</body>";
constexpr char kPageText[] = "Quellwick 1.0.0 \r\n\r\nSee the site or this.";

// Whether the characters first .. end - 1 are drawn underlined, as links are: some row
// below their tops is covered from the first one's left edge to the next one's without a
// gap. Positions are asked by value, so nothing has to be written into the program's
// memory, which an emulated 32-bit Wine cannot do across processes.
bool RangeIsUnderlined(HWND control, LONG first, LONG end) {
    const auto from = static_cast<DWORD>(SendMessageA(control, EM_POSFROMCHAR, first, 0));
    const auto to = static_cast<DWORD>(SendMessageA(control, EM_POSFROMCHAR, end, 0));
    const ScreenCapture page = CaptureClient(control);
    const Gdiplus::ARGB background = CapturedAt(page, 1, 1);
    for (int y = static_cast<short>(HIWORD(from)); y < static_cast<short>(HIWORD(from)) + 40; ++y) {
        int x = static_cast<short>(LOWORD(from));
        while (x < static_cast<short>(LOWORD(to)) && CapturedAt(page, x, y) != background)
            ++x;
        if (x >= static_cast<short>(LOWORD(to)) && LOWORD(to) > LOWORD(from))
            return true;
    }
    return false;
}

std::string ControlText(HWND control) {
    std::string text(static_cast<std::size_t>(SendMessageA(control, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        SendMessageA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

COLORREF BackgroundColor(HWND control) {
    const auto previous = static_cast<COLORREF>(SendMessageA(control, EM_SETBKGNDCOLOR, 0, RGB(1, 2, 3)));
    SendMessageA(control, EM_SETBKGNDCOLOR, 0, previous);
    return previous;
}

class AboutEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(EnterVirtualDesktop()) << "the virtual desktop did not start";
        ASSERT_TRUE(layout.IsReady()) << "cannot lay out the staged program";
        RemoveSettingsKey();
        std::ofstream(layout.DataPath("Quellwicks.xml"), std::ios::binary) << kCatalogue;
    }
    void TearDown() override { RemoveSettingsKey(); }

    // Chooses "About..." from the icon's menu and waits for the box.
    static HWND OpenAbout(HWND tray, DWORD processId) {
        PostMessageA(tray, WM_TRAYNOTIFY, 0, WM_RBUTTONUP);
        HWND menu = nullptr;
        if (!WaitFor([&] { return (menu = FindProcessWindow(processId, "#32768", nullptr)) && IsWindowVisible(menu); },
                     5000)) {
            return nullptr;
        }
        Sleep(300);
        for (WORD key : {VK_DOWN, VK_DOWN, VK_RETURN})  // "Open..." comes first
            PressKey(key);
        HWND dialog = nullptr;
        WaitFor([&] { return (dialog = FindProcessWindow(processId, "#32770", "About")) && IsWindowVisible(dialog); },
                5000);
        return dialog;
    }

    CInstalledLayout layout;
};

// The page is read each time the box opens, so one program shows all three pages.
TEST_F(AboutEndToEnd, OpensFromTheMenuWithThePageAsOnDiskAndClosesWithEscOrOk) {
    std::ofstream(layout.DataPath("about.html"), std::ios::binary) << kPage;
    CQuellwickProcess program(layout.ProgramPath());
    const HWND tray = program.WaitForTrayWindow(10000);
    ASSERT_TRUE(tray);

    HWND dialog = OpenAbout(tray, program.Id());
    ASSERT_TRUE(dialog) << "no About box";
    const HWND page = GetDlgItem(dialog, IDC_ABOUT_PAGE);
    EXPECT_EQ(kPageText, ControlText(page));
    EXPECT_EQ(RGB(255, 255, 224), BackgroundColor(page));
    // "the site" and "this", counted with single-character paragraph ends.
    EXPECT_TRUE(RangeIsUnderlined(page, 22, 30));
    EXPECT_TRUE(RangeIsUnderlined(page, 34, 38));
    EXPECT_FALSE(RangeIsUnderlined(page, 18, 22)) << "\"See \" is no link";
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == dialog; }, 3000)) << "the box is not in front";
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, 5000)) << "Escape did not close the box";

    // Without a page the box opens empty; a long page is cut at 10000 characters.
    std::string longPage;
    for (int i = 0; i < 12000; ++i)
        longPage += static_cast<char>('a' + i % 26);
    for (const std::string& shown : {std::string(), longPage}) {
        DeleteFileA(layout.DataPath("about.html").c_str());
        if (!shown.empty())
            std::ofstream(layout.DataPath("about.html"), std::ios::binary) << shown;
        dialog = OpenAbout(tray, program.Id());
        ASSERT_TRUE(dialog) << "no About box with a page of " << shown.size();
        EXPECT_EQ(shown.substr(0, 10000), ControlText(GetDlgItem(dialog, IDC_ABOUT_PAGE)));
        SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, 5000)) << "OK did not close the box";
    }
    PostMessageA(tray, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program.WaitForExit(10000));
}

}  // namespace
