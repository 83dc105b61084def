#pragma once

// Reading back what a rich-edit control holds. The probes only send messages, so they work
// from any thread of the process.
#include <windows.h>
#include <richedit.h>

#include <string>
#include <vector>

// The control's text with paragraph ends as single carriage returns.
std::string ControlText(HWND control);
// WM_GETTEXT's view of the text (paragraph ends as CR LF).
std::string WindowText(HWND window);
// The character format that the range has throughout (the mask says which parts agree).
CHARFORMAT2A RangeFormat(HWND control, LONG first, LONG end);
// The control's background colour (set and restored, since the control has no getter).
COLORREF BackgroundColor(HWND control);

// The maximal runs of characters that carry the link effect.
struct TextRun {
    LONG first;
    LONG end;
    std::string text;
};
std::vector<TextRun> LinkRuns(HWND control);

// Where the character at `index` is drawn, in the control's client coordinates.
POINT CharacterPoint(HWND control, LONG index);
