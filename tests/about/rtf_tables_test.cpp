#include "about/rtf_tables.h"

#include <gtest/gtest.h>

#include "about/html_to_rtf.h"
#include "tests/about/converter_fixture.h"

namespace {

TEST(FontHeightToHalfPoints, StepsDownFromTheLargestHeight) {
    const struct {
        std::int32_t height;
        int halfPoints;
    } cases[] = {{-11, 24}, {13, 24}, {16, 32}, {40, 72}, {36, 72},        {35, 48},
                 {24, 48},  {18, 36}, {17, 32}, {14, 28}, {12, 24},        {11, 20},
                 {10, 20},  {8, 18},  {7, 24},  {0, 24},  {INT32_MIN, 24}, {INT32_MAX, 72}};
    for (const auto& c : cases)
        EXPECT_EQ(c.halfPoints, CHtmlToRtf::FontHeightToHalfPoints(c.height)) << c.height;
}

TEST(HtmlSizeToHalfPoints, MapsTheSevenHtmlSizes) {
    const char* sizes[] = {"1", "2", "3", "4", "5", "6", "7"};
    const int halfPoints[] = {15, 20, 24, 27, 36, 48, 72};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(halfPoints[i], CHtmlToRtf::HtmlSizeToHalfPoints(sizes[i]));
    EXPECT_EQ(15, CHtmlToRtf::HtmlSizeToHalfPoints("+1"));
    EXPECT_EQ(20, CHtmlToRtf::HtmlSizeToHalfPoints(" 2pt"));
    for (const char* other : {"9", "0", "-1", "", "x", "99999999999999999999999", "-99999999999999999999"}) {
        EXPECT_EQ(24, CHtmlToRtf::HtmlSizeToHalfPoints(other)) << other;
    }
}

TEST_F(ConverterTest, DocumentHeadListsBothBaseColoursEvenWhenEqual) {
    textColor = MakeColor(255, 255, 255);
    baseFont.height = 16;
    EXPECT_EQ(R"({\rtf1\ansi\deff0{\fonttbl{\f0\fnil\fcharset0 MS Sans Serif;}})"
              R"({\colortbl ;\red255\green255\blue255;\red255\green255\blue255;}\pard\plain\tx0\fs32})",
              Document(""));
}

TEST_F(ConverterTest, ParseColorReadsHexAndSystemColours) {
    platform.window = MakeColor(1, 1, 1);
    platform.windowText = MakeColor(2, 2, 2);
    platform.buttonFace = MakeColor(3, 3, 3);
    platform.buttonText = MakeColor(4, 4, 4);
    Document("");
    const struct {
        const char* text;
        ColorValue color;
    } cases[] = {
        {"#ff0000", MakeColor(255, 0, 0)},
        {"#abc", MakeColor(0, 10, 188)},
        {"#ffffe0x", MakeColor(255, 255, 224)},
        {"#", MakeColor(0, 0, 0)},
        {"#1ffffff", MakeColor(255, 255, 255)},
        {"#-1", MakeColor(255, 255, 255)},
        {"window", MakeColor(1, 1, 1)},
        {"windowtext", MakeColor(2, 2, 2)},
        {"buttonface", MakeColor(3, 3, 3)},
        {"buttontext", MakeColor(4, 4, 4)},
        {"red", MakeColor(0, 0, 0)},
        {"", MakeColor(0, 0, 0)},
        {"Window", MakeColor(0, 0, 0)},
    };
    for (const auto& c : cases) {
        const int index = converter.ParseColor(c.text);
        ASSERT_GE(index, 0);
        EXPECT_EQ(c.color, converter.Colors().at(static_cast<std::size_t>(index))) << c.text;
    }
    // Black is the text colour, so it reuses entry 0 (RTF colour 1).
    EXPECT_EQ(0, converter.ParseColor("#000000"));
    EXPECT_NE(std::string::npos, Document("<font color='#FF0000'>x</font>").find(R"(;\red255\green0\blue0;})"));
}

}  // namespace
