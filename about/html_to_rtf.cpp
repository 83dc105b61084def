#include "about/html_to_rtf.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <new>

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::int32_t ClampToInt32(long long value) {
    return static_cast<std::int32_t>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

// A decimal number as atol reads it, held to the range of a 32-bit long.
std::int32_t ReadNumber(const std::string& text) {
    return ClampToInt32(std::strtoll(text.c_str(), nullptr, 10));
}

// True when `out` ends in an RTF control word ("\word" or "\word-12") that the next
// character written could run into.
bool EndsInOpenControlWord(const std::string& out) {
    std::size_t i = out.size();
    while (i > 0 && IsDigit(out[i - 1])) --i;
    if (i > 0 && i < out.size() && out[i - 1] == '-') --i;
    const std::size_t lettersEnd = i;
    while (i > 0 && IsLetter(out[i - 1])) --i;
    return i < lettersEnd && i > 0 && out[i - 1] == '\\';
}

struct Entity {
    std::string_view text;
    std::string_view replacement;
};

const Entity kEntities[] = {
    {"&nbsp;", "\\~"}, {"&quot;", "\""}, {"&amp;", "&"},
    {"&lt;", "<"},     {"&gt;", ">"},    {"&copy;", "\xA9"},
};

const char kCellBorders[] =
    "\\clbrdrt\\brdrw15\\brdrs\\clbrdrl\\brdrw15\\brdrs"
    "\\clbrdrb\\brdrw15\\brdrs\\clbrdrr\\brdrw15\\brdrs";

}  // namespace

std::optional<std::string> CHtmlToRtf::Convert(std::string_view html, const LogicalFont& baseFont,
                                               ColorValue textColor, ColorValue* backgroundColor) {
    ColorValue noBackground = 0;
    if (backgroundColor == nullptr) backgroundColor = &noBackground;
    html = html.substr(0, html.find('\0'));
    links_.clear();
    // Character positions are 32-bit and never exceed the input's length.
    if (html.size() > static_cast<std::size_t>(INT32_MAX)) return std::nullopt;
    try {
        fonts_.assign(1, baseFont);
        colors_.assign({textColor, *backgroundColor});
        backgroundColor_ = *backgroundColor;
        const std::size_t capacity = std::max<std::size_t>(html.size() * 2, 1000);

        std::string body;
        body.reserve(capacity);
        if (!ConvertBody(html, baseFont, body)) {
            links_.clear();
            return std::nullopt;
        }
        *backgroundColor = backgroundColor_;

        std::string document;
        document.reserve(std::max(capacity, body.size() + 256));
        WriteDocumentHead(document);
        document += body;
        document += '}';
        return document;
    } catch (const std::bad_alloc&) {
        links_.clear();
        return std::nullopt;
    }
}

bool CHtmlToRtf::GetLink(int index, HtmlLink* link) const {
    if (link == nullptr || index < 0 || static_cast<std::size_t>(index) >= links_.size())
        return false;
    *link = links_[static_cast<std::size_t>(index)];
    return true;
}

bool CHtmlToRtf::ConvertBody(std::string_view html, const LogicalFont& baseFont,
                             std::string& body) {
    characterPosition_ = 0;
    breakFlag_ = false;
    spaceFlag_ = true;
    format_ = HtmlFormat{};
    format_.face = baseFont.faceName;
    format_.size = FontHeightToHalfPoints(baseFont.height);
    format_.color = 0;
    format_.background = 1;
    formatStack_.clear();
    cellEdge_ = 0;
    const int pixelsPerInch = platform_.ScreenPixelsPerInch();
    twipsPerPixel_ = pixelsPerInch > 0 ? 1440 / pixelsPerInch : 15;
    pendingLink_.reset();

    std::size_t pos = 0;
    for (;;) {
        const std::size_t open = html.find('<', pos);
        CopyTextRun(html.substr(pos, open == std::string_view::npos ? open : open - pos), body);
        if (open == std::string_view::npos) return true;
        // A tag with no ">" runs to the end of the input, and the conversion ends with it.
        const std::size_t close = html.find('>', open + 1);
        const std::size_t length = close == std::string_view::npos ? close : close - open - 1;
        if (!ConvertTag(std::string(html.substr(open + 1, length)), body)) return false;
        if (close == std::string_view::npos) return true;
        pos = close + 1;
    }
}

void CHtmlToRtf::CopyTextRun(std::string_view text, std::string& body) {
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == ' ' || c == '\t') {
            if (!breakFlag_ && !spaceFlag_) {
                body += ' ';
                Advance(1);
            }
            spaceFlag_ = true;
            ++i;
            continue;
        }
        if (c == '\n') {
            if (!spaceFlag_) {
                body += ' ';
                Advance(1);
            }
            ++i;
            continue;
        }
        if (c == '\r') {
            ++i;
            continue;
        }
        if (c == '&') {
            const Entity* found = nullptr;
            for (const Entity& entity : kEntities) {
                if (text.compare(i, entity.text.size(), entity.text) == 0) {
                    found = &entity;
                    break;
                }
            }
            if (found != nullptr) {
                body += found->replacement;
                Advance(1);
                breakFlag_ = spaceFlag_ = false;
                i += found->text.size();
                continue;
            }
            // Any other "&" is plain text.
        }
        if (c == '\\' || c == '{' || c == '}') {
            body += '\\';
            body += c;
            Advance(1);
            spaceFlag_ = false;
            ++i;
            continue;
        }
        body += c;
        Advance(1);
        breakFlag_ = spaceFlag_ = false;
        ++i;
    }
}

