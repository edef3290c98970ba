// One or more basic tokens with the meaning the tokenizer and the analyser found for them:
// a kind, and the unit, function, variable or word operator the text names. The objects it
// names are retained by the token.
#ifndef NUMBERA_FOUNDATION_NBF_EXPRESSION_TOKEN_H
#define NUMBERA_FOUNDATION_NBF_EXPRESSION_TOKEN_H

#include <atomic>
#include <string>
#include <vector>

#include "NBFAmbiguousUnit.h"
#include "NBFBasicToken.h"
#include "NBFFunction.h"
#include "NBFUnitContainer.h"
#include "NBFUnitFraction.h"
#include "NBFUnitType.h"
#include "NBFVariable.h"
#include "NBFWordOperator.h"

namespace NBF {

class ExpressionToken : public Object<ExpressionToken> {
  public:
    // Range, locale, expression and kind from the basic token (retained).
    static ExpressionToken* create(BasicToken* basicToken);
    // Each basic token retained; the range runs from the first one's start to the last one's
    // end, locale and kind come from the first. Null for an empty vector.
    static ExpressionToken* create(const NBFBasicTokenVector& basicTokens);
    // A token of the given text alone: no basic tokens, the zero range, the default locale.
    static ExpressionToken* create(const std::string& text, token_type type,
                                   NBFTokenSubType subType);

    const NBFBasicTokenVector& basicTokens() const { return m_basicTokens; }
    NBFRange range() const { return m_range; }
    NBFLocale locale() const { return m_locale; }
    Expression* expression() const { return m_expression; }

    token_type type() const { return m_type; }
    void setType(token_type type) { m_type = type; }
    // What the token represents (for a word operator, the operator it stands for).
    NBFTokenSubType subType() const { return m_subType; }
    void setSubType(NBFTokenSubType subType) { m_subType = subType; }
    // What the token is (a word operator); the subtype when not set.
    NBFTokenSubType actualSubType() const { return m_actualSubType ? m_actualSubType : m_subType; }
    void setActualSubType(NBFTokenSubType subType) { m_actualSubType = subType; }

    // The token's text, made on first use: its own string, its single basic token's text, or
    // the expression text over its whole range (whitespace inside included). Borrowed.
    PolyString* string() const;
    // The number as plain decimal text (grouping, whitespace and markers removed, the locale's
    // decimal separator turned into ".", prefixed numbers converted); "1" for a token that is
    // not a number; null for a prefixed number with a digit outside its base. Borrowed.
    PolyString* decimalString() const;

    // Setters retain the new object and release the old.
    NBFUnitFraction* unitFraction() const { return m_unitFraction; }
    void setUnitFraction(NBFUnitFraction* fraction);
    UnitContainer* unitContainer() const { return m_unitContainer; }
    void setUnitContainer(UnitContainer* container);
    NBFAmbiguousUnitRef ambiguousUnit() const { return m_ambiguousUnit; }
    void setAmbiguousUnit(NBFAmbiguousUnitRef ambiguousUnit);
    NBFFunctionRef function() const { return m_function; }
    void setFunction(NBFFunctionRef function);
    NBFWordOperatorRef wordOperator() const { return m_wordOperator; }
    void setWordOperator(NBFWordOperatorRef wordOperator);
    NBFScopedVariableRef variable() const { return m_variable; }
    void setVariable(NBFScopedVariableRef variable);
    NBFUnitFormatType unitFormatType() const { return m_unitFormatType; }
    void setUnitFormatType(NBFUnitFormatType formatType) { m_unitFormatType = formatType; }

  private:
    ExpressionToken() = default;
    ~ExpressionToken() override;

    NBFBasicTokenVector m_basicTokens;
    NBFRange m_range = NBFRangeZero;
    token_type m_type = kNBFTokenTypeNone;
    NBFTokenSubType m_subType = kNBFTokenSubTypeNone;
    NBFTokenSubType m_actualSubType = kNBFTokenSubTypeNone;
    NBFUnitFraction* m_unitFraction = nullptr;
    UnitContainer* m_unitContainer = nullptr;
    NBFAmbiguousUnitRef m_ambiguousUnit = nullptr;
    NBFFunctionRef m_function = nullptr;
    NBFWordOperatorRef m_wordOperator = nullptr;
    NBFScopedVariableRef m_variable = nullptr;
    Expression* m_expression = nullptr;  // kept alive by the basic tokens
    NBFUnitFormatType m_unitFormatType = NBFUnitFormatTypeNone;
    NBFLocale m_locale = kNBFLocaleDefault;
    mutable std::atomic<PolyString*> m_string{nullptr};
    mutable std::atomic<PolyString*> m_decimalString{nullptr};
};

}  // namespace NBF

