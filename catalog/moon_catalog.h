#pragma once

#include <vector>

#include "catalog/moon_entry.h"

// The process-wide, ordered list of catalogue entries. Objects are short-lived readers:
// construct one, take a copy of the list with GetEntries, and let both go.
class CMoonCatalog {
public:
    CMoonCatalog() = default;
    virtual ~CMoonCatalog() = default;

    // A complete, independent copy of the list, in catalogue order.
    std::vector<MoonEntry> GetEntries() const;

protected:
    // Filling the list is reserved to the loader.
    static void ClearEntries();
    static void AppendEntry(const MoonEntry& entry);

private:
    static std::vector<MoonEntry>& Entries();
};
