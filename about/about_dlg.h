#pragma once

#include <windows.h>
#include <richedit.h>

#include <filesystem>
#include <functional>
#include <string>

#include "about/html_rich_edit.h"
#include "win/dialog_base.h"
#include "win/owners_win.h"

// Opens a link target that has passed the safety check; the About box's owner window
// and the target.
using LinkLauncher = std::function<void(HWND owner, const std::string& target)>;

// Opens a target in its default application through the shell.
void OpenLinkWithShell(HWND owner, const std::string& target);

// The modal About box (dialog 100): the About page from the data directory as rich text,
// with links that open in the browser or mail program.
class CAboutDlg : public CDialogBase {
public:
    // `dataDirectory` ends in a backslash. `launcher` opens clicked links.
    explicit CAboutDlg(std::filesystem::path dataDirectory, LinkLauncher launcher = OpenLinkWithShell);
    CAboutDlg(const CAboutDlg&) = delete;
    CAboutDlg& operator=(const CAboutDlg&) = delete;

    // Runs the dialog modally over `owner` (may be null). Returns IDOK or IDCANCEL, or -1
    // when the dialog could not be created.
    INT_PTR DoModal(HWND owner);

private:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog();
    void OnCommand(int id);
    void OnLinkNotify(const ENLINK& link);
    void CenterOverOwner();
    void FitIconInMargin();

    CHtmlRichEdit page;
    CIconOwner icon;
    LinkLauncher launcher;
};

// Shows the About box modally over `owner` and returns when the user has closed it. While
// one is open, another call brings it to the front and returns at once.
void ShowAboutBox(const std::filesystem::path& dataDirectory, HWND owner);
