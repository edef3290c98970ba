// A run of characters of an expression as the scanner classified it: its range in UTF-16 code
// units, its basic kind, and the locale it was scanned with.
#ifndef NUMBERA_FOUNDATION_NBF_BASIC_TOKEN_H
#define NUMBERA_FOUNDATION_NBF_BASIC_TOKEN_H

#include <atomic>
#include <vector>

#include "NBFExpression.h"
#include "NBFObject.h"
#include "NBFPolyString.h"
#include "NBFRange.h"
#include "NBFTokenTypes.h"

namespace NBF {

class BasicToken : public Object<BasicToken> {
  public:
    // The expression is retained.
    static BasicToken* create(Expression* expression, NBFRange range, NBFBasicTokenType type,
                              NBFBasicTokenSubType subType, NBFLocale locale);

    NBFRange range() const { return m_range; }
    NBFLocale locale() const { return m_locale; }
    NBFBasicTokenType type() const { return m_type; }
    NBFBasicTokenSubType subType() const { return m_subType; }
    Expression* expression() const { return m_expression; }
    // The text over the range, made on the first call (safe from any thread); borrowed.
    PolyString* string() const;

  private:
    BasicToken(Expression* expression, NBFRange range, NBFBasicTokenType type,
               NBFBasicTokenSubType subType, NBFLocale locale);
    ~BasicToken() override;

    const NBFRange m_range;
    const NBFBasicTokenType m_type;
    const NBFBasicTokenSubType m_subType;
    Expression* const m_expression;
    const NBFLocale m_locale;
    mutable std::atomic<PolyString*> m_string{nullptr};
};

}  // namespace NBF

typedef NBF::BasicToken* NBFBasicTokenRef;
typedef std::vector<NBFBasicTokenRef> NBFBasicTokenVector;

NBFBasicTokenRef NBFBasicTokenCreate(NBFExpressionRef expression, NBFRange range,
                                     NBFBasicTokenType type, NBFBasicTokenSubType subType,
                                     NBFLocale locale);
NBFBasicTokenRef NBFBasicTokenRetain(NBFBasicTokenRef token);
void NBFBasicTokenRelease(NBFBasicTokenRef token);
// 0, or the zero range, for null.
NBFBasicTokenType NBFBasicTokenGetType(NBFBasicTokenRef token);
NBFBasicTokenSubType NBFBasicTokenGetSubType(NBFBasicTokenRef token);
NBFRange NBFBasicTokenGetRange(NBFBasicTokenRef token);
bool NBFBasicTokenIsFirstToken(NBFBasicTokenRef token);                // starts the text
bool NBFBasicTokenIsLastToken(NBFBasicTokenRef token);                 // ends the text
NBFStringRef NBFBasicTokenGetStringReference(NBFBasicTokenRef token);  // borrowed
NBFChar NBFBasicTokenGetFirstCharacter(NBFBasicTokenRef token);        // 0 for null
NBFExpressionRef NBFBasicTokenGetExpressionReference(NBFBasicTokenRef token);

#endif
