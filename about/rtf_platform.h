#pragma once

#include <cstdint>
#include <string>

// A 32-bit colour value laid out as 0x00BBGGRR: red in the low byte.
using ColorValue = std::uint32_t;

constexpr ColorValue MakeColor(unsigned red, unsigned green, unsigned blue) {
    return (red & 0xFFu) | ((green & 0xFFu) << 8) | ((blue & 0xFFu) << 16);
}

// The system colours a page may name.
enum class SystemColor { window, windowText, buttonFace, buttonText };

// What the HTML-to-RTF converter needs from the platform, so that tests can fix it.
class IRtfPlatform {
public:
    virtual ~IRtfPlatform() = default;

    virtual ColorValue GetSystemColor(SystemColor color) const = 0;

    // Horizontal pixels per logical inch of the screen.
    virtual int ScreenPixelsPerInch() const = 0;

    // Lower-cases 8-bit text in place, in the ANSI code page.
    virtual void LowerCase(std::string& text) const = 0;

    // Whether a byte is a letter or a digit in the ANSI code page.
    virtual bool IsAlphaNumeric(unsigned char c) const = 0;
};

// Fixed answers: the classic Windows colours at 96 pixels per inch, and the "C" locale's
// letters (A to Z and a to z only). Tests and tools change the fields they care about.
class CFixedRtfPlatform : public IRtfPlatform {
public:
    ColorValue window = MakeColor(255, 255, 255);
    ColorValue windowText = MakeColor(0, 0, 0);
    ColorValue buttonFace = MakeColor(192, 192, 192);
    ColorValue buttonText = MakeColor(0, 0, 0);
    int pixelsPerInch = 96;

    ColorValue GetSystemColor(SystemColor color) const override;
    int ScreenPixelsPerInch() const override { return pixelsPerInch; }
    void LowerCase(std::string& text) const override;
    bool IsAlphaNumeric(unsigned char c) const override;
};
