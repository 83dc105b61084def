#include "about/html_rich_edit.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <utility>

#include "about/rtf_platform_win.h"
#include "win/owners_win.h"

namespace {

constexpr wchar_t kPageFile[] = L"about.html";
constexpr std::size_t kMaxTargetLength = 511;

// Hands an RTF document to EM_STREAMIN piece by piece.
struct RtfStream {
    const char* data;
    std::size_t size;
    std::size_t position;
};

DWORD CALLBACK ReadRtf(DWORD_PTR cookie, LPBYTE buffer, LONG requested, LONG* delivered) {
    RtfStream& stream = *reinterpret_cast<RtfStream*>(cookie);
    const std::size_t wanted = requested > 0 ? static_cast<std::size_t>(requested) : 0;
    const std::size_t count = std::min(wanted, stream.size - stream.position);
    std::memcpy(buffer, stream.data + stream.position, count);
    stream.position += count;
    *delivered = static_cast<LONG>(count);
    return 0;
}

}  // namespace

CHtmlRichEdit::CHtmlRichEdit(std::filesystem::path directory)
    : converter(SystemRtfPlatform()), dataDirectory(std::move(directory)) {}

CHtmlRichEdit::~CHtmlRichEdit() {
    Detach();
}

bool CHtmlRichEdit::SubclassWindow(HWND control) {
    if (control == nullptr || hwnd != nullptr)
        return false;
    if (!SetWindowSubclass(control, SubclassProc, 0, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    hwnd = control;

    backgroundColor = GetSysColor(COLOR_WINDOW);
    const LONG_PTR style = GetWindowLongPtrA(hwnd, GWL_STYLE);
    SetWindowLongPtrA(hwnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(ES_AUTOHSCROLL));
    // No target device and a line width of 0: lines wrap at the control's edge.
    SendMessageA(hwnd, EM_SETTARGETDEVICE, 0, 0);
    SendMessageA(hwnd, EM_SETEVENTMASK, 0, ENM_LINK | ENM_SELCHANGE);
    return true;
}

void CHtmlRichEdit::Detach() {
    if (hwnd == nullptr)
        return;
    RemoveWindowSubclass(hwnd, SubclassProc, 0);
    hwnd = nullptr;
}

LRESULT CALLBACK CHtmlRichEdit::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                             DWORD_PTR self) {
    // The control goes before its owner object when the dialog is destroyed.
    if (message == WM_NCDESTROY)
        reinterpret_cast<CHtmlRichEdit*>(self)->Detach();
    return DefSubclassProc(window, message, wParam, lParam);
}

std::string CHtmlRichEdit::ReadAboutPage() const {
    const std::wstring path = dataDirectory.native() + kPageFile;
    CFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen())
        return {};
    LARGE_INTEGER size{};
    // One read request takes at most a DWORD's worth; no About page comes near that.
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0 || size.QuadPart >= INT_MAX)
        return {};
    std::string page;
    try {
        page.resize(static_cast<std::size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        return {};
    }
    DWORD read = 0;
    if (!page.empty() &&
        (!ReadFile(file.Get(), page.data(), static_cast<DWORD>(page.size()), &read, nullptr) || read != page.size())) {
        return {};
    }
    page.resize(std::strlen(page.c_str()));
    return page;
}

bool CHtmlRichEdit::SetHtml(const std::string& html) {
    if (hwnd == nullptr)
        return false;

    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
    if (font == nullptr)
        font = GetStockObject(ANSI_VAR_FONT);
    LOGFONTA logFont{};
    GetObjectA(font, sizeof logFont, &logFont);
    {
        CWindowDC dc(hwnd);
        if (dc.Get() != nullptr) {
            textColor = ::GetTextColor(dc.Get());
            backgroundColor = ::GetBkColor(dc.Get());
        }
    }

    const std::optional<std::string> rtf =
        converter.Convert(html, LogicalFontFromLogFont(logFont), textColor, &backgroundColor);
    if (!rtf)
        return false;

    SendMessageA(hwnd, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(backgroundColor));
    RtfStream stream{rtf->c_str(), std::strlen(rtf->c_str()), 0};
    EDITSTREAM edit{};
    edit.dwCookie = reinterpret_cast<DWORD_PTR>(&stream);
    edit.pfnCallback = ReadRtf;
    const LRESULT limit = SendMessageA(hwnd, EM_GETLIMITTEXT, 0, 0);
    SendMessageA(hwnd, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&edit));
    HoldToTextLimit(limit);
    MarkLinks();
    return true;
}

// Windows' rich edit holds streamed RTF to the control's text limit; Wine's takes the whole
// document and raises the limit to fit, so the excess is removed and the limit restored.
void CHtmlRichEdit::HoldToTextLimit(LRESULT limit) {
    if (limit <= 0)
        return;
    if (SendMessageA(hwnd, EM_GETLIMITTEXT, 0, 0) != limit)
        SendMessageA(hwnd, EM_EXLIMITTEXT, 0, limit);
    GETTEXTLENGTHEX request{GTL_NUMCHARS | GTL_PRECISE, CP_ACP};
    const LRESULT length = SendMessageA(hwnd, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&request), 0);
    if (length <= limit)
        return;
    CHARRANGE excess{static_cast<LONG>(limit), -1};
    SendMessageA(hwnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&excess));
    SendMessageA(hwnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
}

void CHtmlRichEdit::MarkLinks() {
    if (hwnd == nullptr)
        return;
    HtmlLink link;
    for (int i = 0; converter.GetLink(i, &link); ++i) {
        CHARRANGE range{link.firstPosition, link.endPosition};
        SendMessageA(hwnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        CHARFORMAT2A format{};
        format.cbSize = sizeof format;
        format.dwMask = CFM_LINK | CFM_UNDERLINE | CFM_UNDERLINETYPE | CFM_STYLE;
        format.dwEffects = CFE_LINK | CFE_UNDERLINE;
        format.bUnderlineType = CFU_UNDERLINE;
        SendMessageA(hwnd, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    }
    CHARRANGE start{0, 0};
    SendMessageA(hwnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&start));
}

bool CHtmlRichEdit::FindLink(LONG first, LONG end, std::string* target) const {
    HtmlLink link;
    for (int i = 0; converter.GetLink(i, &link); ++i) {
        if (link.firstPosition <= first && link.endPosition >= end) {
            if (target != nullptr)
                target->assign(link.target, 0, kMaxTargetLength);
            return true;
        }
    }
    if (target != nullptr)
        target->clear();
    return false;
}
