// The text of one line in its three forms: the stored text (as written to the document, a
// line reference in its functional form), the evaluation string (after substitution, what
// the foundation scans) and the displayed text (each line reference one character). Makes,
// on demand and cached, the line's tokenized expression.
#ifndef NUMBERA_CORE_NC_EXPRESSION_H
#define NUMBERA_CORE_NC_EXPRESSION_H

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "NBFExpression.h"
#include "NCExpressionMappings.h"
#include "NCLineReferenceType.h"
#include "NCSimpleLocale.h"

class NCLine;
class NCTokenizedExpression;

class NCExpression : public std::enable_shared_from_this<NCExpression> {
  public:
    // An evaluation string, when given, is used unchanged: no substitution, no mappings.
    static std::shared_ptr<NCExpression> create(
        std::optional<std::u16string> string, NCSimpleLocale locale = kNCSimpleLocalDefault,
        std::optional<std::u16string> substitutedString = std::nullopt);
    static std::shared_ptr<NCExpression> expressionWithString(
        std::optional<std::u16string> string) {
        return create(std::move(string));
    }
    // For texts that must not be rewritten: the stored text is the evaluation string.
    static std::shared_ptr<NCExpression> withSimpleString(const std::u16string& string);
    static std::shared_ptr<NCExpression> withContentsOfNBFExpression(NBFExpressionRef expression);
    ~NCExpression();
    NCExpression(const NCExpression&) = delete;
    NCExpression& operator=(const NCExpression&) = delete;

    const std::optional<std::u16string>& originalString() const { return m_originalString; }
    // Keeps the cached forms.
    void setOriginalString(std::optional<std::u16string> string) {
        m_originalString = std::move(string);
    }
    std::u16string description() const { return m_originalString.value_or(u""); }
    size_t hash() const;
    bool isEqual(const NCExpression* other) const;
    bool isEmpty() const { return !m_originalString || m_originalString->empty(); }
    NCSimpleLocale locale() const { return m_locale; }
    // What substitution rewrote; null before the evaluation string is made, or when it was given.
    const NCExpressionMappings* expressionMappings() const;

    // The line that holds the expression; not retained.
    void setLine(NCLine* line) { m_line = line; }
    NCLine* line() const { return m_line; }

    // Made from the stored text by the shared substituter on first request.
    const std::optional<std::u16string>& stringForEvaluation();
    // The evaluation string with its mappings when the shared substituter made them (making
    // them now if not yet); false when there is no text or the evaluation string was given.
    bool substitutedBySharedSubstituter(const std::u16string** text,
                                        const NCExpressionMappings** mappings);
    // The foundation expression of the evaluation string, made once.
    NBFExpressionRef nbfExpression();
    // The stored text with the expression's decimal point and grouping as "." and ",".
    std::optional<std::u16string> delocalizedString() const;
    // The stored text with the expression's decimal point and grouping as the locale's.
    std::optional<std::u16string> stringInLocale(NCSimpleLocale locale) const;
    // Rewrites the stored text into the new characters, then takes them as the locale.
    void convertToLocaleWithDecimalPoint(char16_t decimalPoint, char16_t thousandsSeparator);
    // A different locale drops the evaluation string and the foundation expression.
    void setLocaleWithDecimalPoint(char16_t decimalPoint, char16_t thousandsSeparator);

    // Cached; rebuilt after the evaluation string was dropped.
    std::shared_ptr<NCTokenizedExpression> tokenizedExpression();

    // Line references: the reserved functions and their stored forms.
    static const std::u16string& relativeLineReferenceFunctionName();
    static const std::u16string& absoluteLineReferenceFunctionName();
    static const std::u16string& absoluteLineReferenceByLineNumberFunctionName();
    static const std::u16string& fixedRelativeLineReferenceFunctionName();
    static const std::u16string& nullLineReferenceFunctionName();
    // "(___rel_line(-1))" for the line above.
    static std::u16string relativeLineReferenceTokenWithOffset(int64_t offset);
    static std::u16string absoluteLineReferenceTokenWithIndex(uint64_t index);
    static std::u16string absoluteLineReferenceFunctionWithLineNumber(uint64_t lineNumber);
    static std::u16string fixedRelativeLineReferenceTokenWithOffset(int64_t offset);
    static std::u16string nullLineReferenceToken();
    // The kind a reserved function name stands for; 0 for any other name.
    static NCLineReferenceType lineReferenceTypeForFunctionName(const std::u16string& name);

  private:
    NCExpression(std::optional<std::u16string> string, NCSimpleLocale locale,
                 std::optional<std::u16string> substitutedString);

    NCSimpleLocale m_locale;
    std::optional<std::u16string> m_substitutedString;
    std::optional<std::u16string> m_originalString;
    NBFExpressionRef m_nbfExpression = nullptr;
    std::shared_ptr<NCTokenizedExpression> tokenizedExpr;
    NCLine* m_line = nullptr;
    std::optional<NCExpressionMappings> m_expressionMappings;
};

#endif
