#include "rich_edit_probe.h"

std::string ControlText(HWND control) {
    GETTEXTLENGTHEX length{GTL_NUMBYTES | GTL_PRECISE, CP_ACP};
    const LRESULT bytes = SendMessageA(control, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
    std::string text(static_cast<std::size_t>(bytes) + 1, '\0');
    GETTEXTEX request{};
    request.cb = static_cast<DWORD>(text.size());
    request.flags = GT_DEFAULT;
    request.codepage = CP_ACP;
    const LRESULT copied =
        SendMessageA(control, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

std::string WindowText(HWND window) {
    const LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied = SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

CHARFORMAT2A RangeFormat(HWND control, LONG first, LONG end) {
    CHARRANGE range{first, end};
    SendMessageA(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    CHARFORMAT2A format{};
    format.cbSize = sizeof format;
    SendMessageA(control, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
}

COLORREF BackgroundColor(HWND control) {
    const auto previous = static_cast<COLORREF>(SendMessageA(control, EM_SETBKGNDCOLOR, 0, RGB(1, 2, 3)));
    SendMessageA(control, EM_SETBKGNDCOLOR, 0, previous);
    return previous;
}

std::vector<TextRun> LinkRuns(HWND control) {
    const std::string text = ControlText(control);
    std::vector<TextRun> runs;
    LONG start = -1;
    const LONG length = static_cast<LONG>(text.size());
    for (LONG i = 0; i <= length; ++i) {
        const bool link = i < length && (RangeFormat(control, i, i + 1).dwEffects & CFE_LINK) != 0;
        if (link && start < 0)
            start = i;
        if (!link && start >= 0) {
            runs.push_back({start, i, text.substr(start, i - start)});
            start = -1;
        }
    }
    return runs;
}

POINT CharacterPoint(HWND control, LONG index) {
    POINTL point{};
    SendMessageA(control, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&point), index);
    return {point.x, point.y};
}
