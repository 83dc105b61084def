#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "about/rtf_platform.h"
#include "about/rtf_tables.h"

// One link of a converted page: it covers the rich-text characters from firstPosition up
// to, not including, endPosition.
struct HtmlLink {
    std::string target;
    std::int32_t firstPosition = 0;
    std::int32_t endPosition = 0;
};

// The format the page body is currently written in.
struct HtmlFormat {
    std::string face;
    std::int32_t size = 0;        // half-points
    std::int32_t color = 0;       // colour-table index of the text colour
    std::int32_t background = 0;  // colour-table index of the highlight colour
    std::int32_t leftMargin = 0;  // page margins in pixels
    std::int32_t rightMargin = 0;
    std::int32_t topMargin = 0;
    std::int32_t bottomMargin = 0;
};

// Turns a small HTML page into one RTF document in a single pass, collecting the fonts,
// colours and links it meets.
class CHtmlToRtf {
public:
    explicit CHtmlToRtf(const IRtfPlatform& platform) : platform_(platform) {}

    // Converts the page (which ends at its end or its first zero byte). On success returns
    // the RTF document, leaves the page background in *backgroundColor and the page's links
    // in the link list. Returns nothing when an end tag closes a group that is not open;
    // *backgroundColor is then unchanged and the link list empty.
    std::optional<std::string> Convert(std::string_view html, const LogicalFont& baseFont,
                                       ColorValue textColor, ColorValue* backgroundColor);

    // Copies link number `index` of the last conversion; false when there is none.
    bool GetLink(int index, HtmlLink* link) const;

private:
    // Font and colour tables: indices into the tables that the document head lists.
    int FindOrAddFont(const std::string& face);
    int FindOrAddColor(ColorValue value);
    // "#rrggbb" or a system colour name (lower case); anything else is black.
    int ParseColor(const std::string& text);

    // RTF size in half-points for an HTML "size" of 1 to 7 (24 for anything else).
    static int HtmlSizeToHalfPoints(const std::string& text);
    // RTF size in half-points for a logical-font height.
    static int FontHeightToHalfPoints(std::int32_t height);

    // Looks for `name` anywhere in a tag's attribute text. Returns false when it is absent;
    // otherwise true with its value (empty when no "=" follows the name). A value is
    // quoted, or a run of letters, digits and "-".
    bool GetAttribute(std::string_view attributes, std::string_view name,
                      std::string* value) const;
    // The same for a "name: value" style property; a name with no ":" after it is absent.
    bool GetStyleProperty(std::string_view attributes, std::string_view name,
                          std::string* value) const;

    bool ConvertBody(std::string_view html, const LogicalFont& baseFont, std::string& body);
    void CopyTextRun(std::string_view text, std::string& body);
    bool ConvertTag(std::string tagText, std::string& body);
    void StartTag(std::string_view name, std::string_view attributes,
                  std::string_view originalAttributes, bool breakBefore, std::string& out,
                  bool* push);
    void EndTag(std::string_view name, std::string& out, bool* pop);
    void WriteFormatChanges(const HtmlFormat& previous, std::string& out);
    void WriteDocumentHead(std::string& out) const;
    bool FindValue(std::string_view attributes, std::string_view name, char separator,
                   bool requireSeparator, std::string* value,
                   std::string_view valueSource = std::string_view()) const;
    void Advance(int characters) { characterPosition_ += characters; }
    bool IsWordCharacter(char c) const { return platform_.IsAlphaNumeric(static_cast<unsigned char>(c)); }

    const IRtfPlatform& platform_;

    std::vector<LogicalFont> fonts_;
    std::vector<ColorValue> colors_;
    std::vector<HtmlLink> links_;
    ColorValue backgroundColor_ = 0;
    std::int32_t characterPosition_ = 0;
    bool breakFlag_ = false;
    bool spaceFlag_ = true;

    // Working state of one conversion.
    HtmlFormat format_;
    std::vector<HtmlFormat> formatStack_;
    std::int32_t cellEdge_ = 0;
    std::int32_t twipsPerPixel_ = 15;
    std::optional<HtmlLink> pendingLink_;
};
