#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/quellwick_session.h"

namespace {

// One control of a dialog template, as the resource holds it.
struct TemplateItem {
    int id;
    std::string className;
    std::string text;
    int x, y, width, height;
    DWORD style;
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    int width = 0;
    int height = 0;
    std::string caption;
    int pointSize = 0;
    std::string font;
    std::vector<TemplateItem> items;
};

// Reads the fields of a classic (not extended) dialog template.
class CTemplateReader {
public:
    CTemplateReader(const BYTE* data, size_t size) : bytes(data), end(data + size) {}

    bool Read(DialogTemplate* dialog) {
        dialog->style = Dword();
        dialog->exStyle = Dword();
        const WORD count = Word();
        Word();
        Word();
        dialog->width = static_cast<short>(Word());
        dialog->height = static_cast<short>(Word());
        NameOrOrdinal();  // menu
        NameOrOrdinal();  // window class
        dialog->caption = String();
        if (dialog->style & DS_SETFONT) {
            dialog->pointSize = Word();
            dialog->font = String();
        }
        for (WORD i = 0; i < count && ok; ++i) {
            Align();
            TemplateItem item = {};
            item.style = Dword();
            Dword();
            item.x = static_cast<short>(Word());
            item.y = static_cast<short>(Word());
            item.width = static_cast<short>(Word());
            item.height = static_cast<short>(Word());
            item.id = Word();
            item.className = NameOrOrdinal();
            item.text = NameOrOrdinal();
            bytes += Word();
            dialog->items.push_back(item);
        }
        return ok;
    }

private:
    WORD Word() {
        if (bytes + 2 > end) {
            ok = false;
            return 0;
        }
        const WORD value = static_cast<WORD>(bytes[0] | (bytes[1] << 8));
        bytes += 2;
        return value;
    }
    DWORD Dword() {
        const DWORD low = Word();
        return low | (static_cast<DWORD>(Word()) << 16);
    }
    std::string String() {
        std::string text;
        for (WORD c = Word(); c != 0 && ok; c = Word())
            text += static_cast<char>(c);
        return text;
    }
    // A name, or an ordinal written as "#n" (the predefined control classes by name).
    std::string NameOrOrdinal() {
        if (bytes + 2 <= end && bytes[0] == 0xFF && bytes[1] == 0xFF) {
            Word();
            const WORD ordinal = Word();
            switch (ordinal) {
                case 0x80:
                    return "Button";
                case 0x81:
                    return "Edit";
                case 0x82:
                    return "Static";
                case 0x83:
                    return "ListBox";
                default:
                    return "#" + std::to_string(ordinal);
            }
        }
        return String();
    }
    void Align() {
        while ((reinterpret_cast<uintptr_t>(bytes) & 3) != 0)
            ++bytes;
    }

    const BYTE* bytes;
    const BYTE* end;
    bool ok = true;
};

TEST(SettingsDialogTemplate, HoldsTheControlsInTabOrderWithTheirStyles) {
    const e2e::CInstalledLayout layout;
    ASSERT_TRUE(layout.IsReady());
    const HMODULE module = LoadLibraryExA(layout.ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(module);
    const HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(129), MAKEINTRESOURCEA(5));
    ASSERT_TRUE(found) << "no dialog 129";
    const HGLOBAL loaded = LoadResource(module, found);
    DialogTemplate dialog;
    const bool read =
        CTemplateReader(static_cast<const BYTE*>(LockResource(loaded)), SizeofResource(module, found)).Read(&dialog);
    FreeLibrary(module);
    ASSERT_TRUE(read);

    EXPECT_EQ(static_cast<DWORD>(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_SETFONT), dialog.style)
        << std::hex << dialog.style;
    EXPECT_EQ(0u, dialog.exStyle);
    EXPECT_EQ(265, dialog.width);
    EXPECT_EQ(206, dialog.height);
    EXPECT_EQ("Quellwick", dialog.caption);
    EXPECT_EQ(8, dialog.pointSize);
    EXPECT_EQ("MS Sans Serif", dialog.font);

    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
    const TemplateItem expected[] = {
        {1002, "Button", "Display Moon for current time", 16, 7, 107, 10, kChild | WS_TABSTOP | BS_AUTORADIOBUTTON},
        {1003, "Button", "Choose Moon to display:", 16, 19, 93, 10, kChild | WS_TABSTOP | BS_AUTORADIOBUTTON},
        {1001, "ListBox", "", 29, 29, 121, 61, kChild | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT},
        {1005, "Static", "", 157, 7, 90, 80, kChild | SS_BITMAP | SS_CENTERIMAGE | SS_SUNKEN},
        {1006, "Button", "Annotated Moon", 16, 94, 69, 10, kChild | WS_TABSTOP | BS_AUTOCHECKBOX},
        {1, "Button", "OK", 93, 183, 50, 14, kChild | WS_TABSTOP | BS_DEFPUSHBUTTON},
        {2, "Button", "Cancel", 150, 183, 50, 14, kChild | WS_TABSTOP | BS_PUSHBUTTON},
        {12321, "Button", "Apply", 207, 183, 50, 14, kChild | WS_TABSTOP | BS_PUSHBUTTON},
        {57664, "Button", "&About...", 7, 183, 50, 14, kChild | WS_TABSTOP | BS_PUSHBUTTON},
        {1007, "Button", "View Fullscreen", 174, 90, 54, 14, kChild | WS_TABSTOP | BS_PUSHBUTTON},
        {1010, "Edit", "", 7, 113, 251, 64,
         kChild | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY},
    };
    ASSERT_EQ(std::size(expected), dialog.items.size());
    for (size_t i = 0; i < dialog.items.size(); ++i) {
        const TemplateItem& item = dialog.items[i];
        EXPECT_EQ(expected[i].id, item.id) << i;
        EXPECT_EQ(0, lstrcmpiA(expected[i].className.c_str(), item.className.c_str()))
            << item.id << " " << item.className;
        EXPECT_EQ(expected[i].text, item.text) << item.id;
        EXPECT_EQ(expected[i].x, item.x) << item.id;
        EXPECT_EQ(expected[i].y, item.y) << item.id;
        EXPECT_EQ(expected[i].width, item.width) << item.id;
        EXPECT_EQ(expected[i].height, item.height) << item.id;
        EXPECT_EQ(expected[i].style, item.style) << item.id << std::hex << " has 0x" << item.style;
    }
}

}  // namespace
