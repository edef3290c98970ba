#include "NBFContextualAnalyzer.h"

#include "NBFContextualAnalyzerInternal.h"
#include "NBFErrorLog.h"
#include "NBFExpressionNode.h"
#include "NBFOperatorPrecedence.h"
#include "NBFRagelMatcher.h"
#include "NBFSyntaxTree.h"

namespace NBF::analysis {

void forEachGroup(NBFEPExpressionTreeNodeRef node,
                  const std::function<void(NBFEPExpressionTreeNodeRef)>& visit) {
    if (!node) return;
    std::vector<NBFEPExpressionTreeNodeRef> pending{node};
    while (!pending.empty()) {
        NBFEPExpressionTreeNodeRef group = pending.back();
        pending.pop_back();
        visit(group);
        for (NBFEPExpressionTreeNodeRef child : NBFExpressionTreeNodeGetChildren(group))
            if (isGroup(child)) pending.push_back(child);
    }
}

void makePlainWord(NBFEPExpressionTreeNodeRef node) {
    NBFExpressionTreeNodeSetTokenType(node, kNBFTokenTypeWord);
    NBFExpressionTreeNodeSetTokenSubType(node, kNBFTokenSubTypeNone);
    NBFExpressionTreeNodeSetRepresentedTokenSubType(node, kNBFTokenSubTypeNone);
    // A word names nothing and takes no arguments.
    NBFExpressionTreeNodeSetWordOperator(node, nullptr);
    NBFExpressionTreeNodeSetOperatorOptions(node, NBFOperatorOptionsNone);
}

NBFEPExpressionTreeNodeRef createNodeOver(const NBFEPExpressionTreeNodeVector& parts,
                                          token_type type, NBFTokenSubType subType) {
    NBFEPExpressionTreeNodeRef node = NBFEPExpressionTreeNodeCreate();
    for (NBFEPExpressionTreeNodeRef part : parts) NBFExpressionTreeNodeAddChild(node, part);
    NBFExpressionTreeNodeSetTokenType(node, type);
    NBFExpressionTreeNodeSetTokenSubType(node, subType);
    return node;
}

void replaceChildren(NBFEPExpressionTreeNodeRef group, const NBFEPExpressionTreeNodeVector& kept,
                     const NBFEPExpressionTreeNodeVector& created) {
    NBFExpressionTreeNodeReplaceChildren(group, kept);
    for (NBFEPExpressionTreeNodeRef node : created) NBFEPExpressionTreeNodeRelease(node);
}

}  // namespace NBF::analysis

using namespace NBF::analysis;

namespace {

bool settingIsOn(NBFContextualAnalyzerRef analyzer, const char* name) {
    return analyzer->settings ? analyzer->settings->get(name) : NBFSettingsGetBoolOrDefault(name);
}

// Step 13: operators that bind tighter than their precedence says, and (in the older
// configuration) signs that become unary.
void markHighPriorityOperators(NBFContextualAnalyzerRef analyzer, NBFEPExpressionTreeNodeRef root) {
    if (settingIsOn(analyzer, NBFSettingUsesNewEvaluatorImpl)) {
        static NBFRagelMatcherRef s_matcher = NBFStandardRagelMatchersCreateHighPriorityOperators();
        ragel_matcher_crawl(s_matcher, root);
    } else {
        NBFStandardSyntaxTreesInit();
        syntax_tree_crawl_expression_node(NBFStandardSyntaxTreesGetUnaryOperatorsTreeReference(),
                                          root);
    }
}

}  // namespace

NBFContextualAnalyzerRef NBFContextualAnalyzerCreate() {
    // An analyser is made for every expression parsed; the table is the same for all.
    static const std::map<std::u16string, NBFSpecialWordKind> specialWords = {
        {u";", kNBFSpecialWordStatementSeparator}, {u"%", kNBFSpecialWordPercent},
        {u"!", kNBFSpecialWordFactorial},          {u"__uc", kNBFSpecialWordUnitConversion},
        {u"e", kNBFSpecialWordExponent},           {u"^", kNBFSpecialWordPower},
        {u"__mod", kNBFSpecialWordModulo},
    };
    auto* analyzer = new NBFContextualAnalyzer();
    analyzer->specialWords = &specialWords;
    return analyzer;
}

