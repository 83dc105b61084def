#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
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

// The ordered list of catalogue entries and its loader. Whoever loads the catalogue owns
// the object and lends it to those that read the entries; the tray window owns the
// program's one catalogue. Each platform's loader (quellwick_catalog_loader) delivers the
// parse events below in 8-bit text.
class CMoonCatalog {
public:
    CMoonCatalog() = default;
    virtual ~CMoonCatalog() = default;
    CMoonCatalog(const CMoonCatalog&) = delete;
    CMoonCatalog& operator=(const CMoonCatalog&) = delete;

    // Parses the catalogue file into the list, in file order. Returns a result code,
    // negative on failure; a failed load leaves the list as it was.
    long Load(const std::filesystem::path& path);

    // The list, in catalogue order.
    const std::vector<MoonEntry>& GetEntries() const { return entryList; }

    // The parse events, which build the list aside. A negative result from OnElementStart
    // stops the parse with that code.
    void OnDocumentStart();
    long OnElementStart(const std::string& localName, const CCatalogAttributes& attributes);
    void OnCharacters(const char* text, size_t length);
    void OnElementEnd(const std::string& localName);

protected:
    // Filling the list is reserved to the loader.
    void ClearEntries();
    void AppendEntry(const MoonEntry& entry);

private:
    // The end of Load with the parse's result: a successful parse's entries become the list.
    long FinishLoad(long result);

    std::vector<MoonEntry> entryList;
    // The entries of the parse under way; nobody sees a part of a catalogue.
    std::vector<MoonEntry> loadingList;
    std::string textBuffer;
    MoonEntry workingEntry;
};
