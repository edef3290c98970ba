#include "NCExpression.h"

#include "NCExpressionSubstituter.h"
#include "NCResultFormatter.h"
#include "NCTokenizedExpression.h"
#include "NCUtilityFunctions.h"

NCExpression::NCExpression(std::optional<std::u16string> string, NCSimpleLocale locale,
                           std::optional<std::u16string> substitutedString)
    : m_locale(locale),
      m_substitutedString(std::move(substitutedString)),
      m_originalString(std::move(string)) {}

NCExpression::~NCExpression() { NBFExpressionRelease(m_nbfExpression); }

std::shared_ptr<NCExpression> NCExpression::create(
    std::optional<std::u16string> string, NCSimpleLocale locale,
    std::optional<std::u16string> substitutedString) {
    return std::shared_ptr<NCExpression>(
        new NCExpression(std::move(string), locale, std::move(substitutedString)));
}

std::shared_ptr<NCExpression> NCExpression::withSimpleString(const std::u16string& string) {
    return create(string, kNCSimpleLocalDefault, string);
}

std::shared_ptr<NCExpression> NCExpression::withContentsOfNBFExpression(
    NBFExpressionRef expression) {
    return create(NCNSStringCreateFromNBFString(NBFExpressionGetStringReference(expression)));
}

size_t NCExpression::hash() const {
    return m_originalString ? std::hash<std::u16string>()(*m_originalString) : 0;
}

bool NCExpression::isEqual(const NCExpression* other) const {
    if (!other) return false;
    return other == this || m_originalString == other->m_originalString;
}

const NCExpressionMappings* NCExpression::expressionMappings() const {
    return m_expressionMappings ? &*m_expressionMappings : nullptr;
}

const std::optional<std::u16string>& NCExpression::stringForEvaluation() {
    if (!m_substitutedString && m_originalString) {
        std::u16string text = *m_originalString;
        m_expressionMappings =
            NCExpressionSubstituter::defaultSubstituter().applySubstitutionsToMutableString(text);
        m_substitutedString = std::move(text);
    }
    return m_substitutedString;
}

bool NCExpression::substitutedBySharedSubstituter(const std::u16string** text,
                                                  const NCExpressionMappings** mappings) {
    if (!m_originalString || (m_substitutedString && !m_expressionMappings)) return false;
    stringForEvaluation();
    *text = &*m_substitutedString;
    *mappings = &*m_expressionMappings;
    return true;
}

NBFExpressionRef NCExpression::nbfExpression() {
    if (!m_nbfExpression) {
        const std::optional<std::u16string>& text = stringForEvaluation();
        m_nbfExpression = NBFExpressionCreateWithString(
            text ? NCNBFStringFromNSStringReference(*text).get() : nullptr);
    }
    return m_nbfExpression;
}

std::optional<std::u16string> NCExpression::delocalizedString() const {
    return stringInLocale(kNCSimpleLocalDefault);
}

std::optional<std::u16string> NCExpression::stringInLocale(NCSimpleLocale locale) const {
    if (!m_originalString) return std::nullopt;
    std::u16string text = *m_originalString;
    if (locale != m_locale)
        NCResultFormatterReplaceDecimalPointAndThousandsSeparator(
            text, m_locale.decimalPointChar, m_locale.groupingChar, locale.decimalPointChar,
            locale.groupingChar);
    return text;
}

void NCExpression::convertToLocaleWithDecimalPoint(char16_t decimalPoint,
                                                   char16_t thousandsSeparator) {
    if (m_originalString)
        NCResultFormatterReplaceDecimalPointAndThousandsSeparator(
            *m_originalString, m_locale.decimalPointChar, m_locale.groupingChar, decimalPoint,
            thousandsSeparator);
    setLocaleWithDecimalPoint(decimalPoint, thousandsSeparator);
}

void NCExpression::setLocaleWithDecimalPoint(char16_t decimalPoint, char16_t thousandsSeparator) {
    if (decimalPoint == m_locale.decimalPointChar && thousandsSeparator == m_locale.groupingChar)
        return;
    m_locale = {decimalPoint, thousandsSeparator};
    m_substitutedString.reset();
    m_expressionMappings.reset();
    NBFExpressionRelease(m_nbfExpression);
    m_nbfExpression = nullptr;
}

std::shared_ptr<NCTokenizedExpression> NCExpression::tokenizedExpression() {
    if (!m_substitutedString) tokenizedExpr.reset();
    if (!tokenizedExpr) {
        stringForEvaluation();
        tokenizedExpr = std::make_shared<NCTokenizedExpression>(weak_from_this());
    }
    return tokenizedExpr;
}
