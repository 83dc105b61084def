#pragma once

#include <initializer_list>
#include <string>

#include "catalog/moon_catalog.h"

inline MoonEntry Entry(const std::string& paper, double phase, const std::string& ann = "",
                       const std::string& title = "", const std::string& description = "") {
    MoonEntry entry;
    entry.paper = paper;
    entry.phase = phase;
    entry.ann = ann;
    entry.title = title;
    entry.description = description;
    return entry;
}

// A catalogue filled directly, as the loader would fill it.
class CTestCatalog : public CMoonCatalog {
public:
    using CMoonCatalog::AppendEntry;
    using CMoonCatalog::ClearEntries;

    void Set(std::initializer_list<MoonEntry> entries) {
        ClearEntries();
        for (const MoonEntry& entry : entries)
            AppendEntry(entry);
    }

    // Entries "moon0.jpg", "moon1.jpg", ... at the given phases.
    void Fill(std::initializer_list<double> phases) {
        ClearEntries();
        int n = 0;
        for (double phase : phases)
            AppendEntry(Entry("moon" + std::to_string(n++) + ".jpg", phase));
    }
};
