#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "catalog/moon_entry.h"

#ifdef _WIN32
#include "catalog/sax_content_handler.h"
#endif

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

// The process-wide, ordered list of catalogue entries and its loader. Objects are
// short-lived: construct one, take a copy of the list with GetEntries, and let both go.
// On Windows the object is the content handler of the platform's streaming XML reader.
class CMoonCatalog
#ifdef _WIN32
    : public CSaxContentHandler
#endif
{
public:
    CMoonCatalog() = default;
    virtual ~CMoonCatalog() = default;

    // Parses the catalogue file into the list, in file order. Returns a result code,
    // negative on failure; entries completed before a failure stay in the list.
    long Load(std::string path);

    // A complete, independent copy of the list, in catalogue order.
    std::vector<MoonEntry> GetEntries() const;

    // The parse events in 8-bit text, which every reader delivers. A negative result
    // from OnElementStart stops the parse with that code.
    void OnDocumentStart();
    long OnElementStart(const std::string& localName, const CCatalogAttributes& attributes);
    void OnCharacters(const char* text, size_t length);
    void OnElementEnd(const std::string& localName);

#ifdef _WIN32
    HRESULT STDMETHODCALLTYPE startDocument() override;
    HRESULT STDMETHODCALLTYPE startElement(const wchar_t* namespaceUri, int namespaceUriLength,
                                           const wchar_t* localName, int localNameLength, const wchar_t* qualifiedName,
                                           int qualifiedNameLength, ISAXAttributes* attributes) override;
    HRESULT STDMETHODCALLTYPE endElement(const wchar_t* namespaceUri, int namespaceUriLength, const wchar_t* localName,
                                         int localNameLength, const wchar_t* qualifiedName,
                                         int qualifiedNameLength) override;
    HRESULT STDMETHODCALLTYPE characters(const wchar_t* text, int length) override;
#endif

protected:
    // Filling the list is reserved to the loader.
    static void ClearEntries();
    static void AppendEntry(const MoonEntry& entry);

private:
    static std::vector<MoonEntry>& Entries();

    std::string textBuffer;
    MoonEntry workingEntry;
};
