#include "NCTokenizedExpression.h"

#include <charconv>

#include "NBFContextualAnalyzer.h"
#include "NBFEvaluator.h"
#include "NBFExpressionTokenizer.h"
#include "NBFNamespace.h"
#include "NBFStandardFunctions.h"
#include "NBFWordOperatorList.h"
#include "NCExpression.h"
#include "NCUtilityFunctions.h"

namespace {

// Variables as they stand after every line: the expression's own line is not known here.
constexpr uint32_t kScopeAfterAllLines = 2147483647;

NSRange rangeOf(NBFExpressionTokenRef token) {
    NBFRange range = NBFExpressionTokenGetRange(token);
    return {static_cast<uint64_t>(std::max(range.location, 0)),
            static_cast<uint64_t>(std::max(range.length, 0))};
}

NSRange rangeOf(NBFBasicTokenRef token) {
    NBFRange range = NBFBasicTokenGetRange(token);
    return {static_cast<uint64_t>(std::max(range.location, 0)),
            static_cast<uint64_t>(std::max(range.length, 0))};
}

uint64_t shifted(uint64_t location, int64_t offset) {
    int64_t moved = static_cast<int64_t>(location) + offset;
    return static_cast<uint64_t>(std::max<int64_t>(moved, 0));
}

bool isBracket(NBFExpressionTokenRef token, NBFTokenSubType side) {
    return NBFExpressionTokenGetType(token) == kNBFTokenTypeBracket &&
           NBFExpressionTokenGetSubType(token) == side;
}

std::u16string textOf(NBFExpressionTokenRef token) {
    NBFStringRef text = NBFExpressionTokenGetStringReference(token);
    return text ? text->units() : std::u16string();
}

// The reserved names written in brackets; the by-line-number form only comes from the
// substituter's word references.
bool isFunctionalLineReferenceName(const std::u16string& name) {
    NCLineReferenceType kind = NCExpression::lineReferenceTypeForFunctionName(name);
    return kind != NCLineReferenceTypeNone && kind != NCLineReferenceTypeByLineNumber;
}

// How much longer the evaluation text is than the stored text in the substitutions lying
// wholly inside the range, past its start (one starting at it makes a token of its own).
int64_t substitutedGrowthInside(const NCExpressionMappings& mappings, NSRange evaluation) {
    int64_t growth = 0;
    mappings.enumerateMappings([&](NSRange stored, NSRange substituted) {
        if (substituted.location > evaluation.location &&
            NSMaxRange(substituted) <= NSMaxRange(evaluation))
            growth +=
                static_cast<int64_t>(substituted.length) - static_cast<int64_t>(stored.length);
    });
    return growth;
}

// Foundation tokens merged into one expression token.
struct Group {
    size_t first = 0;
    size_t count = 0;
    NSRange evaluation, stored, display;
    size_t argumentsFirst = 0;
    size_t argumentsCount = 0;
    bool isLineReference = false;
};

// The number of a line reference: its argument evaluated, so "-2" keeps its sign.
int64_t evaluatedArgument(const NBFExpressionTokenVector& tokens, const Group& group) {
    NBFExpressionTokenVector arguments(
        tokens.begin() + static_cast<std::ptrdiff_t>(group.argumentsFirst),
        tokens.begin() + static_cast<std::ptrdiff_t>(group.argumentsFirst + group.argumentsCount));
    NBFEvaluatorRef evaluator = NBFEvaluatorCreate();
    NBFResultRef result = NBFEvaluatorEvaluateExpressionTokensInScope(evaluator, arguments, -1);
    int64_t number = 0;
    if (NBFStringRef text = NBFResultGetStringReference(result)) {
        std::string digits = NBFStringGetCppString(text);
        std::from_chars(digits.data(), digits.data() + digits.size(), number);
    }
    NBFResultRelease(result);
    NBFEvaluatorFree(evaluator);
    return number;
}

std::shared_ptr<NCExpressionToken> emitGroup(const NBFExpressionTokenVector& tokens,
                                             const Group& group) {
    const NBFExpressionTokenRef* first = tokens.data() + group.first;
    NCExpressionTokenType type = 0;
    NCExpressionTokenSubType subType = 0;
    if (group.count >= 6 && NBFExpressionTokenGetType(first[0]) == kNBFTokenTypeBracket &&
        NCExpressionToken::isNameToken(first[1])) {
        NCLineReferenceType kind = NCExpression::lineReferenceTypeForFunctionName(textOf(first[1]));
        if (kind == NCLineReferenceTypeByLineNumber) {
            type = NCExpressionTokenTypeLineReference;
            subType = NCExpressionTokenSubTypeLineReferenceByLineNumber;
        } else if (kind != NCLineReferenceTypeNone) {
            type = NCExpressionTokenTypeLineReference;
            subType = NCExpressionTokenSubTypeLineReference;
        }
    }
    if (type == 0 && group.count >= 2) {
        // A substituted operator wrapped in whitespace or markers shows as what it wraps.
        token_type firstType = NBFExpressionTokenGetType(first[0]);
        token_type secondType = NBFExpressionTokenGetType(first[1]);
        bool leadingSpace =
            firstType == kNBFTokenTypeWhitespace && secondType != kNBFTokenTypeWhitespace;
        bool leadingMarker = firstType == kNBFTokenTypeMarker &&
                             NBFExpressionTokenGetSubType(first[0]) == kNBFTokenSubTypeMarker22 &&
                             secondType != kNBFTokenTypeMarker;
        if (leadingSpace || leadingMarker) {
            type = NCExpressionTokenTypeFromNBFTokenType(secondType);
            subType =
                NCExpressionTokenSubTypeFromNBFTokenSubType(NBFExpressionTokenGetSubType(first[1]));
        }
    }
    if (type == 0 && group.count == 1 &&
        NBFExpressionTokenGetType(first[0]) == kNBFTokenTypeVariable) {
        type = NCExpressionTokenTypeVariable;
        subType = NCExpressionTokenSubTypeVariable;
    }
    auto token = NCExpressionToken::withNBFTokens(first, group.count, group.stored, group.display,
                                                  type, subType);
    if (token->type() == NCExpressionTokenTypeLineReference &&
        token->subType() == NCExpressionTokenSubTypeLineReference && group.isLineReference)
        token->_setLineReferenceNumber(evaluatedArgument(tokens, group));
    return token;
}

}  // namespace

