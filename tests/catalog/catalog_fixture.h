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

// A catalogue filled directly, as a load would fill it.
class CTestCatalog : public CMoonCatalog {
public:
    void Set(std::initializer_list<MoonEntry> entries) { SetEntries(entries); }

    // Entries "moon0.jpg", "moon1.jpg", ... at the given phases.
    void Fill(std::initializer_list<double> phases) {
        std::vector<MoonEntry> entries;
        for (double phase : phases)
            entries.push_back(Entry("moon" + std::to_string(entries.size()) + ".jpg", phase));
        SetEntries(std::move(entries));
    }
};
