#include "about/rtf_platform.h"

ColorValue CFixedRtfPlatform::GetSystemColor(SystemColor color) const {
    switch (color) {
        case SystemColor::window: return window;
        case SystemColor::windowText: return windowText;
        case SystemColor::buttonFace: return buttonFace;
        case SystemColor::buttonText: return buttonText;
    }
    return 0;
}

void CFixedRtfPlatform::LowerCase(std::string& text) const {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
}

bool CFixedRtfPlatform::IsAlphaNumeric(unsigned char c) const {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
