#include "catalog/sax_content_handler.h"

const CLSID kClsidSaxXmlReader30 = {0x3124C396, 0xFB13, 0x4836, {0xA6, 0xAD, 0x13, 0x17, 0xF1, 0x71, 0x36, 0x88}};
const IID kIidSaxXmlReader = {0xA4F96ED0, 0xF829, 0x476E, {0x81, 0xC0, 0xCD, 0xC7, 0xBD, 0x2A, 0x08, 0x02}};
const IID kIidSaxContentHandler = {0x1545CDFA, 0x9E4E, 0x4497, {0xA8, 0xA4, 0x2B, 0xF7, 0xD0, 0x11, 0x2C, 0x44}};

HRESULT STDMETHODCALLTYPE CSaxContentHandler::QueryInterface(REFIID riid, void** object) {
    if (!object)
        return E_POINTER;
    if (IsEqualIID(riid, kIidSaxContentHandler) || IsEqualIID(riid, IID_IUnknown)) {
        *object = static_cast<ISAXContentHandler*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}
