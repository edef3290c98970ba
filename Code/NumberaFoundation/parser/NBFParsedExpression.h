// What parsing a line yields: its expression tree (absent when parsing failed) and display
// tokens that say, for syntax colouring, what each token turned out to be (a minus that became
// a sign shows as a sign; text that takes no part shows as a word).
#ifndef NUMBERA_FOUNDATION_NBF_PARSED_EXPRESSION_H
#define NUMBERA_FOUNDATION_NBF_PARSED_EXPRESSION_H

#include <vector>

#include "NBFExpressionToken.h"
#include "NBFExpressionTree.h"
#include "NBFRange.h"
#include "NBFString.h"
#include "NBFTokenTypes.h"

namespace NBF {

class Token : public Object<Token> {
  public:
    // The string is retained.
    static Token* create(NBFRange range, token_type type, NBFTokenSubType subType,
                         NBFStringRef string);
    // The string is the expression token's (retained), made only when asked for: most parsed
    // expressions are evaluated and never shown.
    static Token* createOver(NBFRange range, token_type type, NBFTokenSubType subType,
                             ExpressionToken* source);
    NBFRange range() const { return m_range; }
    token_type type() const { return m_type; }
    NBFTokenSubType subType() const { return m_subType; }
    NBFStringRef string() const;  // borrowed

  private:
    Token(NBFRange range, token_type type, NBFTokenSubType subType, NBFStringRef string,
          ExpressionToken* source);
    ~Token() override;

    const NBFRange m_range;
    const token_type m_type;
    const NBFTokenSubType m_subType;
    NBFStringRef const m_string;
    ExpressionToken* const m_source;
};

typedef std::vector<Token*> TokenVector;

class ParsedExpression : public Object<ParsedExpression> {
  public:
    // Retains every token; wraps the root (retained) in a new tree when given.
    static ParsedExpression* create(const TokenVector& tokens, ExpressionNode* root);
    const TokenVector& tokens() const { return m_tokens; }  // borrowed
    ExpressionTree* tree() const { return m_tree; }         // borrowed; null without one
    // The tree's nodes name the expression tokens they were made from without holding them:
    // the parsed expression keeps them (retained) for as long as the tree.
    void keepExpressionTokens(const NBFExpressionTokenVector& tokens);
    const NBFExpressionTokenVector& expressionTokens() const { return m_expressionTokens; }

  private:
    ParsedExpression(const TokenVector& tokens, ExpressionNode* root);
    ~ParsedExpression() override;

    const TokenVector m_tokens;
    ExpressionTree* const m_tree;
    NBFExpressionTokenVector m_expressionTokens;
};

}  // namespace NBF

typedef NBF::Token* NBFTokenRef;
typedef NBF::ParsedExpression* NBFParsedExpressionRef;

NBFTokenRef NBFTokenCreate(NBFRange range, token_type type, NBFTokenSubType subType,
                           NBFStringRef string);
NBFTokenRef NBFTokenRetain(NBFTokenRef token);
void NBFTokenRelease(NBFTokenRef token);
token_type NBFTokenGetType(NBFTokenRef token);          // 0 for null
NBFTokenSubType NBFTokenGetSubType(NBFTokenRef token);  // 0 for null

NBFParsedExpressionRef NBFParsedExpressionCreate(const NBF::TokenVector& tokens,
                                                 NBFExpressionNodeRef rootNode);
NBFParsedExpressionRef NBFParsedExpressionRetain(NBFParsedExpressionRef parsedExpression);
void NBFParsedExpressionRelease(NBFParsedExpressionRef parsedExpression);
// Borrowed; an empty vector for null.
const NBF::TokenVector& NBFParsedExpressionGetTokens(NBFParsedExpressionRef parsedExpression);
// The analysed tokens the tree was made from; borrowed, empty for null.
const NBFExpressionTokenVector& NBFParsedExpressionGetExpressionTokens(
    NBFParsedExpressionRef parsedExpression);
// Borrowed; null for null or when parsing failed.
NBFExpressionTreeRef NBFParsedExpressionGetExpressionTree(NBFParsedExpressionRef parsedExpression);

#endif
