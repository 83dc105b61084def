#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "catalog/moon_entry.h"

// The attributes of one element start, looked up by local name in the element's own
// namespace.
class CCatalogAttributes {
public:
    // Stores the value as 8-bit text and returns 0, or returns a negative result code
    // when the element has no such attribute.
    virtual long Find(const char* localName, std::string* value) const = 0;

protected:
    ~CCatalogAttributes() = default;
};

// The ordered list of catalogue entries. Whoever loads the catalogue owns the object and
// lends it to those that read the entries; the tray window owns the program's one
// catalogue. Each platform's loader (LoadMoonCatalog in catalog/catalog_loader.h) delivers
// the parse events below in 8-bit text and then finishes the load.
class CMoonCatalog {
public:
    CMoonCatalog() = default;
    CMoonCatalog(const CMoonCatalog&) = delete;
    CMoonCatalog& operator=(const CMoonCatalog&) = delete;

    // The list, in catalogue order.
    const std::vector<MoonEntry>& GetEntries() const { return entryList; }
    // Replaces the list, as a successful load does with the entries it read.
    void SetEntries(std::vector<MoonEntry> entries) { entryList = std::move(entries); }

    // The parse events, which build the list aside. A negative result from OnElementStart
    // stops the parse with that code.
    void OnDocumentStart();
    long OnElementStart(const std::string& localName, const CCatalogAttributes& attributes);
    void OnCharacters(const char* text, size_t length);
    void OnElementEnd(const std::string& localName);
    // The end of a load with the parse's result: a successful parse's entries become the
    // list; a failed one leaves the list as it was. Returns the result.
    long FinishLoad(long result);

private:
    std::vector<MoonEntry> entryList;
    // The entries of the parse under way; nobody sees a part of a catalogue.
    std::vector<MoonEntry> loadingList;
    std::string textBuffer;
    MoonEntry workingEntry;
};
