#include "catalog/catalog_text.h"

#include <cctype>

std::string NormalizeWhitespace(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    int run = 0;
    for (char c : text) {
        // A carriage return reaches the text only through a character reference, and
        // stands for a line break like a line feed does.
        if (c == '\n' || c == '\r')
            c = ' ';
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++run;
            if (run > 1 || result.empty())
                continue;
        } else {
            run = 0;
        }
        result += c;
    }
    return result;
}

std::string ExpandLineBreaks(const std::string& text) {
    static const char kMarker[] = "<br>";
    static const size_t kMarkerLength = sizeof kMarker - 1;
    std::string result = text;
    size_t position = 0;
    while ((position = result.find(kMarker, position)) != std::string::npos) {
        result.replace(position, kMarkerLength, "\r\n");
        ++position;
    }
    return result;
}
