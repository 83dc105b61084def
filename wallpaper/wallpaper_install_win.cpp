#include <windows.h>
#include <shlobj.h>

#include <cwchar>
#include <string>

#include "services/app_settings.h"
#include "services/data_directory.h"
#include "wallpaper/wallpaper_choice.h"
#include "wallpaper/wallpaper_maker.h"
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

// Records, in the settings key, the wallpaper the desktop shows whenever Quellwick's picture
// is about to replace one that is not its own, so that an uninstall can give back the one
// the user chose last. Quellwick's own picture (by its file name, wherever it was written)
// and an empty wallpaper are never recorded.
void RememberPreviousWallpaper() {
    wchar_t current[kPathBuffer] = {};
    DWORD size = sizeof(current);
    // Read from the user profile: this process's SystemParametersInfo answers from a copy.
    if (RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"Wallpaper", RRF_RT_REG_SZ, nullptr, current,
                     &size) != ERROR_SUCCESS ||
        current[0] == L'\0')
        return;
    const wchar_t* slash = wcsrchr(current, L'\\');
    if (lstrcmpiW(slash ? slash + 1 : current, kOutputFile) == 0)
        return;
    AppSettings::Instance().SetPreviousWallpaper(current);
}

}  // namespace

WallpaperStatus CWallpaperMaker::UpdateWallpaper(double* illuminatedPercent, double* ageDays, int force) {
    const MoonEntry current = CurrentMoon(illuminatedPercent, ageDays, nullptr);
    const AppSettings& settings = AppSettings::Instance();
    WallpaperChoice choice;
    if (!ChooseWallpaper(current, GetEntries(), settings.GetMoonType(), settings.GetSelectedMoon(),
                         settings.GetAnnotate(), &choice)) {
        return WallpaperStatus::NothingToShow;
    }
    RenderedFor wanted{choice.paper, CurrentMonitors()};
    if (!WallpaperNeedsInstall(wanted, lastInstalled, lastFailed, GetTickCount(), force != 0))
        return wanted == lastInstalled ? WallpaperStatus::Ok : lastFailed.status;
    const bool southern = settings.GetSouthernView() != 0;
    if (southern)
        choice.annotated = SouthernOverlayName(choice.annotated);
    const WallpaperStatus status = MakeAndInstallWallpaper(choice.paper, choice.annotated, wanted.monitors, southern);
    if (status == WallpaperStatus::Ok) {
        lastInstalled = std::move(wanted);
        lastFailed = FailedAttempt();
    } else {
        lastFailed = {true, std::move(wanted), GetTickCount(), status};
    }
    return status;
}

WallpaperStatus CWallpaperMaker::MakeAndInstallWallpaper(std::string paper, std::string annotated,
                                                         const std::vector<MonitorRect>& monitors, bool turned) const {
    const std::filesystem::path picturePath = JoinPath(GetDataDirectory(), paper);
    const std::filesystem::path annotatedPath =
        annotated.empty() ? std::filesystem::path() : JoinPath(GetDataDirectory(), annotated);
    const std::filesystem::path outputPath = WallpaperOutputPath();
    if (outputPath.empty())
        return WallpaperStatus::SaveFailed;
    const WallpaperStatus rendered = RenderWallpaper(picturePath, outputPath, annotatedPath, monitors, turned);
    if (rendered != WallpaperStatus::Ok)
        return rendered;
    return InstallWallpaper(outputPath, ArrangementFor(monitors, CanSpan()));
}

std::filesystem::path CWallpaperMaker::WallpaperOutputPath() const {
    const std::filesystem::path windowsOutput = WindowsDirectoryOutput();
    if (!windowsOutput.empty() && CanWriteWallpaperAt(windowsOutput))
        return windowsOutput;
    const std::filesystem::path userOutput = UserFolderOutput();
    return userOutput.empty() ? windowsOutput : userOutput;
}

WallpaperStatus CWallpaperMaker::InstallWallpaper(const std::filesystem::path& path,
                                                  WallpaperArrangement arrangement) const {
    wchar_t fullPath[kPathBuffer] = {};
    const DWORD length = GetFullPathNameW(path.c_str(), kPathBuffer, fullPath, nullptr);
    if (length == 0 || length >= kPathBuffer)
        return WallpaperStatus::Refused;

    CRegistryKey desktop;
    if (!desktop.Open(HKEY_CURRENT_USER, "Control Panel\\Desktop"))
        return WallpaperStatus::Refused;
    desktop.WriteString("TileWallpaper", TileWallpaperValue(arrangement));
    desktop.WriteString("WallpaperStyle", WallpaperStyleValue(arrangement));
    desktop.Close();

    RememberPreviousWallpaper();
    // The wide call stores the path as it is, also where the ANSI code page lacks its letters.
    return SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, fullPath, SPIF_UPDATEINIFILE) ? WallpaperStatus::Ok
                                                                                        : WallpaperStatus::Refused;
}
