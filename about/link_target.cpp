#include "about/link_target.h"

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i])
            return false;
    }
    return true;
}

}  // namespace

bool IsSafeLinkTarget(std::string_view target) {
    const bool knownScheme =
        StartsWithNoCase(target, "http:") || StartsWithNoCase(target, "https:") || StartsWithNoCase(target, "mailto:");
    if (!knownScheme)
        return false;
    // The shell hands the address to the scheme's handler on a command line: a space or a
    // quote could end the address there and add arguments of the page's choosing.
    for (const char c : target) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F || c == '"')
            return false;
    }
    return true;
}
