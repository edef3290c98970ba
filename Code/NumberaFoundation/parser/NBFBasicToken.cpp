#include "NBFBasicToken.h"

namespace NBF {

BasicToken* BasicToken::create(Expression* expression, NBFRange range, NBFBasicTokenType type,
                               NBFBasicTokenSubType subType, NBFLocale locale) {
    return new BasicToken(expression, range, type, subType, locale);
}

BasicToken::BasicToken(Expression* expression, NBFRange range, NBFBasicTokenType type,
                       NBFBasicTokenSubType subType, NBFLocale locale)
    : m_range(range),
      m_type(type),
      m_subType(subType),
      m_expression(NBF::retain(expression)),
      m_locale(locale) {}

BasicToken::~BasicToken() {
    NBF::release(m_string.load());
    NBF::release(m_expression);
}

PolyString* BasicToken::string() const {
    PolyString* text = m_string.load(std::memory_order_acquire);
    if (text) return text;
    auto units = Ref<String>::adopt(NBFStringSubString(
        NBFExpressionGetStringReference(m_expression), m_range.location, m_range.length));
    auto made = Ref<PolyString>::adopt(PolyString::create(units.get()));
    // The token keeps the text; a thread that lost the race drops its copy.
    if (m_string.compare_exchange_strong(text, made.get())) return made.leak();
    return text;
}

}  // namespace NBF

NBFBasicTokenRef NBFBasicTokenCreate(NBFExpressionRef expression, NBFRange range,
                                     NBFBasicTokenType type, NBFBasicTokenSubType subType,
                                     NBFLocale locale) {
    return NBF::BasicToken::create(expression, range, type, subType, locale);
}

NBFBasicTokenRef NBFBasicTokenRetain(NBFBasicTokenRef token) { return NBF::retain(token); }
void NBFBasicTokenRelease(NBFBasicTokenRef token) { NBF::release(token); }

NBFBasicTokenType NBFBasicTokenGetType(NBFBasicTokenRef token) { return token ? token->type() : 0; }

NBFBasicTokenSubType NBFBasicTokenGetSubType(NBFBasicTokenRef token) {
    return token ? token->subType() : 0;
}

NBFRange NBFBasicTokenGetRange(NBFBasicTokenRef token) {
    return token ? token->range() : NBFRangeZero;
}

bool NBFBasicTokenIsFirstToken(NBFBasicTokenRef token) {
    return token && token->range().location == 0;
}

bool NBFBasicTokenIsLastToken(NBFBasicTokenRef token) {
    return token && NBFRangeEnd(token->range()) ==
                        NBFStringLength(NBFExpressionGetStringReference(token->expression()));
}

NBFStringRef NBFBasicTokenGetStringReference(NBFBasicTokenRef token) {
    return token ? token->string()->nbfString() : nullptr;
}

NBFChar NBFBasicTokenGetFirstCharacter(NBFBasicTokenRef token) {
    if (!token || token->range().length <= 0) return 0;
    return NBFStringGetCharAtIndex(NBFExpressionGetStringReference(token->expression()),
                                   token->range().location);
}

NBFExpressionRef NBFBasicTokenGetExpressionReference(NBFBasicTokenRef token) {
    return token ? token->expression() : nullptr;
}
