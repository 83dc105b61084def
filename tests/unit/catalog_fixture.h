#pragma once

#include <initializer_list>
#include <string>

#include "catalog/moon_catalog.h"

// Fills the process-wide catalogue list directly, as the loader would.
class CTestCatalog : public CMoonCatalog {
public:
    using CMoonCatalog::AppendEntry;
    using CMoonCatalog::ClearEntries;

    static void Fill(std::initializer_list<double> phases) {
        ClearEntries();
        int n = 0;
        for (double phase : phases) {
            MoonEntry entry;
            entry.paper = "moon" + std::to_string(n++) + ".jpg";
            entry.phase = phase;
            AppendEntry(entry);
        }
    }
};