NCTokenizedExpression::NCTokenizedExpression(std::weak_ptr<NCExpression> expression)
    : m_expression(std::move(expression)) {}

NCTokenizedExpression::~NCTokenizedExpression() { releaseFoundationTokens(); }

void NCTokenizedExpression::releaseFoundationTokens() {
    for (NBFExpressionTokenRef token : m_expressionTokens) NBFExpressionTokenRelease(token);
    m_expressionTokens.clear();
}

const std::vector<std::shared_ptr<NCExpressionToken>>& NCTokenizedExpression::tokens() {
    if (!isTokenized()) tokenize();
    if (m_convertsOnRequest) {
        m_convertsOnRequest = false;
        std::vector<std::shared_ptr<NCExpressionToken>> buffer;
        buffer.reserve(m_expressionTokens.size());
        parseNBFExpressionTokens(m_expressionTokens, buffer);
        m_tokenArray = std::move(buffer);
    }
    return m_tokenArray;
}

const NBFExpressionTokenVector& NCTokenizedExpression::nbfExpressionTokens() {
    if (!isTokenized()) tokenize();
    return m_expressionTokens;
}

bool NCTokenizedExpression::isTokenized() const {
    uint64_t state = m_variableList ? m_variableList->stateIndicator() : 0;
    return m_hasTokens && state == variableListStateIndicator;
}

void NCTokenizedExpression::setNeedsTokenizing() {
    m_tokenArray.clear();
    releaseFoundationTokens();
    m_hasTokens = false;
    m_convertsOnRequest = false;
}

void NCTokenizedExpression::setVariableList(std::shared_ptr<NCVariableList> variableList) {
    if (variableList == m_variableList) return;
    m_variableList = std::move(variableList);
    variableListStateIndicator = 0;
    setNeedsTokenizing();
}

