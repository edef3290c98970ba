// Bounds on how deeply a line may nest. Lines come from documents and pastes, and brackets and
// trees are walked recursively (analysis passes, the parser's groups, node release, printing),
// so nesting is bounded rather than left to the size of the stack.
#ifndef NUMBERA_FOUNDATION_NBF_PARSE_LIMITS_H
#define NUMBERA_FOUNDATION_NBF_PARSE_LIMITS_H

#include <cstdint>

// Brackets nested deeper are left ungrouped by the analyser and refused by the parser.
constexpr int32_t NBFMaxBracketDepth = 100;
// The parser refuses a tree taller than this (a long chain of operators builds a tall tree).
constexpr int32_t NBFMaxExpressionTreeHeight = 1000;

#endif
