#include "NBFExpressionToken.h"

#include "NBFBaseConverter.h"

namespace {

// Fills a cache slot once; a thread that loses the race drops its copy.
NBF::PolyString* fill(std::atomic<NBF::PolyString*>& slot, NBF::PolyString* made) {
    NBF::PolyString* expected = nullptr;
    if (slot.compare_exchange_strong(expected, made)) return made;
    NBF::release(made);
    return expected;
}

// What a number run may hold besides digits and separators: whitespace and the two markers.
bool isNumberRunFiller(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == 0x16 || c == 0x17;
}

}  // namespace

namespace NBF {

ExpressionToken* ExpressionToken::create(BasicToken* basicToken) {
    if (!basicToken) return nullptr;
    auto* token = new ExpressionToken();
    token->m_basicTokens.push_back(NBF::retain(basicToken));
    token->m_range = basicToken->range();
    token->m_locale = basicToken->locale();
    token->m_expression = basicToken->expression();
    NBFBasicTokenTypesToTokenTypes(basicToken->type(), basicToken->subType(), &token->m_type,
                                   &token->m_subType);
    return token;
}

ExpressionToken* ExpressionToken::create(const NBFBasicTokenVector& basicTokens) {
    if (basicTokens.empty()) return nullptr;
    auto* token = new ExpressionToken();
    for (BasicToken* basicToken : basicTokens)
        token->m_basicTokens.push_back(NBF::retain(basicToken));
    BasicToken* first = basicTokens.front();
    int64_t end = NBFRangeEnd(basicTokens.back()->range());
    token->m_range = {first->range().location, static_cast<int32_t>(end - first->range().location)};
    token->m_locale = first->locale();
    token->m_expression = first->expression();
    NBFBasicTokenTypesToTokenTypes(first->type(), first->subType(), &token->m_type,
                                   &token->m_subType);
    return token;
}

ExpressionToken* ExpressionToken::create(const std::string& text, token_type type,
                                         NBFTokenSubType subType) {
    auto* token = new ExpressionToken();
    token->m_type = type;
    token->m_subType = subType;
    token->m_string.store(PolyString::create(text));
    return token;
}

ExpressionToken::~ExpressionToken() {
    for (BasicToken* basicToken : m_basicTokens) basicToken->release();
    NBFUnitFractionRelease(m_unitFraction);
    NBF::release(m_unitContainer);
    NBFAmbiguousUnitRelease(m_ambiguousUnit);
    NBFFunctionRelease(m_function);
    NBFWordOperatorRelease(m_wordOperator);
    NBFScopedVariableRelease(m_variable);
    NBF::release(m_string.load());
    NBF::release(m_decimalString.load());
}

PolyString* ExpressionToken::string() const {
    if (PolyString* text = m_string.load(std::memory_order_acquire)) return text;
    if (m_basicTokens.size() == 1) return fill(m_string, NBF::retain(m_basicTokens[0]->string()));
    auto units = Ref<String>::adopt(NBFStringSubString(
        NBFExpressionGetStringReference(m_expression), m_range.location, m_range.length));
    return fill(m_string, PolyString::create(units.get()));
}

PolyString* ExpressionToken::decimalString() const {
    if (PolyString* text = m_decimalString.load(std::memory_order_acquire)) return text;
    if (m_type != kNBFTokenTypeNumber) return fill(m_decimalString, PolyString::create("1"));

    const std::u16string& text = string()->nbfString()->units();
    NBFChar decimalSeparator = NBFLocaleGetDecimalSeparator(m_locale);
    NBFChar thousandsSeparator = NBFLocaleGetThousandsSeparator(m_locale);
    std::u16string digits;
    digits.reserve(text.size());
    for (char16_t c : text) {
        if (c == thousandsSeparator || isNumberRunFiller(c)) continue;
        digits += c == decimalSeparator ? u'.' : c;
    }
    auto plain = Ref<String>::adopt(NBFStringCreateWithUTF16(std::move(digits)));
    if (m_subType != kNBFTokenSubTypePrefixedNumber)
        return fill(m_decimalString, PolyString::create(plain.get()));
    // The converter insists on a leading "0"; text that lacks it has no decimal value.
    if (NBFStringGetCharAtIndex(plain.get(), 0) != u'0') return nullptr;
    auto converted = Ref<String>::adopt(NBFBaseConverter2CharPrefixToDecimal(plain.get()));
    if (!converted) return nullptr;
    return fill(m_decimalString, PolyString::create(converted.get()));
}

void ExpressionToken::setUnitFraction(NBFUnitFraction* fraction) {
    if (fraction == m_unitFraction) return;
    NBFUnitFractionRetain(fraction);
    NBFUnitFractionRelease(m_unitFraction);
    m_unitFraction = fraction;
}

void ExpressionToken::setUnitContainer(UnitContainer* container) {
    if (container == m_unitContainer) return;
    NBF::retain(container);
    NBF::release(m_unitContainer);
    m_unitContainer = container;
}

void ExpressionToken::setAmbiguousUnit(NBFAmbiguousUnitRef ambiguousUnit) {
    if (ambiguousUnit == m_ambiguousUnit) return;
    NBFAmbiguousUnitRetain(ambiguousUnit);
    NBFAmbiguousUnitRelease(m_ambiguousUnit);
    m_ambiguousUnit = ambiguousUnit;
}

void ExpressionToken::setFunction(NBFFunctionRef function) {
    if (function == m_function) return;
    NBFFunctionRetain(function);
    NBFFunctionRelease(m_function);
    m_function = function;
}

void ExpressionToken::setWordOperator(NBFWordOperatorRef wordOperator) {
    if (wordOperator == m_wordOperator) return;
    NBFWordOperatorRetain(wordOperator);
    NBFWordOperatorRelease(m_wordOperator);
    m_wordOperator = wordOperator;
}

void ExpressionToken::setVariable(NBFScopedVariableRef variable) {
    if (variable == m_variable) return;
    NBFScopedVariableRetain(variable);
    NBFScopedVariableRelease(m_variable);
    m_variable = variable;
}

}  // namespace NBF

