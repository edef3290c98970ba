// The parser turns the analysed expression tokens of one line into an expression tree: an
// operator-precedence parser with an operand and an operator stack per bracket group, implicit
// operators between adjacent operands, and recovery from incomplete input (a trailing "+"
// vanishes, a "/" before any operand is passed over, a stray ")" ends the line).
#ifndef NUMBERA_FOUNDATION_NBF_PARSER_H
#define NUMBERA_FOUNDATION_NBF_PARSER_H

#include <cstdint>

#include "NBFExpressionToken.h"
#include "NBFExpressionTree.h"
#include "NBFObject.h"

typedef uint32_t NBFParseError;
constexpr NBFParseError NBFParseErrorNone = 0xffffff00;  // the named "no error"
// A misplaced operator where operands exist.
constexpr NBFParseError NBFParseErrorGeneral = 1;
// Input the parser will not take at all: brackets nested deeper than NBFMaxBracketDepth or a
// tree taller than NBFMaxExpressionTreeHeight.
constexpr NBFParseError NBFParseErrorNoRecovery = 2;

struct NBFParser : NBF::Object<NBFParser> {
    NBFParseError error = 0;
};
typedef NBFParser* NBFParserRef;

NBFParserRef NBFParserCreate();
NBFParserRef NBFParserRetain(NBFParserRef parser);
void NBFParserRelease(NBFParserRef parser);
// 0 after a parse without error (and before any), else the error of the last parse.
NBFParseError NBFParserGetError(NBFParserRef parser);

// Parses the tokens and keeps the parse error. A new tree (one reference), or null for a null
// argument, a parse error, or input with nothing to evaluate.
NBFExpressionTreeRef NBFParserCreateExpressionTreeByParsingExpressionTokens(
    NBFParserRef parser, const NBFExpressionTokenVector* tokens);
// Parses the tokens as one group; errorOut (may be null) receives 0 or the parse error. The
// nodes record the tokens they were made from, which must outlive the tree.
NBFExpressionTreeRef NBFParserImplParse(const NBFExpressionTokenVector& tokens,
                                        NBFParseError* errorOut);

#endif
