// The passes of the contextual analyser over an analysis tree, in pipeline order. Each pass
// works on the children of a group node; those marked "into groups" also work inside every
// bracket group below it. Exposed so each pass can be run and checked on its own.
#ifndef NUMBERA_FOUNDATION_NBF_CONTEXTUAL_ANALYZER_PASSES_H
#define NUMBERA_FOUNDATION_NBF_CONTEXTUAL_ANALYZER_PASSES_H

#include <cstdint>

#include "NBFContextualAnalyzer.h"
#include "NBFEPExpressionTree.h"

typedef int32_t NBFSpecialWordKind;
enum : NBFSpecialWordKind {
    kNBFSpecialWordStatementSeparator = 1,  // ";"
    kNBFSpecialWordPercent = 2,             // "%"
    kNBFSpecialWordFactorial = 3,           // "!"
    kNBFSpecialWordUnitConversion = 4,      // "__uc"
    kNBFSpecialWordExponent = 5,            // "e"
    kNBFSpecialWordPower = 6,               // "^"
    kNBFSpecialWordModulo = 7,              // "__mod"
};

// Bits of the options word of NBFOperatorOptions that steer the argument checks.
enum : uint32_t {
    kNBFOperatorOptionSkipSignBeforeRight = 4,
    kNBFOperatorOptionRightMayBeMissing = 8,
    kNBFOperatorOptionSkipWords = 16,
    kNBFOperatorOptionNoWhitespace = 32,
};
// Argument-condition bits: a unit may stand for a value; any of the mask asks for values.
constexpr uint32_t kNBFArgumentConditionUnit = 1;
constexpr uint32_t kNBFArgumentConditionValueMask = 30;

// The options of the operators made from special words.
constexpr NBFOperatorOptions kNBFPowerOperatorOptions = {13, 9, 0, 0, 0, 31, 3};
constexpr NBFOperatorOptions kNBFExponentOperatorOptions = {45, 9, 0, 2816, 1, 10, 3};
constexpr NBFOperatorOptions kNBFUnitConversionOperatorOptions = {11, 9, 0, 0, 0, 31, 3};

// The steps of the analysis; running 1 to n and flattening shows what the first n made.
typedef int32_t NBFAnalysisStep;
enum : NBFAnalysisStep {
    kNBFAnalysisStepTree = 1,
    kNBFAnalysisStepNumberRuns = 2,
    kNBFAnalysisStepBrackets = 3,
    kNBFAnalysisStepSpecialWords = 4,
    kNBFAnalysisStepAssignmentTarget = 5,
    kNBFAnalysisStepWordResolution = 6,
    kNBFAnalysisStepLonelyNumbers = 7,
    kNBFAnalysisStepWordyNumbers = 8,
    kNBFAnalysisStepWordResolutionAgain = 9,
    kNBFAnalysisStepUnitCleanup = 10,
    kNBFAnalysisStepWordOperatorCleanup = 11,
    kNBFAnalysisStepFactorialCleanup = 12,
    kNBFAnalysisStepHighPriorityOperators = 13,
    kNBFAnalysisStepSecondCleanup = 14,  // units, lonely numbers and wordy numbers again
    kNBFAnalysisStepWordGrouping = 15,
    kNBFAnalysisStepFlattening = 16,
};

// Step 1: a root group holding one leaf per token, in order. The caller releases the tree.
NBFEPExpressionTreeRef NBFContextualAnalyzerCreateAnalysisTree(
    const NBFExpressionTokenVector& tokens);
// Steps 2 to lastStep (at most 15) over the root of a tree made by step 1.
void NBFContextualAnalyzerRunSteps(NBFContextualAnalyzerRef analyzer,
                                   NBFEPExpressionTreeNodeRef root, uint32_t lineIndex,
                                   NBFAnalysisStep lastStep);

// Step 2: a number opens a run that decimal numbers, whitespace and markers join; the run,
// less its trailing whitespace and markers, becomes one number.
void number_run_grouper(NBFEPExpressionTreeNodeRef node);
// Step 3: "(" and everything up to its ")" become a bracket group; an unmatched "(" groups to
// the end; an unmatched ")" at the top ends the line. Iterative; brackets deeper than
// NBFMaxBracketDepth stay ungrouped.
void bracket_grouper2(NBFEPExpressionTreeNodeRef node);
// Step 4, into groups: special words become operators and statement separators.
void pre_pass_5a_recognize_important_word_types_crawler(NBFContextualAnalyzerRef analyzer,
                                                        NBFEPExpressionTreeNodeRef node);
// Step 5: the words before the first top-level "=" are locked, so a name being declared is
// never resolved.
void assignment_target_locker(NBFEPExpressionTreeNodeRef node);
// Steps 6 and 9, into groups: runs of up to five words (and numbers glued to them) are looked
// up in the namespace, longest first.
void word_resolver(NBFNamespaceRef ns, NBFEPExpressionTreeNodeRef node, uint32_t lineIndex,
                   bool acceptsWordOperators);
// Steps 7 and 14, into groups: a number or variable followed by another with nothing joining
// them becomes a locked word.
void lonely_number_crawler(NBFEPExpressionTreeNodeRef node);
// Steps 8 and 14, into groups: words glued to numbers (mp3, x-ray) become one word.
void wordy_number_grouper(NBFEPExpressionTreeNodeRef node);
// Steps 10 and 14, into groups: a unit stands before its number (26), after a value (27),
// alone (28), or becomes a word.
void unit_cleanup(NBFEPExpressionTreeNodeRef node);
// Step 11, into groups: a word operator or special operator without the arguments it needs
// becomes a word.
void word_operator_cleanup(NBFEPExpressionTreeNodeRef node);
// Step 12, into groups: a factorial without a value before it becomes a word.
void cleanup_postfix_unary_operators_without_operands(NBFEPExpressionTreeNodeRef node);
// Step 15, into groups: runs of two or more adjacent words become one word.
void word_grouper(NBFEPExpressionTreeNodeRef node);
// Step 16: every node that is not a group becomes one new token (the caller owns them).
NBFExpressionTokenVector expression_tokens_crawler(NBFEPExpressionTreeNodeRef node);

// A value for the analyser: number, variable, function, group, or an operator that completes
// the value before it (postfix).
bool NBFContextualAnalyzerNodeIsNumeric(NBFEPExpressionTreeNodeRef node);

#endif
