#include <shlwapi.h>

#include <new>

#include "catalog/moon_catalog.h"
#include "catalog/sax_content_handler.h"
#include "win/ansi_text_win.h"
#include "win/owners_win.h"

namespace {

// Attribute lookup through the reader's attribute list, in the element's namespace.
class CMsxmlAttributes : public CCatalogAttributes {
public:
    CMsxmlAttributes(ISAXAttributes* list, const wchar_t* namespaceUri, int namespaceUriLength)
        : attributes(list), uri(namespaceUri ? namespaceUri : L""), uriLength(namespaceUri ? namespaceUriLength : 0) {}

    long Find(const char* localName, std::string* value) const override {
        if (!attributes)
            return E_INVALIDARG;
        const std::wstring name = WideFromAnsi(localName);
        const wchar_t* text = nullptr;
        int length = 0;
        const HRESULT result =
            attributes->getValueFromName(uri, uriLength, name.c_str(), static_cast<int>(name.size()), &text, &length);
        if (FAILED(result))
            return result;
        *value = AnsiFromWide(text, length);
        return S_OK;
    }

private:
    ISAXAttributes* attributes;
    const wchar_t* uri;
    int uriLength;
};

// Hands the reader's events to a catalogue. No exception may cross back into the reader:
// a failed allocation stops the parse.
class CCatalogSaxHandler : public CSaxContentHandler {
public:
    explicit CCatalogSaxHandler(CMoonCatalog& target) : catalog(target) {}

    HRESULT STDMETHODCALLTYPE startDocument() override;
    HRESULT STDMETHODCALLTYPE startElement(const wchar_t* namespaceUri, int namespaceUriLength,
                                           const wchar_t* localName, int localNameLength, const wchar_t* qualifiedName,
                                           int qualifiedNameLength, ISAXAttributes* attributes) override;
    HRESULT STDMETHODCALLTYPE endElement(const wchar_t* namespaceUri, int namespaceUriLength, const wchar_t* localName,
                                         int localNameLength, const wchar_t* qualifiedName,
                                         int qualifiedNameLength) override;
    HRESULT STDMETHODCALLTYPE characters(const wchar_t* text, int length) override;

private:
    CMoonCatalog& catalog;
};

HRESULT STDMETHODCALLTYPE CCatalogSaxHandler::startDocument() {
    catalog.OnDocumentStart();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CCatalogSaxHandler::startElement(const wchar_t* namespaceUri, int namespaceUriLength,
                                                           const wchar_t* localName, int localNameLength,
                                                           const wchar_t*, int, ISAXAttributes* attributes) {
    try {
        return catalog.OnElementStart(AnsiFromWide(localName, localNameLength),
                                      CMsxmlAttributes(attributes, namespaceUri, namespaceUriLength));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT STDMETHODCALLTYPE CCatalogSaxHandler::endElement(const wchar_t*, int, const wchar_t* localName,
                                                         int localNameLength, const wchar_t*, int) {
    try {
        catalog.OnElementEnd(AnsiFromWide(localName, localNameLength));
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT STDMETHODCALLTYPE CCatalogSaxHandler::characters(const wchar_t* text, int length) {
    try {
        const std::string narrow = AnsiFromWide(text, length);
        catalog.OnCharacters(narrow.data(), narrow.size());
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace

long CMoonCatalog::Load(const std::filesystem::path& path) {
    try {
        ComPtr<ISAXXMLReader> reader;
        const HRESULT created =
            CoCreateInstance(kClsidSaxXmlReader30, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                             kIidSaxXmlReader, reader.PutVoid());
        if (FAILED(created))
            return created;
        CCatalogSaxHandler handler(*this);
        reader->putContentHandler(&handler);
        // The reader gets the file's bytes, not its name: given a name it would take it as a
        // URL, in which "#" and "%" mean something.
        IStream* opened = nullptr;
        const HRESULT openResult = SHCreateStreamOnFileEx(path.c_str(), STGM_READ | STGM_SHARE_DENY_WRITE,
                                                          FILE_ATTRIBUTE_NORMAL, FALSE, nullptr, &opened);
        if (FAILED(openResult))
            return openResult;
        const ComPtr<IStream> file(opened);
        VARIANT input;
        VariantInit(&input);
        input.vt = VT_UNKNOWN;
        input.punkVal = file.Get();
        const HRESULT parsed = reader->parse(input);
        reader->putContentHandler(nullptr);
        return FinishLoad(parsed);
    } catch (const std::bad_alloc&) {
        return FinishLoad(E_OUTOFMEMORY);
    }
}
