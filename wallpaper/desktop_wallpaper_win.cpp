#include "wallpaper/desktop_wallpaper_win.h"

#include <shlobj.h>

#include <string>

#include "services/app_settings.h"
#include "win/owners_win.h"
#include "win/registry_key.h"

namespace {

constexpr wchar_t kOutputFile[] = L"Quellwick.bmp";
constexpr wchar_t kUserFolder[] = L"Quellwick";
constexpr UINT kPathBuffer = MAX_PATH + 1;

// Whether the wallpaper can be written at `path`: the existing file (if any) may be
// replaced, and a new file can be created beside it for the render to save into.
bool CanWriteWallpaperAt(const std::filesystem::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
        return false;
    }
    const std::wstring probe = path.native() + L".tmp";
    const CFileHandle file(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return file.IsOpen();
}

std::filesystem::path WindowsDirectoryOutput() {
    wchar_t directory[kPathBuffer] = {};
    const UINT length = GetWindowsDirectoryW(directory, kPathBuffer);
    if (length == 0 || length >= kPathBuffer)
        return std::filesystem::path();
    return std::wstring(directory, length) + L"\\" + kOutputFile;
}

// The per-user fallback, for systems where a standard user cannot write to the Windows
// directory.
std::filesystem::path UserFolderOutput() {
    wchar_t appData[kPathBuffer] = {};
    if (FAILED(
            SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, appData)))
        return std::filesystem::path();
    const std::wstring folder = std::wstring(appData) + L"\\" + kUserFolder;
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return std::filesystem::path();
    return folder + L"\\" + kOutputFile;
}

// A value of the user's desktop settings, or `fallback` when there is none. Read from the
// user profile: this process's SystemParametersInfo answers from a copy.
std::wstring DesktopValue(const wchar_t* name, const wchar_t* fallback) {
    wchar_t value[kPathBuffer] = {};
    DWORD size = sizeof(value);
    return RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", name, RRF_RT_REG_SZ, nullptr, value, &size) ==
                   ERROR_SUCCESS
               ? value
               : fallback;
}

// Whether the picture lies in the user's Themes folder, where Windows keeps its copy of a
// slideshow's picture or of one since deleted, and rewrites it with every new wallpaper.
bool IsWindowsCopy(const std::wstring& path) {
    wchar_t appData[kPathBuffer] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData)))
        return false;
    const std::wstring themes = std::wstring(appData) + L"\\Microsoft\\Windows\\Themes\\";
    return path.size() > themes.size() && lstrcmpiW(path.substr(0, themes.size()).c_str(), themes.c_str()) == 0;
}

// Records, in the settings key, the wallpaper the desktop shows and how it is placed, whenever
// Quellwick's picture is about to replace one that is not its own, so that an uninstall can
// give back the one the user chose last: no wallpaper is recorded as an empty path, and a
// picture that Windows keeps as a copy of its own as a copy in Quellwick's folder. Quellwick's
// own picture (by its file name, wherever it was written) is never recorded.
void RememberPreviousWallpaper() {
    std::filesystem::path previous = DesktopValue(L"Wallpaper", L"");
    if (lstrcmpiW(previous.filename().c_str(), kOutputFile) == 0)
        return;
    if (IsWindowsCopy(previous.native())) {
        std::filesystem::path copy = UserFolderOutput();
        if (!copy.empty()) {
            copy.replace_filename(previous.filename());
            if (CopyFileW(previous.c_str(), copy.c_str(), FALSE))
                previous = copy;
        }
    }
    // Windows reads a missing placement value as 0.
    AppSettings::Instance().SetPreviousWallpaper(previous, DesktopValue(L"WallpaperStyle", L"0"),
                                                 DesktopValue(L"TileWallpaper", L"0"));
}

}  // namespace

std::filesystem::path WallpaperOutputPath() {
    const std::filesystem::path windowsOutput = WindowsDirectoryOutput();
    if (!windowsOutput.empty() && CanWriteWallpaperAt(windowsOutput))
        return windowsOutput;
    const std::filesystem::path userOutput = UserFolderOutput();
    return userOutput.empty() ? windowsOutput : userOutput;
}

WallpaperStatus InstallWallpaper(const std::filesystem::path& path, WallpaperArrangement arrangement) {
    wchar_t fullPath[kPathBuffer] = {};
    const DWORD length = GetFullPathNameW(path.c_str(), kPathBuffer, fullPath, nullptr);
    if (length == 0 || length >= kPathBuffer)
        return WallpaperStatus::Refused;

    // Before the placement changes, which is recorded as the user had it.
    RememberPreviousWallpaper();
    CRegistryKey desktop;
    if (!desktop.Open(HKEY_CURRENT_USER, "Control Panel\\Desktop"))
        return WallpaperStatus::Refused;
    desktop.WriteString("TileWallpaper", TileWallpaperValue(arrangement));
    desktop.WriteString("WallpaperStyle", WallpaperStyleValue(arrangement));
    desktop.Close();

    // The wide call stores the path as it is, also where the ANSI code page lacks its letters.
    return SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, fullPath, SPIF_UPDATEINIFILE) ? WallpaperStatus::Ok
                                                                                        : WallpaperStatus::Refused;
}
