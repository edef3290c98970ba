// Text with attributes over runs of it, free of any toolkit: UTF-16 characters and, for every
// character, a dictionary of named attribute values. The application converts it to its own
// text formats.
#ifndef NUMBERA_PLATFORM_NSATTRIBUTEDSTRING_H
#define NUMBERA_PLATFORM_NSATTRIBUTEDSTRING_H

#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "NSRange.h"

using NSAttributeValue = std::variant<bool, int64_t, double, std::u16string>;
using NSAttributes = std::map<std::string, NSAttributeValue>;

// Attributes that formatters set; the application maps them onto its own fonts.
inline constexpr const char* NSFontNameAttributeName = "NSFontName";        // text
inline constexpr const char* NSFontSizeAttributeName = "NSFontSize";        // points, double
inline constexpr const char* NSSuperscriptAttributeName = "NSSuperscript";  // levels, int64
// The size of text without a size of its own.
inline constexpr double NSDefaultFontSize = 12.0;

class NSAttributedString {
  public:
    NSAttributedString() = default;
    explicit NSAttributedString(std::u16string string, NSAttributes attributes = {});

    const std::u16string& string() const { return m_string; }
    uint64_t length() const { return m_string.size(); }
    // The attributes of the character; effectiveRange (may be null) receives the run holding
    // it. Empty past the end.
    NSAttributes attributesAtIndex(uint64_t index, NSRange* effectiveRange = nullptr) const;
    void setAttributes(const NSAttributes& attributes, NSRange range);
    void addAttribute(const std::string& name, const NSAttributeValue& value, NSRange range);

    // The new characters take the attributes of the first replaced character, or of the one
    // before an empty range. False, changing nothing, for a range past the end.
    bool replaceCharactersInRange(NSRange range, const std::u16string& string);
    bool replaceCharactersInRange(NSRange range, const NSAttributedString& string);
    void appendAttributedString(const NSAttributedString& string);
    NSAttributedString attributedSubstringFromRange(NSRange range) const;

    friend bool operator==(const NSAttributedString&, const NSAttributedString&) = default;

  private:
    struct Run {
        uint64_t length;
        NSAttributes attributes;
        friend bool operator==(const Run&, const Run&) = default;
    };
    // Splits runs so that one begins at the location; answers its index.
    size_t splitAt(uint64_t location);
    void mergeRuns();

    std::u16string m_string;
    std::vector<Run> m_runs;  // cover the string exactly
};

#endif
