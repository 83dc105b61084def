#pragma once

// Reading back what a rich-edit control holds, and scratch folders for About pages. The
// probes only send messages, so they work from any thread of the process.
#include <windows.h>
#include <richedit.h>

#include <string>
#include <vector>

// A fresh folder under the temporary directory, removed with its files at the end.
class CScratchFolder {
public:
    CScratchFolder();
    ~CScratchFolder();
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    // The folder's path with a trailing backslash, as the data directory is given.
    const std::string& Path() const { return path; }
    // Writes `bytes` as "about.html" in the folder.
    void WritePage(const std::string& bytes) const;

private:
    std::string path;
};

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
