#include <shlwapi.h>

#include <new>

#include "catalog/catalog_loader.h"
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

// Refuses every entity declaration that the reader reports, so that it expands none: MSXML 3.0
// allows DTDs, and nested entities would take the machine's memory. Element and attribute
// declarations pass. Like the content handler, it is not reference counted.
class CEntityRefusal : public ISAXDeclHandler {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (!object)
            return E_POINTER;
        const bool known = IsEqualIID(riid, kIidSaxDeclHandler) || IsEqualIID(riid, IID_IUnknown);
        *object = known ? static_cast<ISAXDeclHandler*>(this) : nullptr;
        return known ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 0; }
    ULONG STDMETHODCALLTYPE Release() override { return 0; }

    HRESULT STDMETHODCALLTYPE elementDecl(const wchar_t*, int, const wchar_t*, int) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE attributeDecl(const wchar_t*, int, const wchar_t*, int, const wchar_t*, int,
                                            const wchar_t*, int, const wchar_t*, int) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE internalEntityDecl(const wchar_t*, int, const wchar_t*, int) override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE externalEntityDecl(const wchar_t*, int, const wchar_t*, int, const wchar_t*,
                                                 int) override {
        return E_FAIL;
    }

    virtual ~CEntityRefusal() = default;
};

}  // namespace

long LoadMoonCatalog(CMoonCatalog& catalog, const std::filesystem::path& path) {
    try {
        // The handlers outlive the reader, which may hold them until it goes.
        CCatalogSaxHandler handler(catalog);
        CEntityRefusal declarations;
        ComPtr<ISAXXMLReader> reader;
        const HRESULT created =
            CoCreateInstance(kClsidSaxXmlReader30, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                             kIidSaxXmlReader, reader.PutVoid());
        if (FAILED(created))
            return created;
        reader->putContentHandler(&handler);
        VARIANT declarationHandler;
        VariantInit(&declarationHandler);
        declarationHandler.vt = VT_UNKNOWN;
        declarationHandler.punkVal = &declarations;
        const HRESULT declared =
            reader->putProperty(L"http://xml.org/sax/properties/declaration-handler", declarationHandler);
        if (FAILED(declared))
            return declared;
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
        return catalog.FinishLoad(reader->parse(input));
    } catch (const std::bad_alloc&) {
        return catalog.FinishLoad(E_OUTOFMEMORY);
    }
}