bool CHtmlToRtf::ConvertTag(std::string tagText, std::string& body) {
    // Names match in any letter case; a link target keeps the page's own (lower-casing in
    // the code page keeps every character in its place, so offsets carry over).
    const std::string original = tagText;
    platform_.LowerCase(tagText);
    const std::string_view tag(tagText);
    std::size_t nameEnd = 0;
    while (nameEnd < tag.size() && (tag[nameEnd] == '/' || IsWordCharacter(tag[nameEnd]))) ++nameEnd;
    std::size_t attributesStart = nameEnd;
    while (attributesStart < tag.size() && IsSpace(tag[attributesStart])) ++attributesStart;
    const std::string_view name = tag.substr(0, nameEnd);
    const std::string_view attributes = tag.substr(attributesStart);
    const std::string_view originalAttributes = std::string_view(original).substr(attributesStart);

    const HtmlFormat previous = format_;
    bool push = false;
    bool pop = false;
    const bool breakBefore = breakFlag_;
    breakFlag_ = false;

    std::string out;
    if (!name.empty() && name[0] == '/') {
        EndTag(name, out, &pop);
    } else {
        StartTag(name, attributes, originalAttributes, breakBefore, out, &push);
    }

    if (push) {
        if (attributes.find("style=") != std::string_view::npos) {
            std::string value;
            if (GetStyleProperty(attributes, "color", &value)) format_.color = ParseColor(value);
            if (GetStyleProperty(attributes, "background-color", &value)) {
                format_.background = ParseColor(value);
            }
        }
        formatStack_.push_back(previous);
        WriteFormatChanges(previous, out);
        body += '{';
    } else if (pop) {
        if (formatStack_.empty()) return false;
        format_ = formatStack_.back();
        formatStack_.pop_back();
        out += "}\r\n";
    }
    // A tag that ends in a number must not let the page's next digit join it.
    if (EndsInOpenControlWord(out)) out += ' ';
    body += out;
    return true;
}

void CHtmlToRtf::StartTag(std::string_view name, std::string_view attributes,
                          std::string_view originalAttributes, bool breakBefore, std::string& out,
                          bool* push) {
    std::string value;
    if (name == "b" || name == "strong") {
        out += "\\b1 ";
    } else if (name == "i") {
        out += "\\i1 ";
    } else if (name == "u") {
        out += "\\ul1 ";
    } else if (name == "br") {
        out += "\\line ";
        Advance(1);
        breakFlag_ = spaceFlag_ = true;
    } else if (name == "p") {
        if (!breakBefore) {
            out += "\\par";
            Advance(1);
        }
        out += "\\par ";
        Advance(1);
        breakFlag_ = spaceFlag_ = true;
    } else if (name == "body") {
        if (GetAttribute(attributes, "bgcolor", &value)) {
            format_.background = ParseColor(value);
            backgroundColor_ = colors_[static_cast<std::size_t>(format_.background)];
        }
        const struct {
            const char* attribute;
            std::int32_t HtmlFormat::*margin;
        } kMargins[] = {{"leftmargin", &HtmlFormat::leftMargin},
                        {"rightmargin", &HtmlFormat::rightMargin},
                        {"topmargin", &HtmlFormat::topMargin},
                        {"bottommargin", &HtmlFormat::bottomMargin}};
        for (const auto& margin : kMargins) {
            const bool present = GetAttribute(attributes, margin.attribute, &value);
            format_.*margin.margin = present ? ReadNumber(value) : 8;
        }
        const auto twips = [this](std::int32_t pixels) {
            return std::to_string(ClampToInt32(static_cast<long long>(pixels) * twipsPerPixel_));
        };
        out += "\\margt" + twips(format_.topMargin) + "\\margb" + twips(format_.bottomMargin) +
               "\\li" + twips(format_.leftMargin) + "\\ri" + twips(format_.rightMargin);
        *push = true;
    } else if (name == "font") {
        if (GetAttribute(attributes, "color", &value)) format_.color = ParseColor(value);
        if (GetAttribute(attributes, "size", &value)) format_.size = HtmlSizeToHalfPoints(value);
        if (GetAttribute(attributes, "face", &value)) format_.face = value;
        *push = true;
    } else if (name == "a") {
        if (FindValue(attributes, "href", '=', false, &value, originalAttributes)) {
            pendingLink_ = HtmlLink{value, characterPosition_, 0};
        }
        *push = true;
    } else if (name == "span") {
        *push = true;
    } else if (name == "div") {
        if (!breakBefore) {
            out += "\\par ";
            Advance(1);
            breakFlag_ = spaceFlag_ = true;
        }
        if (GetAttribute(attributes, "align", &value)) {
            if (value == "center") out += "\\qc ";
            else if (value == "left") out += "\\ql ";
            else if (value == "right") out += "\\qr ";
            else if (value == "justify") out += "\\qj ";
        }
        if (GetAttribute(attributes, "nowrap", &value)) out += "\\nowwrap ";
        *push = true;
    } else if (name == "table") {
        const std::string border =
            std::to_string(GetAttribute(attributes, "border", &value) ? ReadNumber(value) : 0);
        out += "\\par\\trowd \\trgaph108\\trleft-108";
        for (const char* side : {"t", "l", "b", "r"}) {
            out += std::string("\\trbrdr") + side + "\\brdrs\\brdrw" + border + " ";
        }
        cellEdge_ = 0;
        Advance(1);
        spaceFlag_ = true;
        *push = true;
    } else if (name == "col") {
        const std::int32_t width = GetAttribute(attributes, "width", &value) ? ReadNumber(value) : 0;
        cellEdge_ = ClampToInt32(cellEdge_ + static_cast<long long>(width) * twipsPerPixel_);
        out += kCellBorders;
        out += "\\cellx" + std::to_string(cellEdge_);
        spaceFlag_ = true;
    } else if (name == "tr") {
        out += "\\intbl ";
        spaceFlag_ = true;
    } else if (name == "td") {
        out += "\\par ";
        Advance(1);
        spaceFlag_ = true;
    }
}