void NCTokenizedExpression::tokenize() {
    setNeedsTokenizing();
    std::shared_ptr<NCExpression> expression = m_expression.lock();
    if (!expression || expression->isEmpty()) return;

    NBFNamespaceRef ns = NBFNamespaceCreate();
    NBFWordOperatorListRef standardWords = NBFStandardWordOperatorsGetSharedListReference();
    if (NBFWordOperatorListRef words =
            m_wordOperators ? m_wordOperators->nbfWordOperatorList() : nullptr) {
        NBFWordOperatorListSetAuxiliaryListReference(words, standardWords);
        NBFNamespaceSetWordOperatorList(ns, words);
    } else {
        NBFNamespaceSetWordOperatorList(ns, standardWords);
    }
    NBFNamespaceSetFunctionList(ns, m_functions ? m_functions->nbfFunctionList()
                                                : NBFStandardFunctionsGetSharedListReference());
    NBFNamespaceSetUnitCollection(ns, m_unitManager ? m_unitManager->nbfUnitCollection() : nullptr);
    NBFNamespaceSetVariableList(ns, m_variableList ? m_variableList->nbfVariableList() : nullptr);

    NBFTokenizedExpressionRef tokenized = nullptr;
    NBFExpressionTokenizerRef tokenizer = nullptr;
    if (m_scannedTokens && m_scannedTokens->nbfTokenizedExpression() && m_enableCommentParsing) {
        tokenized = NBFTokenizedExpressionRetain(m_scannedTokens->nbfTokenizedExpression());
    } else {
        tokenizer =
            NBFExpressionTokenizerCreate(NCNBFLocaleFromNCSimpleLocale(expression->locale()));
        NBFExpressionTokenizerSetEnableComments(tokenizer, m_enableCommentParsing);
        tokenized = NBFExpressionTokenizerTokenize(tokenizer, expression->nbfExpression());
    }
    NBFContextualAnalyzerRef analyzer = NBFContextualAnalyzerCreate();
    NBFContextualAnalyzerSetNamespace(analyzer, ns);
    // The analyser's references become ours.
    m_expressionTokens =
        NBFContextualAnalyzerAnalyzeTokenizedExpression(analyzer, tokenized, kScopeAfterAllLines);
    NBFTokenizedExpressionRelease(tokenized);
    NBFContextualAnalyzerRelease(analyzer);
    NBFExpressionTokenizerRelease(tokenizer);
    NBFNamespaceRelease(ns);

    std::vector<std::shared_ptr<NCExpressionToken>> buffer;
    buffer.reserve(m_expressionTokens.size());
    parseNBFExpressionTokens(m_expressionTokens, buffer);
    m_tokenArray = std::move(buffer);
    m_hasTokens = true;
    variableListStateIndicator = m_variableList ? m_variableList->stateIndicator() : 0;
}

bool NCTokenizedExpression::analysesIn(NBFFunctionListRef functions, NBFVariableListRef variables,
                                       NBFWordOperatorListRef words,
                                       NBFUnitCollectionRef units) const {
    // The evaluation scans with comments on, as tokenize does.
    if (!m_enableCommentParsing) return false;
    NBFWordOperatorListRef ownWords = m_wordOperators
                                          ? m_wordOperators->nbfWordOperatorList()
                                          : NBFStandardWordOperatorsGetSharedListReference();
    NBFFunctionListRef ownFunctions =
        m_functions ? m_functions->nbfFunctionList() : NBFStandardFunctionsGetSharedListReference();
    return ownWords == words && ownFunctions == functions &&
           (m_unitManager ? m_unitManager->nbfUnitCollection() : nullptr) == units &&
           (m_variableList ? m_variableList->nbfVariableList() : nullptr) == variables;
}

const NBFExpressionTokenVector* NCTokenizedExpression::analysisWithoutVariables(
    NBFFunctionListRef functions, NBFVariableListRef variables, NBFWordOperatorListRef words,
    NBFUnitCollectionRef units) const {
    if (!isTokenized() || !analysesIn(functions, variables, words, units) ||
        holdsVariable(m_expressionTokens))
        return nullptr;
    return &m_expressionTokens;
}

bool NCTokenizedExpression::holdsVariable(const NBFExpressionTokenVector& analysed) {
    for (NBFExpressionTokenRef token : analysed)
        if (NBFExpressionTokenGetType(token) == kNBFTokenTypeVariable) return true;
    return false;
}

bool NCTokenizedExpression::adoptAnalysis(const NBFExpressionTokenVector& analysed,
                                          NBFFunctionListRef functions,
                                          NBFVariableListRef variables,
                                          NBFWordOperatorListRef words,
                                          NBFUnitCollectionRef units) {
    // A variable is resolved for the evaluated line's scope; these tokens see every line.
    // Words name the same things at any line: nothing else of the analysis depends on it.
    if (isTokenized() || !analysesIn(functions, variables, words, units) || holdsVariable(analysed))
        return false;
    std::shared_ptr<NCExpression> expression = m_expression.lock();
    if (!expression || expression->isEmpty()) return false;
    setNeedsTokenizing();
    m_expressionTokens.reserve(analysed.size());
    for (NBFExpressionTokenRef token : analysed)
        m_expressionTokens.push_back(NBFExpressionTokenRetain(token));
    // Most evaluated lines are never shown token by token: converted when first asked for.
    m_convertsOnRequest = true;
    m_hasTokens = true;
    variableListStateIndicator = m_variableList ? m_variableList->stateIndicator() : 0;
    return true;
}

