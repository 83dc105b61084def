#pragma once

#include <windows.h>

#include <msxml2.h>

// A content handler that accepts every event and does nothing. It is not reference
// counted: whoever hands it to a reader keeps it alive for the whole parse.
class CSaxContentHandler : public ISAXContentHandler {
public:
    CSaxContentHandler() = default;
    CSaxContentHandler(const CSaxContentHandler&) = delete;
    CSaxContentHandler& operator=(const CSaxContentHandler&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 0; }
    ULONG STDMETHODCALLTYPE Release() override { return 0; }

    HRESULT STDMETHODCALLTYPE putDocumentLocator(ISAXLocator*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE startDocument() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE endDocument() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE startPrefixMapping(const wchar_t*, int, const wchar_t*, int) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE endPrefixMapping(const wchar_t*, int) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE startElement(const wchar_t*, int, const wchar_t*, int, const wchar_t*, int,
                                           ISAXAttributes*) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE endElement(const wchar_t*, int, const wchar_t*, int, const wchar_t*, int) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE characters(const wchar_t*, int) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ignorableWhitespace(const wchar_t*, int) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE processingInstruction(const wchar_t*, int, const wchar_t*, int) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE skippedEntity(const wchar_t*, int) override { return S_OK; }

    virtual ~CSaxContentHandler() = default;
};

// The reader's and the handlers' identifiers, which mingw's headers declare but no
// library of it defines.
extern const CLSID kClsidSaxXmlReader30;
extern const IID kIidSaxXmlReader;
extern const IID kIidSaxContentHandler;
extern const IID kIidSaxDeclHandler;
