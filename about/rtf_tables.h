#pragma once

#include <cstdint>
#include <string>

// A font-table entry, laid out like the platform's logical-font record. The face name is
// held whole, however long.
struct LogicalFont {
    std::int32_t height = 0;
    std::int32_t width = 0;
    std::int32_t escapement = 0;
    std::int32_t orientation = 0;
    std::int32_t weight = 0;
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strikeOut = 0;
    std::uint8_t charSet = 0;
    std::uint8_t outPrecision = 0;
    std::uint8_t clipPrecision = 0;
    std::uint8_t quality = 0;
    std::uint8_t pitchAndFamily = 0;
    std::string faceName;
};

// Appends text to RTF output with "\", "{" and "}" escaped.
void AppendRtfEscaped(std::string& out, const std::string& text);
