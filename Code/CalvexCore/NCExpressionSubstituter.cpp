#include "NCExpressionSubstituter.h"

#include <algorithm>

#include "NBFErrorLog.h"
#include "NBFString.h"
#include "NCIndexOffsets.h"
#include "Regex.h"

namespace {

// The scanner's delimiters around a named operator.
constexpr char16_t kOpen = 0x16;
constexpr char16_t kClose = 0x17;

std::u16string delimited(const std::u16string& name) { return kOpen + name + kClose; }

bool getOperatorReplacement(NCExpressionSubstituterOperatorType type, std::u16string* replacement,
                            uint64_t* order) {
    struct Entry {
        const char16_t* name;
        bool wrapped;
        uint64_t order;
    };
    static const Entry table[] = {
        {u"_as_percent", false, 15},
        {u"_percent_on", true, 50},
        {u"_percent_of", true, 40},
        {u"_percent_off", true, 30},
        {u"_as_percent_on", false, 2},
        {u"_as_percent_of", false, 3},
        {u"_as_percent_off", false, 1},
        {u"_as_percent_decrease_of", false, 13},
        {u"_as_percent_increase_of", false, 14},
        {u"_percent_on_what_is", true, 11},
        {u"_percent_of_what_is", true, 12},
        {u"_percent_off_what_is", true, 10},
        {u"_reverse_as_percent_on", false, 2},
        {u"_reverse_as_percent_off", false, 1},
        {u"_reverse_percent_on_what_is", true, 11},
        {u"_reverse_percent_of_what_is", true, 12},
        {u"_reverse_percent_off_what_is", true, 10},
    };
    if (type < 1 || type > 17) {
        OX_logErr_bigHeader(false, "Error!",
                            "BOOL getOperatorReplacement(NCExpressionSubstituterOperatorType, "
                            "NSString **, NSInteger *)",
                            "Code/CalvexCore/NCExpressionSubstituter", 339,
                            "Unknown operator type %d", static_cast<int>(type));
        return false;
    }
    const Entry& entry = table[type - 1];
    *replacement = entry.wrapped ? delimited(entry.name) : std::u16string(entry.name);
    *order = entry.order;
    return true;
}

// Replaces [location, location + length) by the replacement and records, in stored-text
// coordinates, where the rewritten stretch came from. The `left` and `right` characters at its
// ends are context that stays outside both ranges of the mapping.
void replaceAndRecord(std::u16string& text, uint64_t location, uint64_t length,
                      const std::u16string& replacement, uint64_t left, uint64_t right,
                      std::unique_ptr<NCContiguousIndexOffsets>& offsets,
                      NCExpressionMappings& mappings) {
    int64_t storedOffset = offsets ? offsets->offsetForLocation(location) : 0;
    uint64_t replaced = replacement.size();
    text.replace(location, length, replacement);
    int64_t delta = static_cast<int64_t>(length) - static_cast<int64_t>(replaced);
    uint64_t shiftFrom = location + length - static_cast<uint64_t>(std::max<int64_t>(delta, 0));
    if (delta != 0) {
        if (!offsets) offsets = std::make_unique<NCContiguousIndexOffsets>();
        offsets->offsetBy(delta, shiftFrom);
        mappings.offsetNBFRangesBy(-delta, shiftFrom);
    }
    if (length < left + right || replaced < left + right) return;
    uint64_t storedLocation = static_cast<uint64_t>(
        std::max<int64_t>(static_cast<int64_t>(location + left) + storedOffset, 0));
    mappings.addRangeMapping({storedLocation, length - right - left},
                             {location + left, replaced - right - left});
}

// The ASCII digit or sign a superscript character stands for; 0 for any other character.
char16_t plainOfSuperscript(char16_t c) {
    switch (c) {
        case u'\u2070':
            return u'0';
        case u'\u00B9':
            return u'1';
        case u'\u00B2':
            return u'2';
        case u'\u00B3':
            return u'3';
        case u'\u207A':
            return u'+';
        case u'\u207B':
            return u'-';
        default:
            if (c >= u'\u2074' && c <= u'\u2079')
                return static_cast<char16_t>(u'4' + (c - u'\u2074'));
            return 0;
    }
}

// A superscript exponent is a power: s² reads as s^2 and s⁻¹ as s^-1. The foundation only
// knows a superscript as part of a unit's name (m² is named, s² is not), so without this
// m/s² would leave s² unresolved. Named squares give the same value as their power.
void rewriteSuperscriptExponents(std::u16string& text,
                                 std::unique_ptr<NCContiguousIndexOffsets>& offsets,
                                 NCExpressionMappings& mappings) {
    size_t location = 0;
    while (location < text.size()) {
        if (!plainOfSuperscript(text[location])) {
            ++location;
            continue;
        }
        size_t end = location;
        std::u16string exponent = u"^";
        bool hasDigit = false;
        while (end < text.size() && plainOfSuperscript(text[end])) {
            char16_t plain = plainOfSuperscript(text[end]);
            // A sign begins the exponent only; a later one starts a new run.
            if ((plain == u'+' || plain == u'-') && end > location) break;
            hasDigit = hasDigit || (plain != u'+' && plain != u'-');
            exponent += plain;
            ++end;
        }
        if (!hasDigit) {
            location = end;
            continue;
        }
        replaceAndRecord(text, location, end - location, exponent, 0, 0, offsets, mappings);
        location += exponent.size();
    }
}

// The pattern's leading run of plain characters, which every match must begin with: none when
// the pattern has an alternative at its top level or opens with anything but a plain
// character (a group, a class, other flags). A quantified last character is not part of it.
// A leading "(?i)" makes the run match in any letter case.
void setRequiredTextOfPattern(std::u16string pattern, std::vector<std::u16string>* required,
                              bool* inAnyCase) {
    static const std::u16string caseless = u"(?i)";
    *inAnyCase = pattern.compare(0, caseless.size(), caseless) == 0;
    if (*inAnyCase) pattern.erase(0, caseless.size());
    int depth = 0;
    bool inClass = false;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char16_t c = pattern[i];
        if (c == u'\\') {
            ++i;
        } else if (inClass) {
            inClass = c != u']';
        } else if (c == u'[') {
            inClass = true;
        } else if (c == u'(') {
            ++depth;
        } else if (c == u')') {
            --depth;
        } else if (c == u'|' && depth == 0) {
            return;
        }
    }
    static const std::u16string special = u"\\()[]{}.*+?|^$#";
    size_t end = 0;
    while (end < pattern.size() && pattern[end] < 0x80 &&
           special.find(pattern[end]) == std::u16string::npos)
        ++end;
    if (end < pattern.size() &&
        (pattern[end] == u'?' || pattern[end] == u'*' || pattern[end] == u'{') && end > 0)
        --end;
    if (end > 0) required->push_back(pattern.substr(0, end));
}

