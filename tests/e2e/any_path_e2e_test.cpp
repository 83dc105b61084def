// The program installed in a folder, and run by a user, whose names the ANSI code page
// (1252 here, as on a Western system) cannot spell.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/common/win_test_support.h"

using namespace wintest;

namespace {

// Cyrillic, which code page 1252 lacks, and "#" and "%41", which a URL takes for a fragment
// and an escaped "A".
const wchar_t kInstallName[] = L"\u041f\u0440\u043e\u0431\u0430 #1 %41";
// The local application data of a user named "Dmitry" in Cyrillic.
const wchar_t kUserFolder[] = L"C:\\users\\\u0414\u043c\u0438\u0442\u0440\u0438\u0439";
const wchar_t kLocalAppData[] = L"C:\\users\\\u0414\u043c\u0438\u0442\u0440\u0438\u0439\\AppData\\Local";
const wchar_t kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

std::wstring DesktopWallpaper() {
    wchar_t value[MAX_PATH + 1] = {};
    DWORD size = sizeof(value);
    RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"Wallpaper", RRF_RT_REG_SZ, nullptr, value, &size);
    return value;
}

// The desktop shows the file at `path`, which holds entry `entry` fitted on black.
void ExpectWallpaperAt(const std::filesystem::path& path, int entry) {
    ASSERT_TRUE(WaitFor([&] { return DesktopWallpaper() == path.native(); }))
        << "the desktop does not show the wallpaper file";
    ExpectWallpaper(entry, false, path);
}

class AnyPath : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_EQ(1252u, GetACP()) << "the test needs a code page without Cyrillic";
    }
};

TEST_F(AnyPath, RunsFromAFolderTheCodePageCannotSpell) {
    CProgram elsewhere{std::wstring(kInstallName)};
    ASSERT_TRUE(elsewhere.IsReady());
    ASSERT_TRUE(WriteColourCatalogue(elsewhere));
    ASSERT_TRUE(elsewhere.Start());
    // Only after reading the catalogue in its data folder does the program install a wallpaper.
    ExpectWallpaperAt(WindowsWallpaperPath(), CurrentMoonIndex(elsewhere));
}

// A user whose Windows directory is not writable gets the wallpaper in a folder of their own.
TEST_F(AnyPath, FallsBackToAUserFolderTheCodePageCannotSpell) {
    ASSERT_TRUE(WriteColourCatalogue(program));
    wchar_t usual[MAX_PATH + 1] = {};
    DWORD usualSize = sizeof usual;
    ASSERT_EQ(ERROR_SUCCESS, RegGetValueW(HKEY_CURRENT_USER, kShellFolders, L"Local AppData",
                                          RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, usual, &usualSize));
    const std::wstring blocked = std::filesystem::path(WindowsWallpaperPath()).native();
    ASSERT_TRUE(CreateDirectoryW(blocked.c_str(), nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CURRENT_USER, kShellFolders, L"Local AppData", REG_EXPAND_SZ,
                                             kLocalAppData, sizeof kLocalAppData));
    const HWND tray = program.Start();
    const std::wstring expected = std::wstring(kLocalAppData) + L"\\Quellwick\\Quellwick.bmp";
    if (tray)
        ExpectWallpaperAt(expected, CurrentMoonIndex(program));
    program.Kill();

    RegSetKeyValueW(HKEY_CURRENT_USER, kShellFolders, L"Local AppData", REG_EXPAND_SZ, usual, usualSize);
    RemoveDirectoryW(blocked.c_str());
    DeleteFileW(expected.c_str());
    for (const wchar_t* folder : {L"\\AppData\\Local\\Quellwick", L"\\AppData\\Local", L"\\AppData", L""})
        RemoveDirectoryW((std::wstring(kUserFolder) + folder).c_str());
    EXPECT_TRUE(tray);
}

}  // namespace
