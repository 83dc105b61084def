#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

#include "about/html_to_rtf.h"

// Takes over a "RichEdit20A" control and shows an HTML page in it: the page is converted to
// RTF, streamed into the control, and its links are marked so that clicks on them can be
// resolved to their targets.
class CHtmlRichEdit {
public:
    // `dataDirectory` ends in a backslash; the page is read from "about.html" inside it.
    explicit CHtmlRichEdit(std::filesystem::path dataDirectory);
    ~CHtmlRichEdit();
    CHtmlRichEdit(const CHtmlRichEdit&) = delete;
    CHtmlRichEdit& operator=(const CHtmlRichEdit&) = delete;

    // Subclasses the control and prepares it: window background colour, no horizontal
    // scrolling (lines wrap at the control's edge), link and selection notifications.
    bool SubclassWindow(HWND control);
    HWND GetHwnd() const { return hwnd; }

    // The About page as 8-bit text; empty when the file cannot be read whole.
    std::string ReadAboutPage() const;

    // Converts the page (up to its first zero byte) and loads it into the control with the
    // page's background colour and marked links. False when the conversion failed; the
    // control then keeps its content and background.
    bool SetHtml(const std::string& html);

    // Gives every link range of the loaded page the link effect and an underline.
    void MarkLinks();

    // The target of the link whose range covers the characters from `first` to `end`, cut
    // to 511 characters. False, with an empty target, when no single link covers them.
    bool FindLink(LONG first, LONG end, std::string* target) const;

    ColorValue GetTextColor() const { return textColor; }
    ColorValue GetBackgroundColor() const { return backgroundColor; }

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);
    void Detach();
    void HoldToTextLimit(LRESULT limit);

    HWND hwnd = nullptr;
    CHtmlToRtf converter;
    ColorValue textColor = 0;
    ColorValue backgroundColor = 0;
    std::filesystem::path dataDirectory;
};
