#include "about/html_to_rtf.h"

#include <gtest/gtest.h>

#include "about/link_target.h"
#include "tests/about/converter_fixture.h"

static bool operator==(const HtmlLink& a, const HtmlLink& b) {
    return a.target == b.target && a.firstPosition == b.firstPosition && a.endPosition == b.endPosition;
}

static std::ostream& operator<<(std::ostream& out, const HtmlLink& link) {
    return out << "('" << link.target << "', " << link.firstPosition << ", " << link.endPosition << ")";
}

namespace {

TEST_F(ConverterTest, TextTagsWhiteSpaceAndEntities) {
    const std::string html = "<body bgcolor=\"#ffffe0\" leftmargin=\"40\"><b>Moon</b> phase</body>";
    EXPECT_EQ(R"({\rtf1\ansi\deff0{\fonttbl{\f0\fnil\fcharset0 MS Sans Serif;}})"
              R"({\colortbl ;\red0\green0\blue0;\red255\green255\blue255;\red255\green255\blue224;})"
              R"(\pard\plain\tx0\fs24)"
              R"({\margt120\margb120\li600\ri120\highlight3 \b1 Moon\b0  phase})"
              "\r\n}",
              Document(html));
    EXPECT_EQ(10, EndPosition(html));
    EXPECT_EQ(MakeColor(255, 255, 224), background);

    // Text, simple tags, white space and entities: the body, and the character position
    // after it where it is checked.
    const struct {
        const char* html;
        const char* body;
        int position;
    } cases[] = {
        {"<b>Hi</b>", R"(\b1 Hi\b0 )", 2},
        {"<strong>a</strong><i>b</i><u>c</u><B>d</B>", R"(\b1 a\b0 \i1 b\i0 \ul1 c\ulnone \b1 d\b0 )", 4},
        {"a<BR><FONT SIZE=7>b</FONT><P>", "a\\line {\\fs72 b}\r\n\\par\\par ", -1},
        {"a<br />b", R"(a\line b)", 3},
        {"x<br><p>y", R"(x\line \par y)", 4},
        {"a  \t b", "a b", -1},
        {"   a b", "a b", -1},
        {"a\nb", "a b", -1},
        {"a\n b", "a  b", 4},
        // After a line break neither a space nor a line feed is written.
        {"a<br> \n b", R"(a\line b)", -1},
        {"&nbsp;&quot;&amp;&lt;&gt;&copy;", "\\~\"&<>\xA9", 6},
        // Entity names are case-sensitive; an "&" that starts none is plain text.
        {"&AMP; a & b &amp", "&AMP; a & b &amp", 16},
        {"{x}\\", R"(\{x\}\\)", 4},
        // Unknown elements keep their text.
        {"<html><head><title>Title</title></head>text</p></html>", "Titletext", 9},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.body, Body(c.html)) << c.html;
        if (c.position >= 0) {
            EXPECT_EQ(c.position, EndPosition(c.html)) << c.html;
        }
    }
}

TEST_F(ConverterTest, LinksRecordCharacterRangesUnlessAnEndTagIsUnbalanced) {
    HtmlLink link;
    EXPECT_EQ("{ab}\r\n", Body("<a href='x'>ab</a>"));
    EXPECT_EQ((HtmlLink{"x", 0, 2}), Link(0));
    EXPECT_FALSE(converter.GetLink(1, &link));

    Body("<b>Go</b> to <A HREF=\"HTTP://Example.ORG/\">the <i>site</i></a>, or <a href=mailto:me>mail</a>.");
    EXPECT_EQ((HtmlLink{"HTTP://Example.ORG/", 6, 14}), Link(0)) << "the target keeps its case";
    // An unquoted value stops at ":".
    EXPECT_EQ((HtmlLink{"mailto", 19, 23}), Link(1));
    EXPECT_FALSE(converter.GetLink(-1, &link));
    EXPECT_FALSE(converter.GetLink(2, &link));

    // An unbalanced end tag fails the page and leaves the background alone.
    background = MakeColor(1, 2, 3);
    EXPECT_FALSE(
        converter.Convert("<body bgcolor=window><a href=x>a</a></body></font>", baseFont, textColor, &background));
    EXPECT_EQ(MakeColor(1, 2, 3), background);
    EXPECT_FALSE(converter.GetLink(0, &link));
    for (const char* html : {"</font>", "</body>", "</a>", "</span>", "</div>", "</table>"}) {
        EXPECT_EQ("<failed>", Document(html)) << html;
    }
    // Groups are matched by count, not by name; open groups at the end are left open.
    EXPECT_EQ("{\\fs72 {x}\r\n", Body("<font size=7><span>x</font>"));
}

