// Feeds arbitrary pages to CHtmlToRtf::Convert and checks what must hold for any input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "about/html_to_rtf.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

// Group depth never goes below zero before the document's last brace, and escaped
// characters do not count.
bool GroupsNest(const std::string& rtf) {
    long depth = 0;
    for (std::size_t i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;
        } else if (rtf[i] == '{') {
            ++depth;
        } else if (rtf[i] == '}') {
            if (--depth < 0) return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte is the screen resolution (0x60 is 96 pixels per inch), so that the
    // twip arithmetic meets odd and zero values.
    CFixedRtfPlatform platform;
    platform.pixelsPerInch = data[0];
    const std::string_view html(reinterpret_cast<const char*>(data + 1), size - 1);

    LogicalFont base;
    base.height = -11;
    base.faceName = "MS Sans Serif";
    CHtmlToRtf converter(platform);
    ColorValue background = MakeColor(255, 255, 255);
    const std::optional<std::string> rtf = converter.Convert(html, base, 0, &background);
    HtmlLink link;
    if (!rtf) {
        Require(background == MakeColor(255, 255, 255));
        Require(!converter.GetLink(0, &link));
        return 0;
    }
    Require(rtf->rfind("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 MS Sans Serif;}", 0) == 0);
    Require(rtf->back() == '}');
    Require(GroupsNest(*rtf));
    // Link ranges are rich-text character positions, never beyond the page's length.
    for (int i = 0; converter.GetLink(i, &link); ++i) {
        Require(0 <= link.firstPosition && link.firstPosition <= link.endPosition &&
                static_cast<std::size_t>(link.endPosition) <= html.size());
    }

    ColorValue again = MakeColor(255, 255, 255);
    Require(converter.Convert(html, base, 0, &again) == rtf && again == background);
    return 0;
}
