#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "catalog/moon_catalog.h"
#include "tests/unit/catalog_fixture.h"

inline bool operator==(const MoonEntry& a, const MoonEntry& b) {
    return a.paper == b.paper && a.phase == b.phase && a.ann == b.ann && a.title == b.title &&
           a.description == b.description;
}

inline void PrintTo(const MoonEntry& entry, std::ostream* out) {
    *out << "{paper \"" << entry.paper << "\", phase " << entry.phase << ", ann \"" << entry.ann << "\", title \""
         << entry.title << "\", description \"" << entry.description << "\"}";
}

// Text written in UTF-8, as the platform's 8-bit code page holds it.
std::string Ansi(const std::string& utf8);

// A fresh directory whose name holds a character outside ASCII that the 8-bit code page
// can represent; it ends with the platform's separator. Empty when none can be made.
std::string MakeNonAsciiDirectory();

bool CopyTextFile(const std::string& from, const std::string& to);
void RemoveFileAndDirectory(const std::string& file, const std::string& directory);

// The path of a file of the catalogue corpus.
std::string CorpusPath(const std::string& name);