NBFExpressionTokenRef NBFExpressionTokenCreateWithBasicToken(NBFBasicTokenRef basicToken) {
    return NBF::ExpressionToken::create(basicToken);
}

NBFExpressionTokenRef NBFExpressionTokenCreateWithBasicTokenVector(
    const NBFBasicTokenVector& basicTokens) {
    return NBF::ExpressionToken::create(basicTokens);
}

NBFExpressionTokenRef NBFExpressionTokenCreateWithString(const std::string& text, token_type type,
                                                         NBFTokenSubType subType) {
    return NBF::ExpressionToken::create(text, type, subType);
}

NBFExpressionTokenRef NBFExpressionTokenRetain(NBFExpressionTokenRef token) {
    return NBF::retain(token);
}

void NBFExpressionTokenRelease(NBFExpressionTokenRef token) { NBF::release(token); }

int32_t NBFExpressionTokenGetBasicTokenCount(NBFExpressionTokenRef token) {
    return token ? static_cast<int32_t>(token->basicTokens().size()) : 0;
}

const NBFBasicTokenVector& NBFExpressionTokenGetBasicTokens(NBFExpressionTokenRef token) {
    static const NBFBasicTokenVector s_empty;
    return token ? token->basicTokens() : s_empty;
}

void NBFExpressionTokenSetType(NBFExpressionTokenRef token, token_type type) {
    if (token) token->setType(type);
}

token_type NBFExpressionTokenGetType(NBFExpressionTokenRef token) {
    return token ? token->type() : kNBFTokenTypeNone;
}

void NBFExpressionTokenSetSubType(NBFExpressionTokenRef token, NBFTokenSubType subType) {
    if (token) token->setSubType(subType);
}

