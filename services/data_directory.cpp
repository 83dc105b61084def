#include "services/data_directory.h"

namespace {

using PathString = std::filesystem::path::string_type;

bool IsSeparator(PathString::value_type c) {
    return c == '\\' || c == '/';
}

}  // namespace

std::filesystem::path ResolveDataDirectory(const std::filesystem::path& programPath, const FullPathFunction& fullPath) {
    PathString text = programPath.native();
    if (!text.empty() && text[0] == '"')
        text.erase(0, 1);

    PathString drive;
    if (text.size() >= 2 && text[1] == ':')
        drive = text.substr(0, 2);

    // The directory runs up to and including the last separator. It is kept whole: cutting
    // a long one would name a different directory, and the full-path step below enforces
    // the path limit on the result.
    size_t directoryEnd = drive.size();
    for (size_t i = drive.size(); i < text.size(); ++i) {
        if (IsSeparator(text[i]))
            directoryEnd = i + 1;
    }
    const PathString directory = text.substr(drive.size(), directoryEnd - drive.size());
    const PathString dataStep = {'.', '.', '\\', 'd', 'a', 't', 'a', '\\'};

    std::filesystem::path resolved;
    if (!fullPath || !fullPath(drive + directory + dataStep, &resolved))
        return std::filesystem::path();
    return resolved;
}

std::filesystem::path JoinPath(const std::filesystem::path& directory, const std::string& name) {
    return directory.native() + PathFromText(name).native();
}
