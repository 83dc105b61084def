#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "about/html_to_rtf.h"

// A converter on fixed platform answers, with the About page's usual base font
// (MS Sans Serif, height -11), black text on white.
class ConverterTest : public ::testing::Test {
protected:
    ConverterTest() { baseFont.height = -11, baseFont.faceName = "MS Sans Serif"; }

    // The whole document, or "<failed>".
    std::string Document(std::string_view html) {
        background = MakeColor(255, 255, 255);
        const std::optional<std::string> rtf = converter.Convert(html, baseFont, textColor, &background);
        return rtf ? *rtf : "<failed>";
    }

    // Only the converted body: what follows the head's size word, without the final brace.
    std::string Body(std::string_view html) {
        const std::string document = Document(html);
        const std::string headEnd = "\\pard\\plain\\tx0\\fs";
        std::size_t start = document.find(headEnd);
        if (start == std::string::npos || document.back() != '}')
            return document;
        start = document.find_first_not_of("0123456789", start + headEnd.size());
        return document.substr(start, document.size() - start - 1);
    }

    HtmlLink Link(int index) {
        HtmlLink link;
        EXPECT_TRUE(converter.GetLink(index, &link)) << "no link " << index;
        return link;
    }
    // The rich-text character position that a page without links reaches: where a link put
    // after it starts.
    int EndPosition(std::string_view html) {
        Document(std::string(html) + "<a href=end></a>");
        return Link(0).firstPosition;
    }

    CFixedRtfPlatform platform;
    CHtmlToRtf converter{platform};
    LogicalFont baseFont;
    ColorValue textColor = MakeColor(0, 0, 0);
    ColorValue background = MakeColor(255, 255, 255);
};
