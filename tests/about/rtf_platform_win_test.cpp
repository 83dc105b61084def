// The converter's platform answers from the running system, and the font record taken
// from the platform's own.
#include <windows.h>

#include <gtest/gtest.h>

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
    const int pixels = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(pixels, platform.ScreenPixelsPerInch());
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

TEST(SystemRtfPlatform, ConvertsWithSystemColours) {
    LOGFONTA logFont{};
    logFont.lfHeight = -11;
    std::strcpy(logFont.lfFaceName, "MS Sans Serif");
    CHtmlToRtf converter(SystemRtfPlatform());
    ColorValue background = 0;
    ASSERT_TRUE(converter.Convert("<body bgcolor=buttonface>x</body>", LogicalFontFromLogFont(logFont),
                                  GetSysColor(COLOR_WINDOWTEXT), &background));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), background);
}

TEST(LogicalFontFromLogFont, CopiesEveryFieldAndAFullFaceField) {
    LOGFONTA logFont{};
    logFont.lfHeight = -13;
    logFont.lfWidth = 5;
    logFont.lfEscapement = 900;
    logFont.lfOrientation = 450;
    logFont.lfWeight = FW_BOLD;
    logFont.lfItalic = 1;
    logFont.lfUnderline = 1;
    logFont.lfStrikeOut = 1;
    logFont.lfCharSet = ANSI_CHARSET;
    logFont.lfOutPrecision = OUT_TT_PRECIS;
    logFont.lfClipPrecision = CLIP_STROKE_PRECIS;
    logFont.lfQuality = CLEARTYPE_QUALITY;
    logFont.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    // A face field filled to the last byte has no terminator.
    std::memset(logFont.lfFaceName, 'x', LF_FACESIZE);
    const LogicalFont font = LogicalFontFromLogFont(logFont);
    EXPECT_EQ(-13, font.height);
    EXPECT_EQ(5, font.width);
    EXPECT_EQ(900, font.escapement);
    EXPECT_EQ(450, font.orientation);
    EXPECT_EQ(FW_BOLD, font.weight);
    EXPECT_EQ(1, font.italic);
    EXPECT_EQ(1, font.underline);
    EXPECT_EQ(1, font.strikeOut);
    EXPECT_EQ(ANSI_CHARSET, font.charSet);
    EXPECT_EQ(OUT_TT_PRECIS, font.outPrecision);
    EXPECT_EQ(CLIP_STROKE_PRECIS, font.clipPrecision);
    EXPECT_EQ(CLEARTYPE_QUALITY, font.quality);
    EXPECT_EQ(VARIABLE_PITCH | FF_SWISS, font.pitchAndFamily);
    EXPECT_EQ(std::string(LF_FACESIZE, 'x'), font.faceName);
}

}  // namespace
