#include "wallpaper/wallpaper_fit.h"

#include <cstddef>

FitRect ComputeFit(uint32_t canvasWidth, uint32_t canvasHeight, uint32_t pictureWidth, uint32_t pictureHeight) {
    FitRect fit;
    if (pictureWidth == 0 || pictureHeight == 0)
        return fit;
    const double sx = static_cast<double>(canvasWidth) / pictureWidth;
    const double sy = static_cast<double>(canvasHeight) / pictureHeight;
    fit.scale = sx < sy ? sx : sy;
    fit.width = static_cast<uint32_t>(pictureWidth * fit.scale);
    fit.height = static_cast<uint32_t>(pictureHeight * fit.scale);
    // The truncated size never exceeds the canvas, so the differences cannot wrap.
    if (fit.width > canvasWidth)
        fit.width = canvasWidth;
    if (fit.height > canvasHeight)
        fit.height = canvasHeight;
    fit.x = (canvasWidth - fit.width) >> 1;
    fit.y = (canvasHeight - fit.height) >> 1;
    return fit;
}

namespace {

wchar_t FoldCase(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool EqualIgnoringCase(const std::wstring& a, size_t start, size_t length, const std::wstring& b) {
    if (length != b.size())
        return false;
    for (size_t i = 0; i < length; ++i) {
        if (FoldCase(a[start + i]) != FoldCase(b[i]))
            return false;
    }
    return true;
}

}  // namespace

bool ExtensionListMatches(const std::wstring& patternList, const std::wstring& extension) {
    constexpr size_t kListLimit = 259;
    const std::wstring pattern = L"*" + extension;
    const std::wstring list = patternList.substr(0, kListLimit);
    size_t start = 0;
    for (;;) {
        const size_t end = list.find(L';', start);
        const size_t length = (end == std::wstring::npos ? list.size() : end) - start;
        if (EqualIgnoringCase(list, start, length, pattern))
            return true;
        if (end == std::wstring::npos)
            return false;
        start = end + 1;
    }
}