typedef NBF::ExpressionToken* NBFExpressionTokenRef;
typedef std::vector<NBFExpressionTokenRef> NBFExpressionTokenVector;

NBFExpressionTokenRef NBFExpressionTokenCreateWithBasicToken(NBFBasicTokenRef basicToken);
NBFExpressionTokenRef NBFExpressionTokenCreateWithBasicTokenVector(
    const NBFBasicTokenVector& basicTokens);
NBFExpressionTokenRef NBFExpressionTokenCreateWithString(const std::string& text, token_type type,
                                                         NBFTokenSubType subType);
NBFExpressionTokenRef NBFExpressionTokenRetain(NBFExpressionTokenRef token);
void NBFExpressionTokenRelease(NBFExpressionTokenRef token);
int32_t NBFExpressionTokenGetBasicTokenCount(NBFExpressionTokenRef token);
// Borrowed; a shared empty vector for null.
const NBFBasicTokenVector& NBFExpressionTokenGetBasicTokens(NBFExpressionTokenRef token);

// Every setter ignores a null token; every getter answers 0 or null for one.
void NBFExpressionTokenSetType(NBFExpressionTokenRef token, token_type type);
token_type NBFExpressionTokenGetType(NBFExpressionTokenRef token);
void NBFExpressionTokenSetSubType(NBFExpressionTokenRef token, NBFTokenSubType subType);
NBFTokenSubType NBFExpressionTokenGetSubType(NBFExpressionTokenRef token);
void NBFExpressionTokenSetActualSubType(NBFExpressionTokenRef token, NBFTokenSubType subType);
NBFTokenSubType NBFExpressionTokenGetActualSubType(NBFExpressionTokenRef token);
NBFRange NBFExpressionTokenGetRange(NBFExpressionTokenRef token);
NBFStringRef NBFExpressionTokenGetStringReference(NBFExpressionTokenRef token);
NBFStringRef NBFExpressionTokenGetDecimalStringReference(NBFExpressionTokenRef token);
// The first character of the first basic token; 0 without one.
NBFChar NBFExpressionTokenGetFirstCharacter(NBFExpressionTokenRef token);
NBFExpressionRef NBFExpressionTokenGetExpressionReference(NBFExpressionTokenRef token);
void NBFExpressionTokenSetUnitFraction(NBFExpressionTokenRef token, NBFUnitFractionRef fraction);
NBFUnitFractionRef NBFExpressionTokenGetUnitFractionReference(NBFExpressionTokenRef token);
void NBFExpressionTokenSetUnitContainer(NBFExpressionTokenRef token, NBFUnitContainerRef container);
NBFUnitContainerRef NBFExpressionTokenGetUnitContainer(NBFExpressionTokenRef token);
void NBFExpressionTokenSetAmbiguousUnit(NBFExpressionTokenRef token,
                                        NBFAmbiguousUnitRef ambiguousUnit);
NBFAmbiguousUnitRef NBFExpressionTokenGetAmbiguousUnit(NBFExpressionTokenRef token);
void NBFExpressionTokenSetFunction(NBFExpressionTokenRef token, NBFFunctionRef function);
NBFFunctionRef NBFExpressionTokenGetFunction(NBFExpressionTokenRef token);
void NBFExpressionTokenSetWordOperator(NBFExpressionTokenRef token,
                                       NBFWordOperatorRef wordOperator);
NBFWordOperatorRef NBFExpressionTokenGetWordOperator(NBFExpressionTokenRef token);
void NBFExpressionTokenSetVariable(NBFExpressionTokenRef token, NBFScopedVariableRef variable);
NBFScopedVariableRef NBFExpressionTokenGetVariable(NBFExpressionTokenRef token);
void NBFExpressionTokenSetUnitFormatType(NBFExpressionTokenRef token, NBFUnitFormatType formatType);
NBFUnitFormatType NBFExpressionTokenGetUnitFormatType(NBFExpressionTokenRef token);

#endif
