// The contextual analyser decides what each token of a tokenized line means in context: which
// words are units, variables, functions or word operators (the longest run of words first),
// which numbers belong together, which units stand before or after their number, which special
// words are operators, and which tokens are mere words that take no part in the calculation.
// It works on a temporary analysis tree and hands the parser a new list of expression tokens.
//
// It never fails: what it cannot resolve stays a word.
#ifndef NUMBERA_FOUNDATION_NBF_CONTEXTUAL_ANALYZER_H
#define NUMBERA_FOUNDATION_NBF_CONTEXTUAL_ANALYZER_H

#include <cstdint>

#include "NBFExpressionToken.h"
#include "NBFNamespace.h"
#include "NBFSettings.h"
#include "NBFTokenizedExpression.h"

struct NBFContextualAnalyzer;
typedef NBFContextualAnalyzer* NBFContextualAnalyzerRef;

// One reference; no namespace.
NBFContextualAnalyzerRef NBFContextualAnalyzerCreate();
NBFContextualAnalyzerRef NBFContextualAnalyzerRetain(NBFContextualAnalyzerRef analyzer);
void NBFContextualAnalyzerRelease(NBFContextualAnalyzerRef analyzer);
// Retains the new namespace and releases the old.
void NBFContextualAnalyzerSetNamespace(NBFContextualAnalyzerRef analyzer, NBFNamespaceRef ns);
// Settings read in place of the process's current ones (retained; null returns to those).
void NBFContextualAnalyzerSetSettings(NBFContextualAnalyzerRef analyzer, NBFSettingsRef settings);

// New tokens, each with one reference the caller owns. The line index is the line's position in
// its document and selects the scope of the variables named (all scopes when variables may not
// be redefined). Empty for a null analyser or expression.
NBFExpressionTokenVector NBFContextualAnalyzerAnalyzeTokenizedExpression(
    NBFContextualAnalyzerRef analyzer, NBFTokenizedExpressionRef tokenizedExpression,
    uint32_t lineIndex);

#endif
