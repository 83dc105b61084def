// The release installer under Wine, in a prefix of its own: one lifecycle from a silent
// install to a silent uninstall, in a folder that already holds the user's own files. The
// tests run in the order written, each on what the one before left (the ctest runs this
// program once).
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include "tests/common/win_test_support.h"

using namespace wintest;

namespace {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quellwick";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kSettingsKey[] = "Software\\Quellwick";
constexpr DWORD kSetupMs = 180000;

std::string WinePath(std::string unixPath) {
    std::replace(unixPath.begin(), unixPath.end(), '/', '\\');
    return "Z:" + unixPath;
}

std::string Folder(int csidl) {
    char path[MAX_PATH + 1] = {};
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

const std::string kInstallRoot = Folder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Quellwick";
const std::string kShortcut = Folder(CSIDL_PROGRAMS) + "\\Quellwick.lnk";
const std::string kProgram = kInstallRoot + "\\bin\\Quellwick.exe";
const std::string kPreviousWallpaper = Folder(CSIDL_LOCAL_APPDATA) + "\\previous.bmp";
const std::string kUninstaller = kInstallRoot + "\\Uninstall.exe";

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool SetDesktopString(const char* name, const std::string& value) {
    return RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", name, REG_SZ, value.c_str(),
                           value.size() + 1) == ERROR_SUCCESS;
}

// Every file and folder (with a trailing backslash) below `root`, relative to it.
std::set<std::string> Tree(const std::string& root) {
    std::set<std::string> entries;
    std::error_code error;
    for (std::filesystem::recursive_directory_iterator it(root, error), end; !error && it != end; it.increment(error))
        entries.insert(it->path().string().substr(root.size() + 1) + (it->is_directory() ? "\\" : ""));
    return entries;
}

bool ShowsQuellwicksPicture() {
    return ReadDesktopString("Wallpaper").find("Quellwick.bmp") != std::string::npos;
}

DWORD RunSetupSilently() {
    return RunProgram(WinePath(QW_SETUP), "/S", kSetupMs);
}

// Every file the installer puts down is the staged one, byte for byte.
void ExpectStagedFiles() {
    for (const char* file : {"\\bin\\Quellwick.exe", "\\data\\Quellwicks.xml", "\\data\\about.html",
                             "\\data\\moon_00.jpg", "\\data\\moon_62_ann.png"}) {
        const std::string installed = ReadFileBytes(kInstallRoot + file);
        EXPECT_TRUE(!installed.empty() && installed == ReadFileBytes(WinePath(QW_STAGE_DIR) + file)) << file;
    }
}

// The copy that runs between the tests.
std::unique_ptr<CProgram> running;

TEST(Installer, SilentInstallLaysOutFilesShortcutSignInStartAndUninstallEntry) {
    ASSERT_TRUE(EnterVirtualDesktop("QuellwickE2E", kDesktopWidth, kDesktopHeight))
        << "the virtual desktop did not start";
    CGdiplusSession imaging;
    ASSERT_TRUE(SavePicture(kPreviousWallpaper, 64, 48, {{0, 0, 64, 48, 0xFF2040A0}}));
    // A photo shown as "Fill".
    ASSERT_TRUE(SetDesktopString("Wallpaper", kPreviousWallpaper) && SetDesktopString("WallpaperStyle", "10"));
    // The user's own files and folders where Quellwick goes.
    for (const char* folder : {"\\data", "\\drafts"})
        ASSERT_EQ(ERROR_SUCCESS, SHCreateDirectoryExA(nullptr, (kInstallRoot + folder).c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(kInstallRoot + "\\data\\thesis.txt", "the user's own"));

    ASSERT_EQ(0u, RunSetupSilently());
    ExpectStagedFiles();
    const std::string page = ReadFileBytes(kInstallRoot + "\\data\\about.html");
    EXPECT_NE(std::string::npos, page.find(std::string("Version ") + QW_VERSION)) << "the About page";
    EXPECT_TRUE(Exists(kUninstaller));
    EXPECT_TRUE(Exists(kShortcut));
    EXPECT_EQ("\"" + kProgram + "\"", ReadUserString(kRunKey, "Quellwick"));
    const std::string uninstaller = "\"" + kInstallRoot + "\\Uninstall.exe\"";
    const std::pair<const char*, std::string> entry[] = {{"DisplayName", "Quellwick"},
                                                         {"DisplayVersion", QW_VERSION},
                                                         {"DisplayIcon", "\"" + kProgram + "\",0"},
                                                         {"UninstallString", uninstaller},
                                                         {"QuietUninstallString", uninstaller + " /S"}};
    for (const auto& [name, expected] : entry)
        EXPECT_EQ(expected, ReadUserString(kUninstallKey, name)) << name;
}

TEST(Installer, InstalledProgramSetsTheWallpaperAndASecondStartOpensTheFirstOnesSettings) {
    // The rich-edit library comes from the system directory, never from beside the program.
    const std::string planted = kInstallRoot + "\\bin\\RICHED20.DLL";
    ASSERT_TRUE(CopyFileA(WinePath(QW_PLANTED_LIBRARY).c_str(), planted.c_str(), FALSE));
    // Wine prefers its own rich-edit library to one found by name; Windows takes the found one.
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Quellwick.exe\\DllOverrides", "riched20",
                              REG_SZ, "native,builtin", sizeof("native,builtin")));
    running = std::make_unique<CProgram>(kInstallRoot);
    const HWND tray = running->Start();
    ASSERT_TRUE(tray) << "the installed program did not start";
    EXPECT_FALSE(Exists(kInstallRoot + "\\bin\\planted_library_loaded")) << "the planted library was loaded";
    DeleteFileA(planted.c_str());
    EXPECT_TRUE(WaitFor([&] { return HasTrayIcon(tray); })) << "no notification icon";
    ASSERT_TRUE(WaitFor(ShowsQuellwicksPicture, 60000)) << "wallpaper setting is " << ReadDesktopString("Wallpaper");
    EXPECT_TRUE(Exists(ReadDesktopString("Wallpaper")));
    EXPECT_EQ(kPreviousWallpaper, ReadUserString(kSettingsKey, "PreviousWallpaper"));