NBFContextualAnalyzer::~NBFContextualAnalyzer() {
    NBFNamespaceRelease(ns);
    NBFSettingsRelease(settings);
}

NBFContextualAnalyzerRef NBFContextualAnalyzerRetain(NBFContextualAnalyzerRef analyzer) {
    return NBF::retain(analyzer);
}

void NBFContextualAnalyzerRelease(NBFContextualAnalyzerRef analyzer) { NBF::release(analyzer); }

void NBFContextualAnalyzerSetNamespace(NBFContextualAnalyzerRef analyzer, NBFNamespaceRef ns) {
    if (!analyzer || analyzer->ns == ns) return;
    NBFNamespaceRetain(ns);
    NBFNamespaceRelease(analyzer->ns);
    analyzer->ns = ns;
}

void NBFContextualAnalyzerSetSettings(NBFContextualAnalyzerRef analyzer, NBFSettingsRef settings) {
    if (!analyzer || analyzer->settings == settings) return;
    NBF::retain(settings);
    NBFSettingsRelease(analyzer->settings);
    analyzer->settings = settings;
}

NBFEPExpressionTreeRef NBFContextualAnalyzerCreateAnalysisTree(
    const NBFExpressionTokenVector& tokens) {
    NBFEPExpressionTreeRef tree = NBFEPExpressionTreeCreate();
    NBFEPExpressionTreeNodeVector leaves;
    leaves.reserve(tokens.size());
    for (NBFExpressionTokenRef token : tokens) {
        if (!token) continue;
        NBFEPExpressionTreeNodeRef leaf = NBFEPExpressionTreeNodeCreate();
        NBFExpressionTreeNodeSetExpressionToken(leaf, token);
        leaves.push_back(leaf);
    }
    replaceChildren(NBFEPExpressionTreeGetRootNode(tree), leaves, leaves);
    return tree;
}

void NBFContextualAnalyzerRunSteps(NBFContextualAnalyzerRef analyzer,
                                   NBFEPExpressionTreeNodeRef root, uint32_t lineIndex,
                                   NBFAnalysisStep lastStep) {
    if (!analyzer || !root) return;
    // Variables take the scope of this line only when a line may redefine them; an expression
    // outside any line reads the value after all lines.
    uint32_t scopeIndex = settingIsOn(analyzer, NBFSettingAllowsVariableRedefinitions) &&
                                  lineIndex <= static_cast<uint32_t>(INT32_MAX)
                              ? lineIndex
                              : static_cast<uint32_t>(INT32_MAX);
    for (NBFAnalysisStep step = kNBFAnalysisStepNumberRuns;
         step <= lastStep && step < kNBFAnalysisStepFlattening; ++step) {
        switch (step) {
            case kNBFAnalysisStepNumberRuns:
                number_run_grouper(root);
                break;
            case kNBFAnalysisStepBrackets:
                bracket_grouper2(root);
                break;
            case kNBFAnalysisStepSpecialWords:
                pre_pass_5a_recognize_important_word_types_crawler(analyzer, root);
                break;
            case kNBFAnalysisStepAssignmentTarget:
                assignment_target_locker(root);
                break;
            case kNBFAnalysisStepWordResolution:
                word_resolver(analyzer->ns, root, scopeIndex, true);
                break;
            case kNBFAnalysisStepLonelyNumbers:
                lonely_number_crawler(root);
                break;
            case kNBFAnalysisStepWordyNumbers:
                wordy_number_grouper(root);
                break;
            case kNBFAnalysisStepWordResolutionAgain:
                word_resolver(analyzer->ns, root, scopeIndex, false);
                break;
            case kNBFAnalysisStepUnitCleanup:
                unit_cleanup(root);
                break;
            case kNBFAnalysisStepWordOperatorCleanup:
                word_operator_cleanup(root);
                break;
            case kNBFAnalysisStepFactorialCleanup:
                cleanup_postfix_unary_operators_without_operands(root);
                break;
            case kNBFAnalysisStepHighPriorityOperators:
                markHighPriorityOperators(analyzer, root);
                break;
            case kNBFAnalysisStepSecondCleanup:
                unit_cleanup(root);
                lonely_number_crawler(root);
                wordy_number_grouper(root);
                break;
            case kNBFAnalysisStepWordGrouping:
                word_grouper(root);
                break;
            default:
                break;
        }
    }
}

