#include <limits.h>
#include <unistd.h>

#include <vector>

#include "services/data_directory.h"

namespace {

std::filesystem::path ProgramPath() {
    std::vector<char> buffer(PATH_MAX);
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length <= 0 || static_cast<size_t>(length) >= buffer.size())
        return std::string();
    return std::string(buffer.data(), static_cast<size_t>(length));
}

}  // namespace

// Makes a path absolute against the current directory and removes "." and ".." steps,
// taking both separators; the result uses "/" and keeps a trailing separator.
bool PlatformFullPath(const std::filesystem::path& path, std::filesystem::path* fullPath) {
    std::string text = path.native();
    for (char& c : text) {
        if (c == '\\')
            c = '/';
    }
    if (text.empty() || text[0] != '/') {
        char current[PATH_MAX];
        if (!getcwd(current, sizeof current))
            return false;
        text = std::string(current) + "/" + text;
    }
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('/', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string part = text.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string result;
    for (const std::string& part : parts)
        result += "/" + part;
    if (text.back() == '/' || result.empty())
        result += "/";
    if (result.size() >= PATH_MAX)
        return false;
    *fullPath = result;
    return true;
}

std::filesystem::path ResolveProgramDataDirectory() {
    return ResolveDataDirectory(ProgramPath(), PlatformFullPath);
}

std::filesystem::path PathFromText(const std::string& text) {
    return text;
}
