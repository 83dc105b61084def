#include <cstdlib>

#include "about/html_to_rtf.h"
#include "about/rtf_tables.h"

void AppendRtfEscaped(std::string& out, const std::string& text) {
    for (char c : text) {
        if (c == '\\' || c == '{' || c == '}') out += '\\';
        out += c;
    }
}

int CHtmlToRtf::FindOrAddFont(const std::string& face) {
    std::string wanted = face;
    platform_.LowerCase(wanted);
    for (std::size_t i = 0; i < fonts_.size(); ++i) {
        std::string candidate = fonts_[i].faceName;
        platform_.LowerCase(candidate);
        if (candidate == wanted) return static_cast<int>(i);
    }
    LogicalFont font;
    font.faceName = face;
    fonts_.push_back(font);
    return static_cast<int>(fonts_.size() - 1);
}

int CHtmlToRtf::FindOrAddColor(ColorValue value) {
    for (std::size_t i = 0; i < colors_.size(); ++i) {
        if (colors_[i] == value) return static_cast<int>(i);
    }
    colors_.push_back(value);
    return static_cast<int>(colors_.size() - 1);
}

int CHtmlToRtf::ParseColor(const std::string& text) {
    ColorValue color = 0;
    if (!text.empty() && text[0] == '#') {
        // Only the low 24 bits count, so a saturated or negative reading keeps its bytes.
        const auto v = static_cast<unsigned long>(std::strtol(text.c_str() + 1, nullptr, 16));
        color = MakeColor((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    } else if (text == "window") {
        color = platform_.GetSystemColor(SystemColor::window);
    } else if (text == "windowtext") {
        color = platform_.GetSystemColor(SystemColor::windowText);
    } else if (text == "buttonface") {
        color = platform_.GetSystemColor(SystemColor::buttonFace);
    } else if (text == "buttontext") {
        color = platform_.GetSystemColor(SystemColor::buttonText);
    }
    return FindOrAddColor(color);
}

int CHtmlToRtf::HtmlSizeToHalfPoints(const std::string& text) {
    static const int kHalfPoints[] = {15, 20, 24, 27, 36, 48, 72};
    const long size = std::strtol(text.c_str(), nullptr, 10);
    return size >= 1 && size <= 7 ? kHalfPoints[size - 1] : 24;
}

int CHtmlToRtf::FontHeightToHalfPoints(std::int32_t height) {
    static const struct {
        std::int32_t minHeight;
        int halfPoints;
    } kSteps[] = {{36, 72}, {24, 48}, {18, 36}, {16, 32}, {14, 28}, {12, 24}, {10, 20}, {8, 18}};
    for (const auto& step : kSteps) {
        if (height >= step.minHeight) return step.halfPoints;
    }
    return 24;
}

void CHtmlToRtf::WriteDocumentHead(std::string& out) const {
    out += "{\\rtf1\\ansi";
    out += "\\deff0{\\fonttbl";
    for (std::size_t i = 0; i < fonts_.size(); ++i) {
        out += "{\\f" + std::to_string(i) + "\\fnil\\fcharset0 ";
        // A face taken from the page must not open or close RTF groups.
        AppendRtfEscaped(out, fonts_[i].faceName);
        out += ";}";
    }
    out += "}";
    out += "{\\colortbl ;";
    for (ColorValue color : colors_) {
        out += "\\red" + std::to_string(color & 0xFF) + "\\green" +
               std::to_string((color >> 8) & 0xFF) + "\\blue" + std::to_string((color >> 16) & 0xFF) +
               ";";
    }
    out += "}";
    out += "\\pard\\plain\\tx0";
    out += "\\fs" + std::to_string(FontHeightToHalfPoints(fonts_.empty() ? 0 : fonts_[0].height));
}
