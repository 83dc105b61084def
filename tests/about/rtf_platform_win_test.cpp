// The converter's platform answers from the running system, and the font record taken
// from the platform's own.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "about/html_to_rtf.h"
#include "about/rtf_platform_win.h"

namespace {

TEST(SystemRtfPlatform, AnswersFromTheSystem) {
    const IRtfPlatform& platform = SystemRtfPlatform();
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), platform.GetSystemColor(SystemColor::window));
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), platform.GetSystemColor(SystemColor::windowText));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), platform.GetSystemColor(SystemColor::buttonFace));
    EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), platform.GetSystemColor(SystemColor::buttonText));
    HDC screen = GetDC(nullptr);
    ASSERT_NE(nullptr, screen);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSX), platform.ScreenPixelsPerInch());
    ReleaseDC(nullptr, screen);

    // A conversion takes its system colours from there.
    CHtmlToRtf converter(platform);
    ColorValue background = 0;
    ASSERT_TRUE(converter.Convert("<body bgcolor=buttonface>x</body>", LogicalFont{}, GetSysColor(COLOR_WINDOWTEXT),
                                  &background));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), background);
}

TEST(SystemRtfPlatform, LowerCasesAndClassifiesInTheAnsiCodePage) {
    const IRtfPlatform& platform = SystemRtfPlatform();
    std::string text = "A HREF=\"HTTP://X.ORG/\"";
    platform.LowerCase(text);
    EXPECT_EQ("a href=\"http://x.org/\"", text);
    EXPECT_TRUE(platform.IsAlphaNumeric('a'));
    EXPECT_TRUE(platform.IsAlphaNumeric('7'));
    EXPECT_FALSE(platform.IsAlphaNumeric('/'));
    EXPECT_FALSE(platform.IsAlphaNumeric('#'));
    if (GetACP() == 1252) {
        std::string accented = "\xC0\xC9";
        platform.LowerCase(accented);
        EXPECT_EQ("\xE0\xE9", accented);
        EXPECT_TRUE(platform.IsAlphaNumeric(0xE9));
    }
}

TEST(LogicalFontFromLogFont, CopiesEveryFieldAndAFullFaceField) {
    const BYTE pitch = VARIABLE_PITCH | FF_SWISS;
    LOGFONTA logFont{
        -13,   5, 900, 450, FW_BOLD, 1, 2, 3, GREEK_CHARSET, OUT_TT_PRECIS, CLIP_STROKE_PRECIS, CLEARTYPE_QUALITY,
        pitch, ""};
    // A face field filled to the last byte has no terminator.
    std::memset(logFont.lfFaceName, 'x', LF_FACESIZE);
    const LogicalFont f = LogicalFontFromLogFont(logFont);
    using Fields = std::array<int, 13>;
    EXPECT_EQ((Fields{-13, 5, 900, 450, FW_BOLD, 1, 2, 3, GREEK_CHARSET, OUT_TT_PRECIS, CLIP_STROKE_PRECIS,
                      CLEARTYPE_QUALITY, pitch}),
              (Fields{f.height, f.width, f.escapement, f.orientation, f.weight, f.italic, f.underline, f.strikeOut,
                      f.charSet, f.outPrecision, f.clipPrecision, f.quality, f.pitchAndFamily}));
    EXPECT_EQ(std::string(LF_FACESIZE, 'x'), f.faceName);
}

}  // namespace
