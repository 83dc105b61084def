#include "catalog/moon_catalog.h"

std::vector<MoonEntry>& CMoonCatalog::Entries() {
    static std::vector<MoonEntry> entries;
    return entries;
}

std::vector<MoonEntry> CMoonCatalog::GetEntries() const {
    return Entries();
}

void CMoonCatalog::ClearEntries() {
    std::vector<MoonEntry>().swap(Entries());
}

void CMoonCatalog::AppendEntry(const MoonEntry& entry) {
    Entries().push_back(entry);
}