NBFExpressionTokenVector NBFContextualAnalyzerAnalyzeTokenizedExpression(
    NBFContextualAnalyzerRef analyzer, NBFTokenizedExpressionRef tokenizedExpression,
    uint32_t lineIndex) {
    if (!analyzer || !tokenizedExpression) return {};
    NBFEPExpressionTreeRef tree =
        NBFContextualAnalyzerCreateAnalysisTree(tokenizedExpression->tokens());
    NBFEPExpressionTreeNodeRef root = NBFEPExpressionTreeGetRootNode(tree);
    NBFContextualAnalyzerRunSteps(analyzer, root, lineIndex, kNBFAnalysisStepWordGrouping);
    NBFExpressionTokenVector tokens = expression_tokens_crawler(root);
    NBFEPExpressionTreeRelease(tree);
    return tokens;
}

NBFExpressionTokenVector expression_tokens_crawler(NBFEPExpressionTreeNodeRef node) {
    NBFExpressionTokenVector tokens;
    if (!node) return tokens;
    // Depth first with an explicit stack; children are pushed last first.
    std::vector<NBFEPExpressionTreeNodeRef> pending{node};
    while (!pending.empty()) {
        NBFEPExpressionTreeNodeRef current = pending.back();
        pending.pop_back();
        if (isGroup(current)) {
            const NBFEPExpressionTreeNodeVector& children =
                NBFExpressionTreeNodeGetChildren(current);
            pending.insert(pending.end(), children.rbegin(), children.rend());
            continue;
        }
        NBFExpressionTokenRef token = NBFExpressionTokenCreateWithBasicTokenVector(
            NBFExpressionTreeNodeGetBasicTokens(current));
        if (!token) continue;
        token->setType(typeOf(current));
        token->setSubType(NBFExpressionTreeNodeGetRepresentedTokenSubType(current));
        token->setActualSubType(subTypeOf(current));
        token->setUnitFraction(NBFExpressionTreeNodeGetUnitFraction(current));
        token->setUnitContainer(NBFExpressionTreeNodeGetUnitContainer(current));
        token->setAmbiguousUnit(NBFExpressionTreeNodeGetAmbiguousUnit(current));
        token->setFunction(NBFExpressionTreeNodeGetFunction(current));
        token->setWordOperator(NBFExpressionTreeNodeGetWordOperator(current));
        token->setVariable(NBFExpressionTreeNodeGetScopedVariable(current));
        token->setUnitFormatType(NBFExpressionTreeNodeGetUnitFormatType(current));
        tokens.push_back(token);
    }
    return tokens;
}

bool NBFContextualAnalyzerNodeIsNumeric(NBFEPExpressionTreeNodeRef node) {
    switch (typeOf(node)) {
        case kNBFTokenTypeNumber:
        case kNBFTokenTypeVariable:
        case kNBFTokenTypeFunction:
        case kNBFTokenTypeGroup:
            return true;
        case kNBFTokenTypeOperator:
            break;
        default:
            return false;
    }
    NBFTokenSubType subType = subTypeOf(node);
    if (subType == kNBFTokenSubTypeWordOperator)
        return NBFWordOperatorGetArgumentType(NBFExpressionTreeNodeGetWordOperator(node)) ==
               kNBFWordOperatorArgumentTypePostfix;
    if (subType < kNBFTokenSubTypePlus || subType > kNBFTokenSubTypeHighPriorityUnitConversion) {
        NBF_LOG_ERROR("Unexpected operator type %d", subType);
        return false;
    }
    NBFOperatorType operatorType = NBFOperatorTypeForNBFTokenSubType(subType);
    return NBFOperatorGetNotation(operatorType) == NBFOperatorNotationPostfix;
}
