// The rich-edit page on its own: the text limit and reading the page file.
// Loading a page and its links is checked through the About box.
#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <string>

#include "about/html_rich_edit.h"
#include "rich_edit_probe.h"
#include "tests/common/win_test_support.h"

using namespace wintest;

namespace {

class HtmlRichEditTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_NE(nullptr, LoadLibraryA("RICHED20.DLL")); }

    void SetUp() override {
        control = CreateWindowExA(0, "RichEdit20A", "",
                                  WS_POPUP | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_READONLY, 0, 0, 330,
                                  330, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, control);
    }

    void TearDown() override {
        if (IsWindow(control))
            DestroyWindow(control);
    }

    HWND control = nullptr;
    CScratchFolder folder{"qw_rich_edit"};
    CHtmlRichEdit page{folder.Folder() + "\\"};
};

TEST_F(HtmlRichEditTest, KeepsTheControlsTextLimit) {
    ASSERT_TRUE(page.SubclassWindow(control));
    SendMessageA(control, EM_EXLIMITTEXT, 0, 100);
    ASSERT_TRUE(page.SetHtml("<b>" + std::string(150, 'm') + "</b>"));
    EXPECT_EQ(std::string(100, 'm'), ControlText(control));
    EXPECT_EQ(100, SendMessageA(control, EM_GETLIMITTEXT, 0, 0));
    EXPECT_TRUE(RangeFormat(control, 0, 100).dwEffects & CFE_BOLD);

    ASSERT_TRUE(page.SetHtml(std::string(100, 'n')));
    EXPECT_EQ(std::string(100, 'n'), ControlText(control)) << "a page at the limit is whole";
}

TEST_F(HtmlRichEditTest, ReadsThePageFileAsItsBytes) {
    EXPECT_EQ("", page.ReadAboutPage()) << "no file";

    WriteFileBytes(folder.Path("about.html"), "");
    EXPECT_EQ("", page.ReadAboutPage());

    WriteFileBytes(folder.Path("about.html"), std::string("caf\xE9 <b>x</b>\r\nend\0after", 24));
    EXPECT_EQ("caf\xE9 <b>x</b>\r\nend", page.ReadAboutPage()) << "bytes as they are, up to the first zero";

    // A page held open for reading by someone else is still read.
    const std::string file = folder.Path("about.html");
    HANDLE other = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, other);
    EXPECT_EQ("caf\xE9 <b>x</b>\r\nend", page.ReadAboutPage());
    CloseHandle(other);

    CHtmlRichEdit elsewhere(folder.Path("missing\\"));
    EXPECT_EQ("", elsewhere.ReadAboutPage());
}

}  // namespace
