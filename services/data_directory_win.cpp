#include <windows.h>

#include <vector>

#include "services/data_directory.h"
#include "win/ansi_text_win.h"

namespace {

constexpr DWORD kPathBufferSize = MAX_PATH + 1;

// The running program's own path, not the command line: that stays right when the
// program is started through PATH, by a shortcut with arguments or from elsewhere.
std::wstring ProgramPath() {
    std::vector<wchar_t> buffer(kPathBufferSize);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return std::wstring();
        if (length < buffer.size())
            return std::wstring(buffer.data(), length);
        if (buffer.size() >= 32768)
            return std::wstring();
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

bool PlatformFullPath(const std::filesystem::path& path, std::filesystem::path* fullPath) {
    wchar_t buffer[kPathBufferSize];
    const DWORD length = GetFullPathNameW(path.c_str(), kPathBufferSize, buffer, nullptr);
    // A length of the buffer size or more is the size the result would need.
    if (length == 0 || length >= kPathBufferSize)
        return false;
    *fullPath = std::wstring(buffer, length);
    return true;
}

std::filesystem::path ResolveProgramDataDirectory() {
    return ResolveDataDirectory(ProgramPath(), PlatformFullPath);
}

std::filesystem::path PathFromText(const std::string& text) {
    return WideFromAnsi(text);
}
