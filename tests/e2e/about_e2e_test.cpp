// The About box of the running program, opened from the notification icon's menu.
#include <gtest/gtest.h>

#include <windows.h>
#include <richedit.h>

#include <fstream>
#include <string>

#include "about/about_resource.h"
#include "app/app_messages.h"
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

// Memory inside another process, for the rich-edit messages whose records the system
// does not carry across processes.
class CRemoteBuffer {
public:
    CRemoteBuffer(DWORD processId, SIZE_T size)
        : process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId)) {
        if (process != nullptr)
            address = VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~CRemoteBuffer() {
        if (address != nullptr)
            VirtualFreeEx(process, address, 0, MEM_RELEASE);
        if (process != nullptr)
            CloseHandle(process);
    }
    CRemoteBuffer(const CRemoteBuffer&) = delete;
    CRemoteBuffer& operator=(const CRemoteBuffer&) = delete;

    LPARAM Address() const { return reinterpret_cast<LPARAM>(address); }
    template <typename T>
    bool Write(const T& value) const {
        return WriteProcessMemory(process, address, &value, sizeof value, nullptr) != FALSE;
    }
    template <typename T>
    bool Read(T* value) const {
        return ReadProcessMemory(process, address, value, sizeof *value, nullptr) != FALSE;
    }

private:
    HANDLE process;
    void* address = nullptr;
};

// Whether every character of the range carries the link effect and an underline.
bool RangeIsMarkedLink(HWND control, DWORD processId, LONG first, LONG end) {
    CRemoteBuffer remote(processId, sizeof(CHARFORMAT2A));
    const CHARRANGE range{first, end};
    if (!remote.Write(range))
        return false;
    SendMessageA(control, EM_EXSETSEL, 0, remote.Address());
    CHARFORMAT2A format{};
    format.cbSize = sizeof format;
    if (!remote.Write(format))
        return false;
    SendMessageA(control, EM_GETCHARFORMAT, SCF_SELECTION, remote.Address());
    if (!remote.Read(&format))
        return false;
    const DWORD both = CFE_LINK | CFE_UNDERLINE;
    return (format.dwMask & CFM_LINK) && (format.dwMask & CFM_UNDERLINE) && (format.dwEffects & both) == both;
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

    void WritePage(const std::string& page) { std::ofstream(layout.DataPath("about.html"), std::ios::binary) << page; }

    // Chooses "About..." from the icon's menu and waits for the box.
    HWND OpenAbout(HWND tray, DWORD processId) {
        PostMessageA(tray, WM_TRAYNOTIFY, 0, WM_RBUTTONUP);
        HWND menu = nullptr;
        if (!WaitFor([&] { return (menu = FindProcessWindow(processId, "#32768", nullptr)) && IsWindowVisible(menu); },
                     5000)) {
            return nullptr;
        }
        Sleep(300);
        // Down to the second command ("Open..." is the first).
        for (WORD key : {VK_DOWN, VK_DOWN, VK_RETURN})
            PressKey(key);
        HWND dialog = nullptr;
        WaitFor([&] { return (dialog = FindProcessWindow(processId, "#32770", "About")) && IsWindowVisible(dialog); },
                5000);
        return dialog;
    }

    void Close(CQuellwickProcess& program, HWND tray) {
        PostMessageA(tray, WM_CLOSE, 0, 0);
        EXPECT_EQ(0u, program.WaitForExit(10000));
    }

    CInstalledLayout layout;
};

TEST_F(AboutEndToEnd, TheMenuOpensThePageWithItsLinksAndEscapeOrOkCloseIt) {
    WritePage(kPage);
    CQuellwickProcess program(layout.ProgramPath());
    const HWND tray = program.WaitForTrayWindow(10000);
    ASSERT_TRUE(tray);

    HWND dialog = OpenAbout(tray, program.Id());
    ASSERT_TRUE(dialog) << "no About box";
    const HWND page = GetDlgItem(dialog, IDC_ABOUT_PAGE);
    EXPECT_EQ(kPageText, ControlText(page));
    EXPECT_EQ(RGB(255, 255, 224), BackgroundColor(page));
    // "the site" and "this", counted with single-character paragraph ends.
    EXPECT_TRUE(RangeIsMarkedLink(page, program.Id(), 22, 30));
    EXPECT_TRUE(RangeIsMarkedLink(page, program.Id(), 34, 38));
    EXPECT_FALSE(RangeIsMarkedLink(page, program.Id(), 18, 22)) << "\"See \" is no link";

    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == dialog; }, 3000)) << "the box is not in front";
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, 5000)) << "Escape did not close the box";

    dialog = OpenAbout(tray, program.Id());
    ASSERT_TRUE(dialog) << "no About box the second time";
    SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, 5000)) << "OK did not close the box";
    Close(program, tray);
}

TEST_F(AboutEndToEnd, WithoutAPageTheBoxOpensEmpty) {
    CQuellwickProcess program(layout.ProgramPath());
    const HWND tray = program.WaitForTrayWindow(10000);
    ASSERT_TRUE(tray);
    const HWND dialog = OpenAbout(tray, program.Id());
    ASSERT_TRUE(dialog) << "no About box";
    EXPECT_EQ("", ControlText(GetDlgItem(dialog, IDC_ABOUT_PAGE)));
    SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, 5000));
    Close(program, tray);
}

TEST_F(AboutEndToEnd, ALongPageIsCutAt10000Characters) {
    std::string page;
    for (int i = 0; i < 12000; ++i)
        page += static_cast<char>('a' + i % 26);
    WritePage(page);
    CQuellwickProcess program(layout.ProgramPath());
    const HWND tray = program.WaitForTrayWindow(10000);
    ASSERT_TRUE(tray);
    const HWND dialog = OpenAbout(tray, program.Id());
    ASSERT_TRUE(dialog) << "no About box";
    EXPECT_EQ(page.substr(0, 10000), ControlText(GetDlgItem(dialog, IDC_ABOUT_PAGE)));
    SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, 5000));
    Close(program, tray);
}

}  // namespace