char16_t asciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c; }

// Whether the text may hold a match of a rule needing one of the texts. In any letter case
// only ASCII is folded here: a text with other characters is always searched.
bool mayHoldOneOf(const std::u16string& text, const std::vector<std::u16string>& required,
                  bool inAnyCase) {
    if (required.empty()) return true;
    if (!inAnyCase) {
        for (const std::u16string& part : required)
            if (text.find(part) != std::u16string::npos) return true;
        return false;
    }
    std::u16string folded = text;
    for (char16_t& c : folded) {
        if (c >= 0x80) return true;
        c = asciiLower(c);
    }
    for (std::u16string part : required) {
        for (char16_t& c : part) c = asciiLower(c);
        if (folded.find(part) != std::u16string::npos) return true;
    }
    return false;
}

}  // namespace

NCExpressionSubstituter& NCExpressionSubstituter::defaultSubstituter() {
    static NCExpressionSubstituter* shared = [] {
        auto* s = new NCExpressionSubstituter();
        for (char16_t c : {u'\u00F7', u'\uFF0F', u'\u2044'})
            s->addMappingFromSpecialOperatorCharacter(c, u'/');
        for (char16_t c : {u'\u00D7', u'\u00B7', u'\uFF0A'})
            s->addMappingFromSpecialOperatorCharacter(c, u'*');
        for (char16_t c :
             {u'\u2010', u'\u2011', u'\u2012', u'\u2013', u'\u2212', u'\uFE63', u'\uFF0D'})
            s->addMappingFromSpecialOperatorCharacter(c, u'-');
        s->addMappingFromSpecialOperatorCharacter(u'\uFF0B', u'+');

        s->addMappingFromString(u"\u221A", delimited(u"sqrt"));
        s->addMappingFromString(u">>", delimited(u"lsr"));
        s->addMappingFromString(u"<<", delimited(u"lsl"));
        s->addMappingFromString(u"|", delimited(u"_bit_or"));
        s->addMappingFromString(u"&", delimited(u"_bit_and"));
        s->addMappingFromString(u"~", delimited(u"_bit_not"));
        s->addMappingFromString(u"\u00A0", u" ");

        s->setUnitConversionOperators({u"as", u"in", u"to"});

        s->addOperatorRegex(u"%\\s*off\\s*what\\s*is", 12);
        s->addOperatorRegex(u"%\\s*on\\s*what\\s*is", 10);
        s->addOperatorRegex(u"%\\s*of\\s*what\\s*is", 11);
        s->addOperatorRegex(u"as\\s*a?\\s*(%|percentage)\\s*decrease\\s*of", 8);
        s->addOperatorRegex(u"as\\s*a?\\s*(%|percentage)\\s*increase\\s*of", 9);
        s->addOperatorRegex(u"as\\s*a?\\s*(%|percentage)\\s*off", 7);
        s->addOperatorRegex(u"as\\s*a?\\s*(%|percentage)\\s*of", 6);
        s->addOperatorRegex(u"as\\s*a?\\s*(%|percentage)\\s*on", 5);
        s->addOperatorRegex(u"%\\s*off", 4);
        s->addOperatorRegex(u"%\\s*of", 3);
        s->addOperatorRegex(u"%\\s*on", 2);
        s->addOperatorRegex(u"as\\s*a?\\s*%", 1);

        s->setLineReferenceWordString(u"line");
        return s;
    }();
    return *shared;
}