    EXPECT_EQ(0u, RunProgram(kProgram, ""));
    EXPECT_TRUE(running->WaitWindow("#32770", "Quellwick")) << "the running copy did not open its settings";
    EXPECT_EQ(tray, FindWindowA("QuellwickTrayIconWindow", nullptr));
    EXPECT_FALSE(FindWindowExA(nullptr, tray, "QuellwickTrayIconWindow", nullptr)) << "a second tray window";
}

TEST(Installer, UpgradeOverTheRunningCopyReplacesTheFilesAndKeepsTheSettings) {
    ASSERT_TRUE(running && running->WaitExit(0) == STILL_ACTIVE);
    ASSERT_TRUE(WriteSetting("Annotate", 1));
    ASSERT_TRUE(WriteFileBytes(kInstallRoot + "\\data\\about.html", "an older page"));
    // A file in a folder that only the previous version had, as its record names them.
    const std::string record = kInstallRoot + "\\installed_files.txt";
    ASSERT_TRUE(CreateDirectoryA((kInstallRoot + "\\old").c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(kInstallRoot + "\\old\\moon.jpg", "a picture of the previous version"));
    ASSERT_TRUE(WriteFileBytes(record, "old\\moon.jpg\r\n" + ReadFileBytes(record) + "old\\\r\n"));

    ASSERT_EQ(0u, RunSetupSilently());
    EXPECT_EQ(0u, running->WaitExit(0)) << "the running copy was not closed";
    ExpectStagedFiles();
    EXPECT_FALSE(Exists(kInstallRoot + "\\old")) << "the previous version's file or folder is left";
    EXPECT_EQ(1u, SettingOr("Annotate", 0));
    EXPECT_EQ(kPreviousWallpaper, ReadUserString(kSettingsKey, "PreviousWallpaper"));
    EXPECT_EQ("\"" + kProgram + "\"", ReadUserString(kRunKey, "Quellwick"));
}

TEST(Installer, SilentUninstallRemovesWhatItInstalledAndGivesTheWallpaperBack) {
    running = std::make_unique<CProgram>(kInstallRoot);
    ASSERT_TRUE(running->Start()) << "the upgraded program did not start";
    const std::string picture = ReadDesktopString("Wallpaper");
    ASSERT_NE(std::string::npos, picture.find("Quellwick.bmp"));

    RunProgram(kUninstaller, "/S", 0);
    // The uninstaller runs on from a copy of itself, which removes the uninstaller last.
    ASSERT_TRUE(WaitFor([] { return !Exists(kUninstaller); }, kSetupMs)) << "the uninstaller is still there";
    // Of the installer's folders only the one that holds a file of the user's stays.
    EXPECT_EQ((std::set<std::string>{"data\\", "data\\thesis.txt", "drafts\\"}), Tree(kInstallRoot));
    EXPECT_NE(STILL_ACTIVE, running->WaitExit(0)) << "the running copy was not closed";
    EXPECT_FALSE(Exists(kShortcut));
    EXPECT_FALSE(Exists(picture));
    EXPECT_EQ("<missing>", ReadUserString(kRunKey, "Quellwick"));
    EXPECT_EQ("<missing>", ReadUserString(kUninstallKey, "DisplayName"));
    EXPECT_EQ(kPreviousWallpaper, ReadDesktopString("Wallpaper"));
    EXPECT_EQ("10", ReadDesktopString("WallpaperStyle"));
    EXPECT_EQ(1u, SettingOr("Annotate", 0)) << "a silent uninstall keeps the settings";
}

TEST(Installer, UninstallGivesBackNoWallpaperOrTheCopyOfOneThatWindowsKept) {
    std::error_code error;
    std::filesystem::remove_all(kInstallRoot, error);
    const std::string transcoded = Folder(CSIDL_APPDATA) + "\\Microsoft\\Windows\\Themes\\TranscodedWallpaper";
    // A tiled picture.
    ASSERT_TRUE(SetDesktopString("TileWallpaper", "1"));
    for (const std::string& previous : {std::string(), transcoded}) {
        SCOPED_TRACE(previous);
        ASSERT_TRUE(CopyFileA(kPreviousWallpaper.c_str(), transcoded.c_str(), FALSE));
        ASSERT_TRUE(SetDesktopString("Wallpaper", previous));
        ASSERT_EQ(0u, RunSetupSilently());
        running = std::make_unique<CProgram>(kInstallRoot);
        ASSERT_TRUE(running->Start());
        ASSERT_TRUE(WaitFor(ShowsQuellwicksPicture, 60000));
        const std::string picture = ReadDesktopString("Wallpaper");
        // As Windows 8 and later do with each new wallpaper.
        ASSERT_TRUE(CopyFileA(picture.c_str(), transcoded.c_str(), FALSE));

        RunProgram(kUninstaller, "/S", 0);
        ASSERT_TRUE(WaitFor([] { return !Exists(kInstallRoot); }, kSetupMs)) << "the install folder is still there";
        EXPECT_FALSE(Exists(picture));
        const std::string restored = ReadDesktopString("Wallpaper");
        EXPECT_EQ(previous.empty(), restored.empty()) << restored;
        EXPECT_TRUE((previous.empty() ? "" : ReadFileBytes(kPreviousWallpaper)) == ReadFileBytes(restored)) << restored;
        EXPECT_EQ("1", ReadDesktopString("TileWallpaper"));
    }
}

}  // namespace
