// The catalogue loader against one corpus of files, with each build's XML reader.
#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "catalog/catalog_text.h"
#include "catalog/catalog_loader.h"
#include "tests/catalog/catalog_fixture.h"

inline bool operator==(const MoonEntry& a, const MoonEntry& b) {
    return a.paper == b.paper && a.phase == b.phase && a.ann == b.ann && a.title == b.title &&
           a.description == b.description;
}

inline void PrintTo(const MoonEntry& entry, std::ostream* out) {
    *out << "{paper \"" << entry.paper << "\", phase " << entry.phase << ", ann \"" << entry.ann << "\", title \""
         << entry.title << "\", description \"" << entry.description << "\"}";
}

namespace {

#ifdef _WIN32
#include <windows.h>
// Wine's msxml3 reports no DTD declaration to the loader (and expands no entity either).
const bool kDeclarationsUnreported = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version");
#else
const bool kDeclarationsUnreported = false;
#endif

std::string CorpusPath(const std::string& name) {
#ifdef _WIN32
    std::string path = "Z:" QW_CATALOG_CORPUS_DIR "/" + name;
    for (char& c : path)
        c = c == '/' ? '\\' : c;
    return path;
#else
    return QW_CATALOG_CORPUS_DIR "/" + name;
#endif
}

// What loading one file of the corpus gives, the same with every platform's reader.
struct CorpusCase {
    const char* file;
    bool succeeds;
    std::vector<MoonEntry> entries;
};

const MoonEntry kPrevious = Entry("previous.jpg", 77, "", "from an earlier load");

std::vector<CorpusCase> Corpus() {
    // Long enough that the reader hands the text over in pieces.
    std::string longTitle, longDescription;
    for (int i = 0; i < 5000; ++i)
        longTitle += static_cast<char>('a' + i % 26);
    for (int i = 0; i < 2000; ++i) {
        char word[16];
        snprintf(word, sizeof word, "%sword%04d", i ? " " : "", i);
        longDescription += word;
    }

    std::vector<CorpusCase> corpus = {
        {"good.xml", true,
         {Entry("new.jpg", 0, "new_ann.jpg", "New moon", "The Moon between Earth and Sun. "),
          Entry("pictures/full.jpg", 100, "pictures/full_ann.jpg", "Full moon", "Opposite the Sun."),
          Entry("next.jpg", 200, "", "New moon again")}},
        {"empty_root.xml", true, {}},
        {"minimal_entry.xml", true, {Entry("only.png", 12.25)}},
        {"unsorted.xml", true, {Entry("half.jpg", 50), Entry("new.jpg", 0), Entry("full.jpg", 100)}},
        {"prefixed_namespace.xml", true, {Entry("a.jpg", 25, "", "", "Prefixed")}},
        {"line_breaks.xml", true,
         {Entry("a.jpg", 0, "", "", "one\r\ntwo"), Entry("b.jpg", 1, "", "", "three\r\nfour\r\n\r\nfive"),
          Entry("c.jpg", 2, "", "", "upper<BR>case"), Entry("d.jpg", 3, "", "", "a \r\n b"),
          Entry("e.jpg", 4, "", "", "an elementis no break"), Entry("f.jpg", 5, "", "", "mixed \r\n\r\nend")}},
        {"white_space.xml", true,
         {Entry("a.jpg", 0, "", "", "Waxing crescent "), Entry("b.jpg", 1, "", "", "a\tb"),
          Entry("c.jpg", 2, "", "", "a b"), Entry("d.jpg", 3, "", "", "Windows lines "),
          Entry("e.jpg", 4, "", "", "tab\treference"), Entry("f.jpg", 5)}},
        {"carriage_return_reference.xml", true, {Entry("a.jpg", 0, "", "", "a b")}},
        {"nested_content.xml", true,
         {Entry("a.jpg", 0, "", "", "Seen in bold and more."), Entry("b.jpg", 1, "", "", "Not a title")}},
        {"phases.xml", true,
         {Entry("a.jpg", 100.5), Entry("b.jpg", 42), Entry("c.jpg", 0), Entry("d.jpg", 1), Entry("e.jpg", -35),
          Entry("f.jpg", 0), Entry("g.jpg", 0), Entry("h.jpg", 0), Entry("i.jpg", 0), Entry("j.jpg", 0.5),
          Entry("k.jpg", 7), Entry("l.jpg", 2), Entry("m.jpg", 8)}},
        {"long_values.xml", true, {Entry(std::string(1500, 'p') + ".jpg", 3, "", longTitle, longDescription)}},
        {"doctype_only.xml", true, {Entry("a.jpg", 0, "", "", "plain")}},
        {"attribute_default.xml", true, {Entry("a.jpg", 0, "default_ann.jpg", "", "plain")}},
    };
    // A failed load leaves the previous list, whatever it read before failing.
    for (const char* file :
         {"missing_phase_third.xml", "missing_paper.xml", "default_namespace.xml", "foreign_attribute_namespace.xml",
          "not_well_formed.xml", "no_root_end.xml", "two_roots.xml", "duplicate_attribute.xml", "undefined_entity.xml",
          "internal_entity.xml", "garbage.xml", "empty.xml", "no_such_file.xml"})
        corpus.push_back({file, false, {kPrevious}});
    // Declared entities, even unused, are refused, so that none is ever expanded.
    for (const char* file : {"entity_declared_unused.xml", "entity_parameter.xml", "entity_external.xml"})
        corpus.push_back(kDeclarationsUnreported ? CorpusCase{file, true, {Entry("a.jpg", 0, "", "", "plain")}}
                                                 : CorpusCase{file, false, {kPrevious}});
    return corpus;
}

class CatalogLoaderTest : public testing::Test {
protected:
    void SetUp() override {
        catalog.Set({kPrevious});
    }

    CTestCatalog catalog;
};

TEST_F(CatalogLoaderTest, CorpusGivesTheSameEntriesWithEveryReader) {
    for (const CorpusCase& c : Corpus()) {
        SetUp();
        const long result = LoadMoonCatalog(catalog, CorpusPath(c.file));
        EXPECT_EQ(result >= 0, c.succeeds) << c.file << " returned " << std::hex << result;
        EXPECT_EQ(catalog.GetEntries(), c.entries) << c.file;
    }
}

TEST(CatalogText, WhiteSpaceRunsAndLineBreakMarkers) {
    EXPECT_EQ("Waxing crescent ", NormalizeWhitespace("  Waxing\n   crescent  "));
    EXPECT_EQ("a\tb", NormalizeWhitespace("a\t\tb"));
    EXPECT_EQ("caf\xE9 \xA0x", NormalizeWhitespace("caf\xE9  \xA0x"));
    EXPECT_EQ("<\r\nbr>> <BR><br/>", ExpandLineBreaks("<<br>br>> <BR><br/>"));
}

}  // namespace