void NCExpressionSubstituter::addMappingFromSpecialOperatorCharacter(char16_t character,
                                                                     char16_t standardOperator) {
    m_operatorMappings.emplace_back(character, standardOperator);
}

void NCExpressionSubstituter::addMappingFromString(const std::u16string& text,
                                                   const std::u16string& replacement) {
    if (!text.empty()) m_stringMappings[text] = replacement;
}

void NCExpressionSubstituter::addMappingFromRegex(const std::u16string& regex,
                                                  const std::u16string& replacement,
                                                  uint64_t order) {
    setMappingFromRegex(regex, replacement, order, 0, 0);
}

void NCExpressionSubstituter::setMappingFromRegex(
    const std::optional<std::u16string>& regex, const std::u16string& replacement, uint64_t order,
    uint64_t leftCutoff, uint64_t rightCutoff, int64_t rightCutoffCaptureNumber,
    NCExpressionSubstituterOperatorType operatorType) {
    RegexRule rule{
        regex,        replacement, order, leftCutoff, rightCutoff, rightCutoffCaptureNumber,
        operatorType, {},          false, nullptr};
    if (regex) setRequiredTextOfPattern(*regex, &rule.requiredTexts, &rule.requiredInAnyCase);
    addRule(std::move(rule));
}

void NCExpressionSubstituter::addRule(RegexRule rule) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_regexMappings.push_back(std::move(rule));
    m_orderedRegexMappings.reset();
}

void NCExpressionSubstituter::removeOperatorRegexesForOperatorType(
    NCExpressionSubstituterOperatorType type) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto removed = std::remove_if(m_regexMappings.begin(), m_regexMappings.end(),
                                  [&](const RegexRule& rule) { return rule.operatorType == type; });
    if (removed == m_regexMappings.end()) return;
    m_regexMappings.erase(removed, m_regexMappings.end());
    m_orderedRegexMappings.reset();
}

void NCExpressionSubstituter::addOperatorRegex(const std::u16string& regex,
                                               NCExpressionSubstituterOperatorType type) {
    std::u16string replacement;
    uint64_t order = 0;
    if (!getOperatorReplacement(type, &replacement, &order)) return;
    setMappingFromRegex(regex, replacement, order, 0, 0, -1, type);
}

void NCExpressionSubstituter::setUnitConversionOperators(const std::vector<std::u16string>& words) {
    if (words.empty()) return;
    std::u16string alternatives;
    for (size_t i = 0; i < words.size(); ++i) alternatives += (i ? u"|" : u"") + words[i];
    removeOperatorRegexesForOperatorType(18);
    // "in" is also the inch: after a number and before another conversion word it can only be
    // the unit, as in 5 ft + 11 in in cm. The unit's name stands in for it, so that the
    // conversion rule below leaves it alone. A number glued to a word (line12, x2) is no number.
    static const std::u16string kInchWord = u"in";
    if (std::find(words.begin(), words.end(), kInchWord) != words.end()) {
        const std::u16string inchPattern = u"(?<=[0-9] {1,16})(?<![\\p{L}_][0-9]{1,64} {1,16})" +
                                           kInchWord + u"(?= +(?:" + alternatives + u")(?:[) ]|$))";
        addRule({inchPattern, u"inch", 100, 0, 0, -1, 18, {kInchWord}, false, nullptr});
    }
    const std::u16string pattern = u"([) ])(" + alternatives + u")([) ]|$)";
    RegexRule rule{pattern, u"$1__uc$3", 100, 1, 1, 3, 18, {}, false, nullptr};
    // Every match holds one of the words, when the words are plain text.
    const bool plain = std::all_of(words.begin(), words.end(), [](const std::u16string& word) {
        return !word.empty() && std::all_of(word.begin(), word.end(), [](char16_t c) {
            return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c >= 0x80;
        });
    });
    if (plain) rule.requiredTexts = words;
    addRule(std::move(rule));
}

