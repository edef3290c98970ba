// Typing aids for the calculation text: spaces around a typed operator, what a backspace
// removes, closing brackets and quotation marks, and the default operator at a place. Only
// strings and ranges are computed, on the tokens of the line as it would read after the
// keystroke; the text view applies them. Locations are display (high-level) locations.
#ifndef NUMBERA_KIT_NK_SMART_EDITING_HELPER_H
#define NUMBERA_KIT_NK_SMART_EDITING_HELPER_H

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "NCEnvironment.h"
#include "NCExpression.h"
#include "NCExpressionParser.h"
#include "NCParsedExpression.h"
#include "NSRange.h"

class NKSmartEditingHelper {
  public:
    NKSmartEditingHelper();
    static NKSmartEditingHelper& sharedHelper();

    bool insertClosingBracket = false;
    bool insertClosingQuotationCharacter = false;
    bool useSmartSpaces = false;
    bool deleteSpacesWhenNecessary = false;
    bool deleteEntireMultiCharacterTokens = false;
    // 1 widens the whitespace a backspace removes.
    int64_t whiteSpaceDeleteMode = 0;

    NCExpressionParser& expressionParser() { return m_expressionParser; }

    std::u16string stringWithSpacesForInsertedOperator(
        const std::u16string& op, const std::shared_ptr<NCExpression>& expression,
        NSRange selection);
    std::u16string stringWithSpacesForInsertedOperator(const std::u16string& op,
                                                       NCParsedExpression& parsedExpression,
                                                       std::shared_ptr<NCEnvironment> environment,
                                                       NSRange selection);
    NSRange rangeToDeleteOfExpression(NCParsedExpression& parsedExpression, NSRange selection);
    // The closing partner to insert, if any; `location` receives where, `offset` how far the
    // caret moves back (only without a selection).
    std::optional<std::u16string> closingCharacterForString(
        const std::u16string& typed, const std::shared_ptr<NCExpression>& expression,
        NSRange selection, uint64_t* location, int64_t* offset);
    std::optional<std::u16string> closingCharacterForString(
        const std::u16string& typed, const std::shared_ptr<NCExpression>& expression,
        std::shared_ptr<NCEnvironment> environment, NSRange selection, uint64_t* location,
        int64_t* offset);
    // The text to insert for a typed unit name, with the conversion word where one is needed
    // (NKConversionWord: the shared environment's, once one is set).
    // `rangeToReplace` (may be null) receives a range the unit replaces, not-found for none;
    // `otherInfo` (may be null) receives "NKUnitOperatorRelativeLocation": "LEFT" or "RIGHT"
    // when the conversion word was put before or after the unit.
    std::u16string stringForUnit(const std::u16string& unit,
                                 const std::shared_ptr<NCExpression>& expression, NSRange selection,
                                 NSRange* rangeToReplace,
                                 std::map<std::u16string, std::u16string>* otherInfo);
    std::u16string stringForUnit(const std::u16string& unit, NCParsedExpression& parsedExpression,
                                 NSRange selection, NSRange* rangeToReplace,
                                 std::map<std::u16string, std::u16string>* otherInfo);
    std::optional<std::u16string> defaultOperatorForLocation(
        uint64_t location, const std::shared_ptr<NCExpression>& expression);

    // The parsed line after inserting the string over the display range.
    std::shared_ptr<NCParsedExpression> expression(const std::shared_ptr<NCExpression>& expression,
                                                   const std::u16string& inserted, NSRange range,
                                                   std::shared_ptr<NCEnvironment> environment);

    std::shared_ptr<NCExpressionToken> tokenToTheRightOf(
        const std::shared_ptr<NCExpressionToken>& token, NCParsedExpression& expression,
        bool tokenMustBeMeaningful);
    std::shared_ptr<NCExpressionToken> tokenToTheLeftOf(
        const std::shared_ptr<NCExpressionToken>& token, NCParsedExpression& expression,
        bool tokenMustBeMeaningful);
    std::shared_ptr<NCExpressionToken> firstTokenInExpression(
        const std::shared_ptr<NCExpression>& expression);
    // The token at the last character of the stored text. Uses a parser of its own, so the
    // shared parser stays in display locations.
    std::shared_ptr<NCExpressionToken> lastTokenInExpression(
        const std::shared_ptr<NCExpression>& expression);

  private:
    std::shared_ptr<NCExpressionToken> tokenAfter(const std::shared_ptr<NCExpressionToken>& token,
                                                  int direction, NCParsedExpression& expression,
                                                  bool meaningful);

    NCExpressionParser m_expressionParser;
};

#endif