NBFTokenSubType NBFExpressionTokenGetSubType(NBFExpressionTokenRef token) {
    return token ? token->subType() : kNBFTokenSubTypeNone;
}

void NBFExpressionTokenSetActualSubType(NBFExpressionTokenRef token, NBFTokenSubType subType) {
    if (token) token->setActualSubType(subType);
}

NBFTokenSubType NBFExpressionTokenGetActualSubType(NBFExpressionTokenRef token) {
    return token ? token->actualSubType() : kNBFTokenSubTypeNone;
}

NBFRange NBFExpressionTokenGetRange(NBFExpressionTokenRef token) {
    return token ? token->range() : NBFRangeZero;
}

NBFStringRef NBFExpressionTokenGetStringReference(NBFExpressionTokenRef token) {
    return token ? token->string()->nbfString() : nullptr;
}

NBFStringRef NBFExpressionTokenGetDecimalStringReference(NBFExpressionTokenRef token) {
    NBF::PolyString* text = token ? token->decimalString() : nullptr;
    return text ? text->nbfString() : nullptr;
}

NBFChar NBFExpressionTokenGetFirstCharacter(NBFExpressionTokenRef token) {
    if (!token || token->basicTokens().empty()) return 0;
    return NBFBasicTokenGetFirstCharacter(token->basicTokens().front());
}

NBFExpressionRef NBFExpressionTokenGetExpressionReference(NBFExpressionTokenRef token) {
    return token ? token->expression() : nullptr;
}

void NBFExpressionTokenSetUnitFraction(NBFExpressionTokenRef token, NBFUnitFractionRef fraction) {
    if (token) token->setUnitFraction(fraction);
}

NBFUnitFractionRef NBFExpressionTokenGetUnitFractionReference(NBFExpressionTokenRef token) {
    return token ? token->unitFraction() : nullptr;
}

void NBFExpressionTokenSetUnitContainer(NBFExpressionTokenRef token,
                                        NBFUnitContainerRef container) {
    if (token) token->setUnitContainer(container);
}

NBFUnitContainerRef NBFExpressionTokenGetUnitContainer(NBFExpressionTokenRef token) {
    return token ? token->unitContainer() : nullptr;
}

void NBFExpressionTokenSetAmbiguousUnit(NBFExpressionTokenRef token,
                                        NBFAmbiguousUnitRef ambiguousUnit) {
    if (token) token->setAmbiguousUnit(ambiguousUnit);
}

NBFAmbiguousUnitRef NBFExpressionTokenGetAmbiguousUnit(NBFExpressionTokenRef token) {
    return token ? token->ambiguousUnit() : nullptr;
}

void NBFExpressionTokenSetFunction(NBFExpressionTokenRef token, NBFFunctionRef function) {
    if (token) token->setFunction(function);
}

NBFFunctionRef NBFExpressionTokenGetFunction(NBFExpressionTokenRef token) {
    return token ? token->function() : nullptr;
}

void NBFExpressionTokenSetWordOperator(NBFExpressionTokenRef token,
                                       NBFWordOperatorRef wordOperator) {
    if (token) token->setWordOperator(wordOperator);
}

NBFWordOperatorRef NBFExpressionTokenGetWordOperator(NBFExpressionTokenRef token) {
    return token ? token->wordOperator() : nullptr;
}

void NBFExpressionTokenSetVariable(NBFExpressionTokenRef token, NBFScopedVariableRef variable) {
    if (token) token->setVariable(variable);
}

NBFScopedVariableRef NBFExpressionTokenGetVariable(NBFExpressionTokenRef token) {
    return token ? token->variable() : nullptr;
}

void NBFExpressionTokenSetUnitFormatType(NBFExpressionTokenRef token,
                                         NBFUnitFormatType formatType) {
    if (token) token->setUnitFormatType(formatType);
}

NBFUnitFormatType NBFExpressionTokenGetUnitFormatType(NBFExpressionTokenRef token) {
    return token ? token->unitFormatType() : NBFUnitFormatTypeNone;
}