void NCExpressionSubstituter::setLineReferenceWordString(
    const std::optional<std::u16string>& word) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::optional<std::u16string> lowered;
        if (word) {
            auto text = NBF::Ref<NBF::String>::adopt(NBFStringCreateWithUTF16(*word));
            auto lower = NBF::Ref<NBF::String>::adopt(NBFStringLowercaseString(text.get()));
            lowered = lower->units();
        }
        if (lowered == m_lineReferenceWordString) return;
        m_lineReferenceWordString = lowered;
    }
    std::optional<std::u16string> pattern;
    if (word) pattern = u"(?i)" + *word + u"([0-9]+)";
    setMappingFromRegex(pattern, u"(___abs_line_numbered($1))", 100, 0, 0);
}

std::optional<std::u16string> NCExpressionSubstituter::lineReferenceWordString() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lineReferenceWordString;
}

std::shared_ptr<const NCExpressionSubstituter::RuleList>
NCExpressionSubstituter::orderedRegexMappings() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_orderedRegexMappings) {
        auto sorted = std::make_shared<RuleList>(m_regexMappings);
        std::stable_sort(sorted->begin(), sorted->end(),
                         [](const RegexRule& a, const RegexRule& b) { return a.order < b.order; });
        for (RegexRule& rule : *sorted)
            if (rule.regex) rule.compiled = Regex::cached(*rule.regex);
        m_orderedRegexMappings = sorted;
    }
    return m_orderedRegexMappings;
}

void NCExpressionSubstituter::applyRegexRule(const RegexRule& rule, std::u16string& text,
                                             std::unique_ptr<NCContiguousIndexOffsets>& offsets,
                                             NCExpressionMappings& mappings) const {
    const std::shared_ptr<Regex>& regex = rule.compiled;
    if (!regex) return;
    if (!mayHoldOneOf(text, rule.requiredTexts, rule.requiredInAnyCase)) return;
    uint64_t from = 0;
    while (auto match = regex->firstMatch(text, from)) {
        uint64_t location = match->range.location;
        uint64_t length = match->range.length;
        if (length == 0) {  // an empty match replaces nothing; look further on
            from = location + 1;
            continue;
        }
        uint64_t right = rule.rightCutoff;
        if (rule.rightCaptureNumber > 0) {
            size_t capture = static_cast<size_t>(rule.rightCaptureNumber);
            if (capture > match->groups.size() || !match->groups[capture - 1] ||
                match->groups[capture - 1]->length == 0)
                right = 0;
        }
        std::u16string replacement = match->expand(text, rule.replacement);
        uint64_t replaced = replacement.size();
        replaceAndRecord(text, location, length, replacement, rule.leftCutoff, right, offsets,
                         mappings);
        // Go on after what was rewritten (its right context may begin the next match), so a
        // replacement that matches its own pattern cannot loop.
        from = std::max(location + replaced - right, location + 1);
    }
}

NCExpressionMappings NCExpressionSubstituter::applySubstitutionsToMutableString(
    std::u16string& text) {
    NCExpressionMappings mappings;
    for (auto [special, standard] : m_operatorMappings)
        std::replace(text.begin(), text.end(), special, standard);

    std::unique_ptr<NCContiguousIndexOffsets> offsets;
    std::shared_ptr<const RuleList> rules = orderedRegexMappings();
    for (const RegexRule& rule : *rules) applyRegexRule(rule, text, offsets, mappings);

    for (const auto& [search, replacement] : m_stringMappings) {
        size_t location = 0;
        while ((location = text.find(search, location)) != std::u16string::npos) {
            replaceAndRecord(text, location, search.size(), replacement, 0, 0, offsets, mappings);
            location += replacement.size();
        }
    }
    rewriteSuperscriptExponents(text, offsets, mappings);
    return mappings;
}
