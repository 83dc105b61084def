#include <expat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "catalog/catalog_loader.h"
#include "catalog/result_code.h"

namespace {

// Expat reports a namespaced name as the namespace URI, this separator and the local
// name. The character cannot occur in an XML 1.0 document.
constexpr XML_Char kNamespaceSeparator = '\x01';

constexpr size_t kReadChunk = 64 * 1024;

struct ExpandedName {
    std::string uri;
    std::string localName;
};

ExpandedName SplitName(const XML_Char* name) {
    const char* separator = std::strchr(name, kNamespaceSeparator);
    if (!separator)
        return {std::string(), name};
    return {std::string(name, separator), separator + 1};
}

class CExpatAttributes : public CCatalogAttributes {
public:
    CExpatAttributes(const XML_Char** list, const std::string& elementUri) : attributes(list), uri(elementUri) {}

    long Find(const char* localName, std::string* value) const override {
        for (size_t i = 0; attributes[i]; i += 2) {
            const ExpandedName name = SplitName(attributes[i]);
            if (name.uri == uri && name.localName == localName) {
                *value = attributes[i + 1];
                return kResultOk;
            }
        }
        return kResultInvalidArg;
    }

private:
    const XML_Char** attributes;
    const std::string& uri;
};

// One parse: the handler that receives the events and the first failure it reported.
struct ParseSession {
    CMoonCatalog* catalog;
    XML_Parser parser;
    long failure;
};

void StopParse(ParseSession* session, long failure) {
    session->failure = failure;
    XML_StopParser(session->parser, XML_FALSE);
}

// No exception may cross back into the C library: a failed allocation stops the parse.

void XMLCALL OnStartElement(void* userData, const XML_Char* name, const XML_Char** attributes) {
    ParseSession* session = static_cast<ParseSession*>(userData);
    if (session->failure < 0)
        return;
    try {
        const ExpandedName element = SplitName(name);
        const long result =
            session->catalog->OnElementStart(element.localName, CExpatAttributes(attributes, element.uri));
        if (result < 0)
            StopParse(session, result);
    } catch (const std::bad_alloc&) {
        StopParse(session, kResultOutOfMemory);
    }
}

void XMLCALL OnEndElement(void* userData, const XML_Char* name) {
    ParseSession* session = static_cast<ParseSession*>(userData);
    // A stopped parser still reports the end of the empty element that stopped it.
    if (session->failure < 0)
        return;
    try {
        session->catalog->OnElementEnd(SplitName(name).localName);
    } catch (const std::bad_alloc&) {
        StopParse(session, kResultOutOfMemory);
    }
}

void XMLCALL OnCharacterData(void* userData, const XML_Char* text, int length) {
    ParseSession* session = static_cast<ParseSession*>(userData);
    if (session->failure < 0)
        return;
    try {
        session->catalog->OnCharacters(text, static_cast<size_t>(length));
    } catch (const std::bad_alloc&) {
        StopParse(session, kResultOutOfMemory);
    }
}

// A catalogue that declares an entity is refused, as the Windows loader refuses it, so that
// no entity is ever expanded: nested ones would take the machine's memory.
void XMLCALL OnEntityDeclaration(void* userData, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
                                 const XML_Char*, const XML_Char*, const XML_Char*) {
    StopParse(static_cast<ParseSession*>(userData), kResultFail);
}

// References to entities reach the default handler as text that starts with "&". With
// declarations refused, these are references that no declaration answers, which expat lets
// pass when the document names an external DTD: they are refused too.
void XMLCALL OnUnhandledMarkup(void* userData, const XML_Char* text, int length) {
    ParseSession* session = static_cast<ParseSession*>(userData);
    if (session->failure >= 0 && length > 1 && text[0] == '&')
        StopParse(session, kResultFail);
}

long OpenFailure(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return kResultNotFound;
    case EACCES:
        return kResultAccessDenied;
    default:
        return kResultFail;
    }
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

struct ParserFree {
    void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};

// The events of the file's parse, delivered to the catalogue; the parse's result.
long ParseCatalogue(CMoonCatalog& catalog, const std::filesystem::path& path) {
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return OpenFailure(errno);
    const std::unique_ptr<XML_ParserStruct, ParserFree> parser(XML_ParserCreateNS(nullptr, kNamespaceSeparator));
    if (!parser)
        return kResultOutOfMemory;

    ParseSession session{&catalog, parser.get(), kResultOk};
    XML_SetUserData(parser.get(), &session);
    XML_SetElementHandler(parser.get(), OnStartElement, OnEndElement);
    XML_SetCharacterDataHandler(parser.get(), OnCharacterData);
    XML_SetDefaultHandler(parser.get(), OnUnhandledMarkup);
    XML_SetEntityDeclHandler(parser.get(), OnEntityDeclaration);

    bool started = false;
    for (;;) {
        void* buffer = XML_GetBuffer(parser.get(), static_cast<int>(kReadChunk));
        if (!buffer)
            return kResultOutOfMemory;
        const size_t length = std::fread(buffer, 1, kReadChunk, file.get());
        if (std::ferror(file.get()))
            return kResultFail;
        const bool last = length < kReadChunk;
        // Like the platform's reader, an empty file never starts a document.
        if (!started && length > 0) {
            catalog.OnDocumentStart();
            started = true;
        }
        const XML_Status status = XML_ParseBuffer(parser.get(), static_cast<int>(length), last);
        if (session.failure < 0)
            return session.failure;
        if (status != XML_STATUS_OK)
            return kResultFail;
        if (last)
            return kResultOk;
    }
}

}  // namespace

long LoadMoonCatalog(CMoonCatalog& catalog, const std::filesystem::path& path) {
    return catalog.FinishLoad(ParseCatalogue(catalog, path));
}