size_t NCTokenizedExpression::parseNBFExpressionTokens(
    const NBFExpressionTokenVector& nbfTokens,
    std::vector<std::shared_ptr<NCExpressionToken>>& buffer) {
    std::shared_ptr<NCExpression> expression = m_expression.lock();
    const NCExpressionMappings* mappings = expression ? expression->expressionMappings() : nullptr;
    size_t written = 0;
    auto append = [&](std::shared_ptr<NCExpressionToken> token) {
        token->_setExpression(m_expression);
        buffer.push_back(std::move(token));
        ++written;
    };

    int64_t lowOffset = 0;   // stored minus evaluation length of the groups emitted so far
    int64_t highOffset = 0;  // display minus stored length of the same
    std::optional<Group> group;
    auto emit = [&]() {
        append(emitGroup(nbfTokens, *group));
        lowOffset += static_cast<int64_t>(group->stored.length) -
                     static_cast<int64_t>(group->evaluation.length);
        highOffset += static_cast<int64_t>(group->display.length) -
                      static_cast<int64_t>(group->stored.length);
        group.reset();
    };

    for (size_t i = 0; i < nbfTokens.size(); ++i) {
        NBFExpressionTokenRef token = nbfTokens[i];
        NSRange evaluation = rangeOf(token);
        if (group) {
            if (NSIntersectionRange(evaluation, group->evaluation).length > 0) {
                ++group->count;
                continue;
            }
            emit();
        }

        NSRange mappedStored, mappedEvaluation;
        const NBFBasicTokenVector& basicTokens = NBFExpressionTokenGetBasicTokens(token);
        if (NBFExpressionTokenGetType(token) == kNBFTokenTypeComment && !basicTokens.empty()) {
            // A comment covers its stored text, substituted stretches inside it included.
            Group comment;
            comment.first = i;
            comment.count = 1;
            uint64_t start = rangeOf(basicTokens.front()).location;
            uint64_t evaluationLength = 0, storedLength = 0;
            for (NBFBasicTokenRef basic : basicTokens) {
                NSRange range = rangeOf(basic);
                if (mappings && mappings->findNCRangeMapping(&mappedStored, &mappedEvaluation,
                                                             range.location)) {
                    storedLength += mappedStored.length;
                    evaluationLength += mappedEvaluation.length;
                } else if (range.location >= start + evaluationLength) {
                    storedLength += range.length;
                    evaluationLength += range.length;
                }
            }
            comment.evaluation = {start, evaluationLength};
            comment.stored = {shifted(start, lowOffset), storedLength};
            comment.display = {shifted(comment.stored.location, highOffset), storedLength};
            group = comment;
            continue;
        }
        if (mappings &&
            mappings->findNCRangeMapping(&mappedStored, &mappedEvaluation, evaluation.location)) {
            Group substituted;
            substituted.first = i;
            substituted.count = 1;
            substituted.evaluation = mappedEvaluation;
            substituted.stored = mappedStored;
            substituted.display = {shifted(mappedStored.location, highOffset), mappedStored.length};
            group = substituted;
            continue;
        }
        if (isBracket(token, kNBFTokenSubTypeLeftBracket) && i + 1 < nbfTokens.size()) {
            // "(" name "(" arguments ")" ")"
            size_t j = i + 1;
            if (isFunctionalLineReferenceName(textOf(nbfTokens[j])) && ++j < nbfTokens.size() &&
                isBracket(nbfTokens[j], kNBFTokenSubTypeLeftBracket)) {
                size_t argumentsFirst = ++j;
                while (j < nbfTokens.size() &&
                       !isBracket(nbfTokens[j], kNBFTokenSubTypeRightBracket))
                    ++j;
                if (j + 1 < nbfTokens.size() &&
                    isBracket(nbfTokens[j + 1], kNBFTokenSubTypeRightBracket)) {
                    Group reference;
                    reference.first = i;
                    reference.count = 1;
                    reference.isLineReference = true;
                    reference.argumentsFirst = argumentsFirst;
                    reference.argumentsCount = j - argumentsFirst;
                    uint64_t end = NSMaxRange(rangeOf(nbfTokens[j + 1]));
                    reference.evaluation = {evaluation.location, end - evaluation.location};
                    reference.stored = {shifted(evaluation.location, lowOffset),
                                        reference.evaluation.length};
                    reference.display = {shifted(reference.stored.location, highOffset), 1};
                    group = reference;
                    continue;
                }
            }
        }
        // A word or unit may swallow substituted text ("of³", "m²"): the stored text is shorter
        // or longer there, and so is the token, and every later one moves by the difference.
        const int64_t inside = mappings ? substitutedGrowthInside(*mappings, evaluation) : 0;
        const uint64_t storedLength = static_cast<uint64_t>(
            std::max<int64_t>(static_cast<int64_t>(evaluation.length) - inside, 0));
        NSRange stored = {shifted(evaluation.location, lowOffset), storedLength};
        NSRange display = {shifted(stored.location, highOffset), storedLength};
        lowOffset -= inside;
        if (NBFExpressionTokenGetType(token) == kNBFTokenTypeVariable)
            append(NCExpressionToken::withNBFTokens(&token, 1, stored, display,
                                                    NCExpressionTokenTypeVariable,
                                                    NCExpressionTokenSubTypeVariable));
        else
            append(NCExpressionToken::withNBFToken(token, stored, display));
    }
    if (group) emit();
    return written;
}
