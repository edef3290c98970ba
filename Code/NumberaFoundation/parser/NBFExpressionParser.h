// The expression parser runs the whole road from a line to its tree: it makes a namespace of
// its lists, analyses the tokenized line in context, parses the analysed tokens and hands back
// the tree with display tokens for syntax colouring.
#ifndef NUMBERA_FOUNDATION_NBF_EXPRESSION_PARSER_H
#define NUMBERA_FOUNDATION_NBF_EXPRESSION_PARSER_H

#include <cstdint>

#include "NBFExpression.h"
#include "NBFFunctionList.h"
#include "NBFParsedExpression.h"
#include "NBFTokenizedExpression.h"
#include "NBFUnitCollection.h"
#include "NBFVariable.h"
#include "NBFWordOperatorList.h"

namespace NBF {

class ExpressionParser : public Object<ExpressionParser> {
  public:
    // Each list is retained; any may be null.
    static ExpressionParser* create(NBFFunctionListRef functionList,
                                    NBFVariableListRef variableList,
                                    NBFWordOperatorListRef wordOperatorList,
                                    NBFUnitCollectionRef unitCollection);
    // A new parsed expression the caller releases.
    ParsedExpression* parse(TokenizedExpression* tokenizedExpression, uint32_t lineIndex) const;
    // The same from tokens this parser's lists have already analysed (borrowed).
    ParsedExpression* parseAnalysedTokens(const NBFExpressionTokenVector& tokens) const;
    // On by default; an evaluation reads only the tree and leaves them out.
    void setMakesDisplayTokens(bool makes) { m_makesDisplayTokens = makes; }

  private:
    ExpressionParser() = default;
    ~ExpressionParser() override;

    NBFFunctionListRef m_functionList = nullptr;
    NBFVariableListRef m_variableList = nullptr;
    NBFWordOperatorListRef m_wordOperatorList = nullptr;
    NBFUnitCollectionRef m_unitCollection = nullptr;
    bool m_makesDisplayTokens = true;
};

}  // namespace NBF

typedef NBF::ExpressionParser* NBFExpressionParserRef;

// Variables are seen as at this line when no line is given: after every line.
constexpr uint32_t NBFExpressionParserNoLineIndex = UINT32_MAX;

NBFExpressionParserRef NBFExpressionParserCreate(NBFFunctionListRef functionList,
                                                 NBFVariableListRef variableList,
                                                 NBFWordOperatorListRef wordOperatorList,
                                                 NBFUnitCollectionRef unitCollection);
NBFExpressionParserRef NBFExpressionParserRetain(NBFExpressionParserRef parser);
void NBFExpressionParserRelease(NBFExpressionParserRef parser);
// Accepted for compatibility: the analysis always runs.
void NBFExpressionParserSetEnableContextualAnalysis(NBFExpressionParserRef parser, bool flag);
// Whether parsed expressions carry display tokens (they do unless turned off).
void NBFExpressionParserSetMakesDisplayTokens(NBFExpressionParserRef parser, bool makes);
// Tokenises with the default locale, then parses as below; null for a null argument.
NBFParsedExpressionRef NBFExpressionParserParseExpression(NBFExpressionParserRef parser,
                                                          NBFExpressionRef expression);
// A new parsed expression (its tree absent when parsing failed); null for a null argument.
NBFParsedExpressionRef NBFExpressionParserParseTokenizedExpression(
    NBFExpressionParserRef parser, NBFTokenizedExpressionRef tokenizedExpression);
// The same, with variables in the scope of the given line.
NBFParsedExpressionRef NBFExpressionParserParseTokenizedExpressionInScope(
    NBFExpressionParserRef parser, NBFTokenizedExpressionRef tokenizedExpression,
    uint32_t lineIndex);

// A new parsed expression from tokens already analysed in this parser's namespace (borrowed);
// null for a null parser.
NBFParsedExpressionRef NBFExpressionParserParseAnalysedTokens(
    NBFExpressionParserRef parser, const NBFExpressionTokenVector& tokens);

#endif
