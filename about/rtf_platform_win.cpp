#include "about/rtf_platform_win.h"

#include "about/rtf_platform.h"
#include "win/screen_dpi_win.h"

namespace {

class CSystemRtfPlatform : public IRtfPlatform {
public:
    ColorValue GetSystemColor(SystemColor color) const override {
        switch (color) {
            case SystemColor::window: return GetSysColor(COLOR_WINDOW);
            case SystemColor::windowText: return GetSysColor(COLOR_WINDOWTEXT);
            case SystemColor::buttonFace: return GetSysColor(COLOR_BTNFACE);
            case SystemColor::buttonText: return GetSysColor(COLOR_BTNTEXT);
        }
        return 0;
    }

    int ScreenPixelsPerInch() const override { return ScreenDpi(); }

    void LowerCase(std::string& text) const override {
        if (!text.empty()) CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
    }

    bool IsAlphaNumeric(unsigned char c) const override {
        return IsCharAlphaNumericA(static_cast<CHAR>(c)) != FALSE;
    }
};

}  // namespace

const IRtfPlatform& SystemRtfPlatform() {
    static const CSystemRtfPlatform platform;
    return platform;
}

LogicalFont LogicalFontFromLogFont(const LOGFONTA& font) {
    LogicalFont result;
    result.height = font.lfHeight;
    result.width = font.lfWidth;
    result.escapement = font.lfEscapement;
    result.orientation = font.lfOrientation;
    result.weight = font.lfWeight;
    result.italic = font.lfItalic;
    result.underline = font.lfUnderline;
    result.strikeOut = font.lfStrikeOut;
    result.charSet = font.lfCharSet;
    result.outPrecision = font.lfOutPrecision;
    result.clipPrecision = font.lfClipPrecision;
    result.quality = font.lfQuality;
    result.pitchAndFamily = font.lfPitchAndFamily;
    // The record's face field may lack its terminator.
    result.faceName.assign(font.lfFaceName, strnlen(font.lfFaceName, LF_FACESIZE));
    return result;
}
