#include "catalog/moon_catalog.h"

#include <cctype>
#include <cstdlib>

#include "catalog/catalog_text.h"

namespace {

const char kEntryElement[] = "Quellwick";

// The value of the longest decimal number at the start of `text` (after white space),
// or 0 when it does not start with one. Only decimal notation counts, so hexadecimal,
// "inf" and "nan" read as every platform's C library reads them alike.
double ParsePhase(const std::string& text) {
    size_t start = 0;
    while (start < text.size() && std::isspace(static_cast<unsigned char>(text[start])))
        ++start;
    const auto isDigit = [&text](size_t i) { return i < text.size() && text[i] >= '0' && text[i] <= '9'; };
    size_t i = start;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    size_t digits = 0;
    for (; isDigit(i); ++i)
        ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        for (; isDigit(i); ++i)
            ++digits;
    }
    if (digits == 0)
        return 0.0;
    size_t end = i;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t exponent = i + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-'))
            ++exponent;
        if (isDigit(exponent)) {
            while (isDigit(exponent))
                ++exponent;
            end = exponent;
        }
    }
    // The library stays in the "C" locale, so "." is its decimal point too.
    return std::strtod(text.substr(start, end - start).c_str(), nullptr);
}

}  // namespace

long CMoonCatalog::FinishLoad(long result) {
    if (result >= 0)
        entryList.swap(loadingList);
    std::vector<MoonEntry>().swap(loadingList);
    return result;
}

void CMoonCatalog::OnDocumentStart() {
    loadingList.clear();
}

long CMoonCatalog::OnElementStart(const std::string& localName, const CCatalogAttributes& attributes) {
    if (localName != kEntryElement)
        return 0;
    textBuffer.clear();
    workingEntry = MoonEntry();

    long result = attributes.Find("paper", &workingEntry.paper);
    if (result < 0)
        return result;
    std::string phase;
    result = attributes.Find("phase", &phase);
    if (result < 0)
        return result;
    workingEntry.phase = ParsePhase(phase);

    if (attributes.Find("ann", &workingEntry.ann) < 0)
        workingEntry.ann.clear();
    if (attributes.Find("title", &workingEntry.title) < 0)
        workingEntry.title.clear();
    return 0;
}

void CMoonCatalog::OnCharacters(const char* text, size_t length) {
    textBuffer.append(text, length);
}

void CMoonCatalog::OnElementEnd(const std::string& localName) {
    if (localName != kEntryElement)
        return;
    if (!textBuffer.empty())
        workingEntry.description = ExpandLineBreaks(NormalizeWhitespace(textBuffer));
    loadingList.push_back(workingEntry);
}
