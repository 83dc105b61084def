#pragma once

#include <functional>
#include <string>

// Turns a path into an absolute one; false when the platform cannot (for example when
// the result would not fit the path limit).
using FullPathFunction = std::function<bool(const std::string& path, std::string* fullPath)>;

// True for a byte that starts a double-byte character in the 8-bit code page.
using LeadBytePredicate = std::function<bool(unsigned char byte)>;

// The data directory "..\data\" beside the directory of `programPath`, as an absolute
// path ending in a separator, or empty when the full-path step fails. `programPath` may
// be enclosed in double quotes; whatever follows its last separator is ignored.
std::string ResolveDataDirectory(const std::string& programPath, const FullPathFunction& fullPath,
                                 const LeadBytePredicate& isLeadByte = LeadBytePredicate());

// The process-wide data directory, resolved from the running program's own path on the
// first call and never changed afterwards.
const std::string& ProcessDataDirectory();

// The platform's half: its full-path function, and the data directory of the running
// program.
bool PlatformFullPath(const std::string& path, std::string* fullPath);
std::string ResolveProgramDataDirectory();