TEST_F(ConverterTest, BodyMarginsBackgroundDivisionsAndTables) {
    EXPECT_EQ("{\\margt120\\margb120\\li120\\ri120 2026}\r\n", Body("<body>2026</body>"));
    EXPECT_EQ(4, EndPosition("<body>2026</body>"));
    EXPECT_EQ(MakeColor(255, 255, 255), background);

    platform.pixelsPerInch = 120;
    EXPECT_EQ("{\\margt12\\margb24\\li36\\ri48 x}\r\n",
              Body("<BODY TOPMARGIN=1 BOTTOMMARGIN='2' LEFTMARGIN=\"3\" RIGHTMARGIN = 4>x</BODY>"));

    platform.window = MakeColor(10, 20, 30);
    Body("<body bgcolor=window>");
    EXPECT_EQ(MakeColor(10, 20, 30), background);

    EXPECT_EQ("{\\par \\qc \\nowwrap x\\par }\r\n", Body("<div align=center nowrap>x</div>"));
    EXPECT_EQ(3, EndPosition("<div align=center nowrap>x</div>"));
    EXPECT_EQ("a\\line {\\qj y\\par }\r\n", Body("a<br><div align=\"justify\">y</div>"));
    // The break after a division survives the space before the next one.
    EXPECT_EQ("{\\par \\qr x\\par }\r\n{\\ql y\\par }\r\n", Body("<div align=right>x</div> <div align=left>y</div>"));

    const char* const table =
        "<table border=2>\n <col width=50>\n <col width=30>\n <tr><td>1</td> <td>2</td></tr>\n</table>";
    const std::string borders =
        R"(\clbrdrt\brdrw15\brdrs\clbrdrl\brdrw15\brdrs\clbrdrb\brdrw15\brdrs\clbrdrr\brdrw15\brdrs)";
    // Each column's edge number is delimited, so text cannot join it.
    EXPECT_EQ(R"({\par\trowd \trgaph108\trleft-108\trbrdrt\brdrs\brdrw2 \trbrdrl\brdrs\brdrw2 )"
              R"(\trbrdrb\brdrs\brdrw2 \trbrdrr\brdrs\brdrw2 )" +
                  borders + R"(\cellx600 )" + borders + R"(\cellx960 )" + R"(\intbl \par 1\cell \par 2\cell \row })" +
                  "\r\n",
              Body(table));
    EXPECT_EQ(8, EndPosition(table));
    EXPECT_NE(std::string::npos, Body("<table><col>").find("\\brdrw0 " + borders + "\\cellx0 "));
}

// Which link targets of the About page may be opened.
TEST(IsSafeLinkTarget, OpensWebAndMailAddresses) {
    for (const char* target : {"http://example.org/", "https://example.org/a?b=c&d=e#f", "mailto:moon@example.org",
                               "HTTPS://EXAMPLE.ORG/", "Mailto:moon@example.org", "http:", "https:x"}) {
        EXPECT_TRUE(IsSafeLinkTarget(target)) << target;
    }
}

TEST(IsSafeLinkTarget, RefusesProgramsFilesAndOtherSchemes) {
    for (const char* target :
         {"", "c:\\windows\\system32\\calc.exe", "calc.exe", "calc", "file:///c:/windows/win.ini",
          "\\\\server\\share\\x", "javascript:alert(1)", "ftp://example.org/", "shell:startup",
          "ms-settings:", "notepad http://example.org/", "http", "https//example.org", "mailto", " http://example.org/",
          "\thttp://example.org/", "httpx://a", "about.html", "res://shell32.dll/1"}) {
        EXPECT_FALSE(IsSafeLinkTarget(target)) << target;
    }
}

TEST(IsSafeLinkTarget, RefusesAddressesThatCouldCarryArguments) {
    for (const char* target : {"http://example.org/ -x", "http://example.org/\" --flag", "https://a\tb", "https://a\nb",
                               "mailto:a@b\r", "http://a\x7f"}) {
        EXPECT_FALSE(IsSafeLinkTarget(target)) << target;
    }
    EXPECT_TRUE(IsSafeLinkTarget("http://example.org/caf\xE9")) << "8-bit text is kept";
}

}  // namespace
