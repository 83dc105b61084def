#pragma once

#include <filesystem>
#include <functional>
#include <string>

// Paths are held as the platform's own path type (UTF-16 on Windows), so that a folder or
// user name outside the ANSI code page works.

// Turns a path into an absolute one; false when the platform cannot (for example when
// the result would not fit the path limit).
using FullPathFunction = std::function<bool(const std::filesystem::path& path, std::filesystem::path* fullPath)>;

// The data directory "..\data\" beside the directory of `programPath`, as an absolute
// path ending in a separator, or empty when the full-path step fails. `programPath` may
// be enclosed in double quotes; whatever follows its last separator is ignored.
std::filesystem::path ResolveDataDirectory(const std::filesystem::path& programPath, const FullPathFunction& fullPath);

// `directory` (ending in a separator) followed directly by `name`, a file name as the
// catalogue gives it: 8-bit text in the ANSI code page, which may hold subfolders.
std::filesystem::path JoinPath(const std::filesystem::path& directory, const std::string& name);

// The platform's half: its full-path function, the data directory of the running
// program, and 8-bit text as a path.
bool PlatformFullPath(const std::filesystem::path& path, std::filesystem::path* fullPath);
std::filesystem::path ResolveProgramDataDirectory();
std::filesystem::path PathFromText(const std::string& text);
