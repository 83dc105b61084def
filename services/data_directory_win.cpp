#include <windows.h>

#include <vector>

#include "services/data_directory.h"

namespace {

constexpr DWORD kPathBufferSize = MAX_PATH + 1;

// The running program's own path, not the command line: that stays right when the
// program is started through PATH, by a shortcut with arguments or from elsewhere.
std::string ProgramPath() {
    std::vector<char> buffer(kPathBufferSize);
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return std::string();
        if (length < buffer.size())
            return std::string(buffer.data(), length);
        if (buffer.size() >= 32768)
            return std::string();
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

bool PlatformFullPath(const std::string& path, std::string* fullPath) {
    char buffer[kPathBufferSize];
    const DWORD length = GetFullPathNameA(path.c_str(), kPathBufferSize, buffer, nullptr);
    // A length of the buffer size or more is the size the result would need.
    if (length == 0 || length >= kPathBufferSize)
        return false;
    fullPath->assign(buffer, length);
    return true;
}

std::string ResolveProgramDataDirectory() {
    return ResolveDataDirectory(ProgramPath(), PlatformFullPath,
                                [](unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; });
}
