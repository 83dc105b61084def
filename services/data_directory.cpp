#include "services/data_directory.h"

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

}  // namespace

std::string ResolveDataDirectory(const std::string& programPath, const FullPathFunction& fullPath,
                                 const LeadBytePredicate& isLeadByte) {
    std::string text = programPath;
    if (!text.empty() && text[0] == '"')
        text.erase(0, 1);

    std::string drive;
    if (text.size() >= 2 && text[1] == ':')
        drive = text.substr(0, 2);

    // The directory runs up to and including the last separator; the trail byte of a
    // double-byte character is skipped so it is never taken for one.
    size_t directoryEnd = drive.size();
    for (size_t i = drive.size(); i < text.size(); ++i) {
        if (isLeadByte && isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
            ++i;
            continue;
        }
        if (IsSeparator(text[i]))
            directoryEnd = i + 1;
    }
    // The directory is kept whole: cutting a long one would name a different directory,
    // and the full-path step below enforces the path limit on the result.
    const std::string directory = text.substr(drive.size(), directoryEnd - drive.size());

    std::string resolved;
    if (!fullPath || !fullPath(drive + directory + "..\\data\\", &resolved))
        return std::string();
    return resolved;
}

const std::string& ProcessDataDirectory() {
    static const std::string directory = ResolveProgramDataDirectory();
    return directory;
}