void CHtmlToRtf::EndTag(std::string_view name, std::string& out, bool* pop) {
    if (name == "/b" || name == "/strong") {
        out += "\\b0 ";
    } else if (name == "/i") {
        out += "\\i0 ";
    } else if (name == "/u") {
        out += "\\ulnone ";
    } else if (name == "/tr") {
        out += "\\row ";
        Advance(1);
        spaceFlag_ = true;
    } else if (name == "/td") {
        out += "\\cell ";
        Advance(1);
        spaceFlag_ = true;
    } else if (name == "/body" || name == "/font" || name == "/span") {
        *pop = true;
    } else if (name == "/a") {
        // Without an earlier link target there is nothing to record.
        if (pendingLink_) {
            links_.push_back(
                HtmlLink{pendingLink_->target, pendingLink_->firstPosition, characterPosition_});
        }
        *pop = true;
    } else if (name == "/div") {
        out += "\\par ";
        Advance(1);
        breakFlag_ = spaceFlag_ = true;
        *pop = true;
    } else if (name == "/table") {
        breakFlag_ = spaceFlag_ = true;
        *pop = true;
    }
}

void CHtmlToRtf::WriteFormatChanges(const HtmlFormat& previous, std::string& out) {
    bool written = false;
    if (format_.color != previous.color) {
        out += "\\cf" + std::to_string(format_.color + 1);
        written = true;
    }
    if (format_.background != previous.background) {
        out += "\\highlight" + std::to_string(format_.background + 1);
        written = true;
    }
    if (format_.size != previous.size) {
        out += "\\fs" + std::to_string(format_.size);
        written = true;
    }
    if (format_.face != previous.face) {
        out += "\\f" + std::to_string(FindOrAddFont(format_.face));
        written = true;
    }
    if (written) out += ' ';
}

bool CHtmlToRtf::GetAttribute(std::string_view attributes, std::string_view name,
                              std::string* value) const {
    return FindValue(attributes, name, '=', false, value);
}

bool CHtmlToRtf::GetStyleProperty(std::string_view attributes, std::string_view name,
                                  std::string* value) const {
    return FindValue(attributes, name, ':', true, value);
}

bool CHtmlToRtf::FindValue(std::string_view attributes, std::string_view name, char separator,
                           bool requireSeparator, std::string* value,
                           std::string_view valueSource) const {
    // The value is cut from `valueSource` when given: the same text in its original case.
    const std::string_view source = valueSource.empty() ? attributes : valueSource;
    value->clear();
    const std::size_t at = attributes.find(name);
    if (at == std::string_view::npos) return false;
    std::size_t i = at + name.size();
    while (i < attributes.size() && IsSpace(attributes[i])) ++i;
    if (i >= attributes.size() || attributes[i] != separator) return !requireSeparator;
    ++i;
    while (i < attributes.size() && IsSpace(attributes[i])) ++i;
    if (i < attributes.size() && (attributes[i] == '"' || attributes[i] == '\'')) {
        const std::size_t end = attributes.find(attributes[i], i + 1);
        const std::size_t length = end == std::string_view::npos ? end : end - i - 1;
        value->assign(source.substr(i + 1, length));
    } else {
        std::size_t end = i;
        while (end < attributes.size() && (attributes[end] == '-' || IsWordCharacter(attributes[end]))) {
            ++end;
        }
        value->assign(source.substr(i, end - i));
    }
    return true;
}
