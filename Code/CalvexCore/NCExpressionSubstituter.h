// Rewrites a line's stored text into the string the foundation evaluates: look-alike operator
// characters become ASCII operators, symbols and percentage phrases become named operators,
// conversion words become the conversion operator and "line12" a line reference. Records
// where every length-changing rewrite came from.
#ifndef NUMBERA_CORE_NC_EXPRESSION_SUBSTITUTER_H
#define NUMBERA_CORE_NC_EXPRESSION_SUBSTITUTER_H

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "NCExpressionMappings.h"

typedef int64_t NCExpressionSubstituterOperatorType;

class NCExpressionSubstituter {
  public:
    // The shared substituter with the standard rules.
    static NCExpressionSubstituter& defaultSubstituter();

    void addMappingFromSpecialOperatorCharacter(char16_t character, char16_t standardOperator);
    void addMappingFromString(const std::u16string& text, const std::u16string& replacement);
    void addMappingFromRegex(const std::u16string& regex, const std::u16string& replacement,
                             uint64_t order = 100);
    // A capture number of -1 names no right-context capture.
    void setMappingFromRegex(const std::optional<std::u16string>& regex,
                             const std::u16string& replacement, uint64_t order, uint64_t leftCutoff,
                             uint64_t rightCutoff, int64_t rightCutoffCaptureNumber = -1,
                             NCExpressionSubstituterOperatorType operatorType = 0);
    void removeOperatorRegexesForOperatorType(NCExpressionSubstituterOperatorType type);
    // Types 1 to 17 take their replacement and order from the operator table; others add nothing.
    void addOperatorRegex(const std::u16string& regex, NCExpressionSubstituterOperatorType type);
    void setUnitConversionOperators(const std::vector<std::u16string>& words);
    void setLineReferenceWordString(const std::optional<std::u16string>& word);
    std::optional<std::u16string> lineReferenceWordString() const;

    // Rewrites the text in place.
    NCExpressionMappings applySubstitutionsToMutableString(std::u16string& text);

  private:
    struct RegexRule {
        std::optional<std::u16string> regex;
        std::u16string replacement;
        uint64_t order;
        uint64_t leftCutoff;
        uint64_t rightCutoff;
        int64_t rightCaptureNumber;
        NCExpressionSubstituterOperatorType operatorType;
        // Every match contains one of these (in any letter case when so marked); a text with
        // none is not searched. None: always search.
        std::vector<std::u16string> requiredTexts;
        bool requiredInAnyCase = false;
        // Compiled when the rules are ordered; none for an invalid pattern.
        std::shared_ptr<class Regex> compiled;
    };
    using RuleList = std::vector<RegexRule>;

    void addRule(RegexRule rule);
    std::shared_ptr<const RuleList> orderedRegexMappings();
    void applyRegexRule(const RegexRule& rule, std::u16string& text,
                        std::unique_ptr<class NCContiguousIndexOffsets>& offsets,
                        NCExpressionMappings& mappings) const;

    std::vector<std::pair<char16_t, char16_t>> m_operatorMappings;
    RuleList m_regexMappings;
    std::map<std::u16string, std::u16string> m_stringMappings;
    std::shared_ptr<const RuleList> m_orderedRegexMappings;
    mutable std::mutex m_mutex;
    std::optional<std::u16string> m_lineReferenceWordString;
};

#endif
