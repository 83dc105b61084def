// The rich-edit page on its own: loading a converted page, marking and resolving links,
// reading the page file.
#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <string>

#include "about/html_rich_edit.h"
#include "rich_edit_probe.h"

namespace {

const char kPage[] =
    "<body bgcolor=\"#ffffe0\"><b>Moon</b> phase"
    "<p>See <a href=\"HTTP://Example.ORG/Moon\">the site</a> or "
    "<a href=\"mailto:moon@example.org\">write</a>.</body>";
const char kPageText[] = "Moon phase\r\rSee the site or write.";

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
    CScratchFolder folder;
    CHtmlRichEdit page{folder.Path()};
};

TEST_F(HtmlRichEditTest, SubclassingPreparesTheControlAndEndsWithIt) {
    ASSERT_TRUE(page.SubclassWindow(control));
    EXPECT_EQ(control, page.GetHwnd());
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), page.GetBackgroundColor());
    EXPECT_EQ(0, GetWindowLongPtrA(control, GWL_STYLE) & ES_AUTOHSCROLL);
    EXPECT_EQ(static_cast<LRESULT>(ENM_LINK | ENM_SELCHANGE), SendMessageA(control, EM_GETEVENTMASK, 0, 0));
    EXPECT_FALSE(page.SubclassWindow(control)) << "one control per page";

    DestroyWindow(control);
    EXPECT_EQ(nullptr, page.GetHwnd());
    EXPECT_FALSE(page.SetHtml(kPage)) << "no control, nothing to load";
}

TEST_F(HtmlRichEditTest, LoadsThePageResolvesItsLinksAndKeepsItWhenAnotherFails) {
    ASSERT_TRUE(page.SubclassWindow(control));
    ASSERT_TRUE(page.SetHtml(kPage));
    EXPECT_EQ(kPageText, ControlText(control));
    EXPECT_EQ(RGB(255, 255, 224), page.GetBackgroundColor());
    EXPECT_EQ(RGB(255, 255, 224), BackgroundColor(control));
    CHARRANGE selection{-1, -1};
    SendMessageA(control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    EXPECT_EQ(0, selection.cpMin);
    EXPECT_EQ(0, selection.cpMax);
    const CHARFORMAT2A bold = RangeFormat(control, 0, 4);
    EXPECT_TRUE(bold.dwEffects & CFE_BOLD);
    EXPECT_FALSE(bold.dwEffects & (CFE_LINK | CFE_UNDERLINE));

    const std::vector<TextRun> runs = LinkRuns(control);
    ASSERT_EQ(2u, runs.size());
    EXPECT_EQ("the site", runs[0].text);
    EXPECT_EQ("write", runs[1].text);
    for (const TextRun& run : runs) {
        const CHARFORMAT2A format = RangeFormat(control, run.first, run.end);
        EXPECT_TRUE(format.dwMask & CFM_UNDERLINE);
        EXPECT_TRUE(format.dwEffects & CFE_UNDERLINE) << run.text;
    }

    // The one link that covers a click.
    std::string target = "stale";
    EXPECT_TRUE(page.FindLink(runs[0].first, runs[0].end, &target));
    EXPECT_EQ("http://example.org/moon", target);
    EXPECT_TRUE(page.FindLink(runs[1].first + 1, runs[1].first + 2, &target));
    EXPECT_EQ("mailto:moon@example.org", target);
    EXPECT_FALSE(page.FindLink(runs[0].first, runs[1].end, &target)) << "across both links";
    EXPECT_EQ("", target);
    EXPECT_FALSE(page.FindLink(runs[0].first - 1, runs[0].end, &target)) << "starts before the link";
    EXPECT_FALSE(page.FindLink(0, 4, &target));

    // A page that does not convert leaves the control as it was.
    EXPECT_FALSE(page.SetHtml("<body bgcolor=\"#ff0000\">red</font></font>"));
    EXPECT_EQ(kPageText, ControlText(control));
    EXPECT_EQ(RGB(255, 255, 224), BackgroundColor(control));
}

TEST_F(HtmlRichEditTest, CutsALongTargetTo511Characters) {
    ASSERT_TRUE(page.SubclassWindow(control));
    const std::string longTarget = "http://example.org/" + std::string(600, 'm');
    ASSERT_TRUE(page.SetHtml("<a href=\"" + longTarget + "\">x</a>"));
    std::string target;
    ASSERT_TRUE(page.FindLink(0, 1, &target));
    EXPECT_EQ(longTarget.substr(0, 511), target);
}

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

    folder.WritePage("");
    EXPECT_EQ("", page.ReadAboutPage());

    folder.WritePage(std::string("caf\xE9 <b>x</b>\r\nend\0after", 24));
    EXPECT_EQ("caf\xE9 <b>x</b>\r\nend", page.ReadAboutPage()) << "bytes as they are, up to the first zero";

    // A page held open for reading by someone else is still read.
    const std::string file = folder.Path() + "about.html";
    HANDLE other = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, other);
    EXPECT_EQ("caf\xE9 <b>x</b>\r\nend", page.ReadAboutPage());
    CloseHandle(other);

    CHtmlRichEdit elsewhere(folder.Path() + "missing\\");
    EXPECT_EQ("", elsewhere.ReadAboutPage());
}

}  // namespace
