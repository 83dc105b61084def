#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <map>
#include <string>
#include <thread>
#include <vector>

#include "catalog/catalog_text.h"
#include "catalog_test_support.h"

namespace {

TEST(CatalogTextTest, NormalizeWhitespaceKeepsTheFirstOfEachRun) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"  Waxing\n   crescent  ", "Waxing crescent "},
        {"a\t\tb", "a\tb"},
        {"a\n\tb", "a b"},
        {"a\r\nb", "a b"},
        {"\t\n a", "a"},
        {"a\v\fb", "a\vb"},
        {"   ", ""},
        {"", ""},
        {"caf\xE9  \xA0x", "caf\xE9 \xA0x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NormalizeWhitespace(c.in), c.out) << '"' << c.in << '"';
}

TEST(CatalogTextTest, ExpandLineBreaksReplacesOnlyTheLowerCaseMarker) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"one<br>two", "one\r\ntwo"},
        {"<br><br>", "\r\n\r\n"},
        {"a <br> b", "a \r\n b"},
        {"<BR><Br><br/><br", "<BR><Br><br/><br"},
        {"<b<br>r>", "<b\r\nr>"},
        {"<<br>br>>", "<\r\nbr>>"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExpandLineBreaks(c.in), c.out) << '"' << c.in << '"';
}

// Attributes handed to the event handler directly, as a reader would.
using Values = std::map<std::string, std::string>;

class FakeAttributes : public CCatalogAttributes {
public:
    explicit FakeAttributes(std::map<std::string, std::string> values) : attributes(std::move(values)) {}
    long Find(const char* localName, std::string* value) const override {
        const auto found = attributes.find(localName);
        if (found == attributes.end())
            return -7;
        *value = found->second;
        return 0;
    }

private:
    std::map<std::string, std::string> attributes;
};

class CatalogEventsTest : public testing::Test {
protected:
    static void Characters(CMoonCatalog& catalog, const std::string& text) {
        catalog.OnCharacters(text.data(), text.size());
    }
};

TEST_F(CatalogEventsTest, TextInPiecesAndNestedElementsFormsOneDescription) {
    CMoonCatalog catalog;
    catalog.OnDocumentStart();
    Characters(catalog, "text before the entry");
    ASSERT_EQ(
        catalog.OnElementStart("Quellwick", FakeAttributes(Values{{"paper", "a.jpg"}, {"phase", "50"}, {"x", "y"}})),
        0);
    Characters(catalog, "  Wax");
    Characters(catalog, "");
    Characters(catalog, "ing\n  ");
    ASSERT_EQ(catalog.OnElementStart("em", FakeAttributes(Values{})), 0);
    Characters(catalog, "  cres");
    catalog.OnElementEnd("em");
    Characters(catalog, "cent<br>x  ");
    catalog.OnElementEnd("Quellwick");
    // An element name is compared whole.
    ASSERT_EQ(catalog.OnElementStart("Quellwicks", FakeAttributes(Values{})), 0);
    catalog.OnElementEnd("Quellwicks");

    EXPECT_EQ(catalog.GetEntries(), std::vector<MoonEntry>{Entry("a.jpg", 50, "", "", "Waxing crescent\r\nx ")});
}

TEST_F(CatalogEventsTest, EachEntryStartsFromAnEmptyRecord) {
    CMoonCatalog catalog;
    catalog.OnDocumentStart();
    ASSERT_EQ(catalog.OnElementStart(
                  "Quellwick",
                  FakeAttributes(Values{{"paper", "a.jpg"}, {"phase", "1"}, {"ann", "a_ann.jpg"}, {"title", "A"}})),
              0);
    Characters(catalog, "first");
    catalog.OnElementEnd("Quellwick");
    ASSERT_EQ(catalog.OnElementStart("Quellwick", FakeAttributes(Values{{"paper", "b.jpg"}, {"phase", "2"}})), 0);
    catalog.OnElementEnd("Quellwick");

    // A failed lookup hands back the lookup's own code and adds nothing.
    EXPECT_EQ(catalog.OnElementStart("Quellwick", FakeAttributes(Values{{"paper", "c.jpg"}})), -7);
    EXPECT_EQ(catalog.OnElementStart("Quellwick", FakeAttributes(Values{{"phase", "3"}})), -7);

    EXPECT_EQ(catalog.GetEntries(),
              (std::vector<MoonEntry>{Entry("a.jpg", 1, "a_ann.jpg", "A", "first"), Entry("b.jpg", 2)}));

    // A new document empties the list.
    catalog.OnDocumentStart();
    EXPECT_TRUE(catalog.GetEntries().empty());
}

#ifdef _WIN32

TEST(CatalogHandlerTest, ReaderCreationFailureComesBackUnchanged) {
    // A thread that never initialised the component runtime cannot create the reader.
    long result = 0;
    std::thread([&result] { result = CMoonCatalog().Load(CorpusPath("good.xml")); }).join();
    EXPECT_EQ(result, CO_E_NOTINITIALIZED);
}

#endif

}  // namespace
