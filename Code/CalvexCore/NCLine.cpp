#include "NCLine.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstdio>
#include <ctime>

#include "NCBuiltins.h"
#include "NCEvaluator.h"
#include "NCExpressionParser.h"
#include "NCExpressionSubstituter.h"
#include "NCExpressionTokenizer.h"
#include "NCLineCollection.h"
#include "NCLineEvaluator.h"
#include "NCLineExpressionParser.h"
#include "NCResultFormatter.h"
#include "NCResultFormattingOptionsContextualizer.h"
#include "NCTokenizedExpression.h"
#include "NCUtilityFunctions.h"

namespace {

std::u16string trimmed(const std::u16string& text) {
    const char16_t* space = u" \t\r\n\u00a0";
    size_t first = text.find_first_not_of(space);
    if (first == std::u16string::npos) return u"";
    size_t last = text.find_last_not_of(space);
    return text.substr(first, last - first + 1);
}

std::u16string substring(const std::u16string& text, NSRange range) {
    if (range.location >= text.size()) return u"";
    return text.substr(range.location,
                       std::min<uint64_t>(range.length, text.size() - range.location));
}

std::shared_ptr<NCSimpleTokenizedExpression> plainTokens(
    const std::shared_ptr<NCExpression>& expression) {
    return NCExpressionTokenizer(expression->locale(),
                                 &NCExpressionSubstituter::defaultSubstituter())
        .tokenizeExpression(expression);
}

std::u16string decimalText(uint64_t value) {
    char buffer[24];
    char* end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::u16string(buffer, end);
}

// Whether any plain token names a line reference function: without one the line has no
// reference, and the analysis that finds them can be skipped.
bool mayHoldLineReferences(const NCSimpleTokenizedExpression& tokens) {
    NBFTokenizedExpressionRef tokenized = tokens.nbfTokenizedExpression();
    if (!tokenized) return false;
    // A token's text is made on first request: tokens too short for any name are passed over
    // by their range alone.
    static const size_t shortest =
        std::min({NCExpression::relativeLineReferenceFunctionName().size(),
                  NCExpression::absoluteLineReferenceFunctionName().size(),
                  NCExpression::absoluteLineReferenceByLineNumberFunctionName().size(),
                  NCExpression::fixedRelativeLineReferenceFunctionName().size(),
                  NCExpression::nullLineReferenceFunctionName().size()});
    for (NBFExpressionTokenRef token : tokenized->tokens()) {
        const NBFRange range = NBFExpressionTokenGetRange(token);
        if (range.length >= 0 && static_cast<size_t>(range.length) < shortest) continue;
        const std::u16string* text =
            NCNSStringFromNBFStringReference(NBFExpressionTokenGetStringReference(token));
        if (text &&
            NCExpression::lineReferenceTypeForFunctionName(*text) != NCLineReferenceTypeNone)
            return true;
    }
    return false;
}

// Seconds since the epoch when the first identifier was made, so that identifiers of
// different runs differ.
uint64_t processStartTime() {
    static const uint64_t start = static_cast<uint64_t>(std::time(nullptr));
    return start;
}

// Never wraps within a process.
std::atomic<uint64_t> s_identifierCounter{0};

}  // namespace

bool NCIsLineBreakCharacter(char16_t character) {
    return character == u'\n' || character == u'\r' || character == u'\v' || character == u'\f' ||
           character == 0x85 || character == 0x2028 || character == 0x2029;
}

void NCReplaceLineBreaksWithSpaces(std::u16string& text) {
    std::replace_if(text.begin(), text.end(), NCIsLineBreakCharacter, u' ');
}

NCLine::NCLine(std::shared_ptr<NCExpression> expression,
               std::shared_ptr<NCLineExpression> lineExpression)
    : m_customFormattingOptions(std::make_shared<NCResultFormattingOptions>()),
      m_expressionFormattingOptions(std::make_shared<NCExpressionFormattingOptions>()),
      m_expression(std::move(expression)),
      m_lineExpression(std::move(lineExpression)) {
    if (m_expression) m_expression->setLine(this);
}

NCLine::NCLine(std::shared_ptr<NCExpression> expression)
    : NCLine(expression, classify(expression)) {}

NCLine::~NCLine() {
    if (m_expression && m_expression->line() == this) m_expression->setLine(nullptr);
}

std::shared_ptr<NCLine> NCLine::lineWithExpressionString(
    const std::optional<std::u16string>& string) {
    return std::make_shared<NCLine>(string ? NCExpression::expressionWithString(*string) : nullptr);
}

std::shared_ptr<NCLine> NCLine::lineWithPlainText(const std::u16string& string) {
    auto expression = NCExpression::expressionWithString(string);
    auto lineExpression = std::make_shared<NCPlainTextLineExpression>(
        expression, NCLineEvaluator::isOverlongText(string) ? nullptr : plainTokens(expression));
    return std::make_shared<NCLine>(expression, lineExpression);
}

// Text

std::optional<std::u16string> NCLine::expressionString() const {
    return m_expression ? m_expression->originalString() : std::nullopt;
}

std::u16string_view NCLine::expressionText() const {
    if (!m_expression || !m_expression->originalString()) return {};
    return *m_expression->originalString();
}

std::optional<std::u16string> NCLine::delocalizedExpressionString() const {
    return m_expression ? m_expression->delocalizedString() : std::nullopt;
}

void NCLine::setExpressionString(const std::optional<std::u16string>& string) {
    _setExpression(NCExpression::expressionWithString(string));
}

void NCLine::_setExpression(std::shared_ptr<NCExpression> expression) {
    if (expression == m_expression) return;
    if (m_expression && m_expression->line() == this) m_expression->setLine(nullptr);
    m_expression.reset();
    invalidateResult();
    m_directLineReferences.reset();
    m_expression = std::move(expression);
    if (m_expression) {
        m_expression->setLine(this);
        m_expression->setLocaleWithDecimalPoint(
            m_customFormattingOptions->decimalPlaceCharacter,
            m_customFormattingOptions->thousandsSeparatorCharacter);
    }
    expressionDidChange();
    if (NCLineCollection* collection = owningCollection())
        collection->registerExpressionChangeForLineAtIndex(m_index);
}

void NCLine::expressionDidChange() {
    m_directLineReferences.reset();
    m_mayHoldLineReferences.reset();
    m_lineExpression = lineTypeForExpression(m_expression);
}

void NCLine::setLocale(NCSimpleLocale locale) {
    if (m_customFormattingOptions->decimalPlaceCharacter == locale.decimalPointChar &&
        m_customFormattingOptions->thousandsSeparatorCharacter == locale.groupingChar)
        return;
    m_customFormattingOptions->decimalPlaceCharacter = locale.decimalPointChar;
    m_customFormattingOptions->thousandsSeparatorCharacter = locale.groupingChar;
    if (m_expression)
        m_expression->setLocaleWithDecimalPoint(locale.decimalPointChar, locale.groupingChar);
    expressionDidChange();
    invalidateResult();
}

void NCLine::convertToLocale(NCSimpleLocale locale) {
    if (m_customFormattingOptions->decimalPlaceCharacter == locale.decimalPointChar &&
        m_customFormattingOptions->thousandsSeparatorCharacter == locale.groupingChar)
        return;
    if (m_expression)
        m_expression->convertToLocaleWithDecimalPoint(locale.decimalPointChar, locale.groupingChar);
    setLocale(locale);
}

// Classification

std::shared_ptr<NCLineExpression> NCLine::lineTypeForExpression(
    const std::shared_ptr<NCExpression>& expression) const {
    return classify(expression);
}

std::shared_ptr<NCLineExpression> NCLine::classify(
    const std::shared_ptr<NCExpression>& expression) {
    // A text too long to evaluate is not even tokenised: it is shown as it stands.
    if (!expression || !expression->originalString() ||
        NCLineEvaluator::isOverlongText(expression->originalString()))
        return std::make_shared<NCPlainTextLineExpression>(expression, nullptr);
    std::shared_ptr<NCSimpleTokenizedExpression> tokens = plainTokens(expression);
    NCVarDecl declaration;
    const NCExpressionType type =
        NCExpressionParser::expressionTypeOfTokenizedExpression(*tokens, &declaration);
    if (type == NCExpressionTypeVariableDeclaration) {
        const std::u16string& text = *expression->originalString();
        std::optional<std::u16string> name;
        if (declaration.nameRange.length) name = trimmed(substring(text, declaration.nameRange));
        std::shared_ptr<NCExpression> value;
        if (declaration.valueRange.length)
            value =
                NCExpression::create(substring(text, declaration.valueRange), expression->locale());
        return std::make_shared<NCVarDeclLineExpression>(
            expression, tokens,
            std::make_shared<NCLineVariableDeclaration>(declaration.equalsTokenIndex,
                                                        declaration.nameRange, name, value));
    }
    if (type == NCExpressionTypeBadVariableDeclaration)
        return std::make_shared<NCPlainTextLineExpression>(expression, tokens);
    return std::make_shared<NCNormalLineExpression>(expression, tokens);
}

NCLineType NCLine::lineType() const {
    if (!m_lineExpression) return NCLineExpressionTypePlainText;
    const NCLineExpressionType type = m_lineExpression->expressionType();
    return type >= NCLineExpressionTypeNormal && type <= NCLineExpressionTypePlainText ? type : 0;
}

uint64_t NCLine::variableScopeIndex() const {
    return m_index > 0 && lineType() == NCLineExpressionTypeVariableDeclaration ? m_index - 1
                                                                                : m_index;
}

std::shared_ptr<NCLineVariableDeclaration> NCLine::variableDeclaration() const {
    return m_lineExpression ? m_lineExpression->variableDeclaration() : nullptr;
}

std::shared_ptr<NCSimpleTokenizedExpression> NCLine::simpleTokenizedExpression() const {
    return m_lineExpression ? m_lineExpression->tokenizedExpression() : nullptr;
}

std::shared_ptr<NCSimpleTokenizedExpression> NCLine::tokenizedEvaluableExpression() const {
    return m_lineExpression ? m_lineExpression->tokenizedEvaluableExpression() : nullptr;
}

std::shared_ptr<NCParsedExpression> NCLine::parsedExpression() const {
    return m_lineExpression ? m_lineExpression->parsedExpression() : nullptr;
}

std::shared_ptr<NCParsedExpression> NCLine::evaluableParsedExpression() const {
    return m_lineExpression ? m_lineExpression->evaluableParsedExpression() : nullptr;
}

std::shared_ptr<NCExpression> NCLine::evaluableExpression() const {
    return m_lineExpression ? m_lineExpression->evaluableExpression() : nullptr;
}

std::shared_ptr<NCTokenizedExpression> NCLine::tokenizedExpression() const {
    if (!m_expression) return nullptr;
    std::shared_ptr<NCTokenizedExpression> tokenized = m_expression->tokenizedExpression();
    // In a document the line's words are read in the document's namespace, asked anew each
    // time: a changed variable list makes the tokens stale.
    if (tokenized && owningCollection()) {
        if (std::shared_ptr<NCEnvironment> environment =
                NCLineEvaluator::environmentForLine(*this)) {
            std::shared_ptr<NCEvaluator> shared = NCEvaluator::sharedEvaluator();
            tokenized->setVariableList(environment->variables());
            tokenized->setUnitManager(environment->unitManager() ? environment->unitManager()
                                      : shared                   ? shared->unitManager()
                                                                 : nullptr);
            tokenized->setWordOperators(environment->wordOperators() ? environment->wordOperators()
                                        : shared                     ? shared->wordOperators()
                                                                     : nullptr);
            tokenized->setFunctions(environment->functions());
        }
    }
    return tokenized;
}

bool NCLine::isParsed() const { return m_lineExpression && m_lineExpression->parsedExpression(); }

void NCLine::unparse() {
    if (m_lineExpression) m_lineExpression->reset();
}

// Results

std::shared_ptr<NCResult> NCLine::result() {
    if (m_result) return m_result;
    if (m_expression && !m_evaluated) {
        evaluate();
        return m_result;
    }
    return nullptr;
}

void NCLine::evaluate() {
    if (NCLineCollection* collection = owningCollection())
        collection->enqueEvaluationOfLine(*this);
    else
        _evaluate();
}

void NCLine::_evaluate() { NCLineEvaluator::evaluateLine(*this); }

void NCLine::setResult(std::shared_ptr<NCResult> result) {
    m_evaluated = true;
    if (result == m_result) return;
    m_result = std::move(result);
    if (ownsResult()) m_result->setResultFormattingOptions(m_customFormattingOptions);
}

bool NCLine::ownsResult() const {
    // The empty answer is one object shared by every line: it takes no line's options.
    return m_result && m_result != NCResult::emptyResult();
}

bool NCLine::hasResultValue() {
    std::shared_ptr<NCResult> answer = result();
    return answer && answer->resultType() == NCResultTypeValue;
}

void NCLine::invalidateResult() {
    m_result.reset();
    m_evaluated = false;
}

std::shared_ptr<NCResult> NCLine::_resultAlongPath(NCIndexPath* path, int64_t* error) {
    if (m_result) {
        // An answer that came of a cycle carries the cycle on.
        if (error && (m_evaluationError == NCLineReferenceCycleError ||
                      m_evaluationError == NCLineReferenceTooDeepError))
            *error = m_evaluationError;
        return m_result;
    }
    if (!path || !m_expression) return m_result;
    const int64_t index = static_cast<int64_t>(m_index);
    if (path->containsIndex(index)) {
        if (error) *error = NCLineReferenceCycleError;
        return nullptr;
    }
    // Deeper chains are the collection's to evaluate in dependency order; evaluating them here
    // would nest without bound.
    if (path->count() >= NCLineEvaluator::maximumEvaluationDepth()) {
        if (error) *error = NCLineReferenceTooDeepError;
        return nullptr;
    }
    int64_t nestedError = 0;
    NCLineEvaluator::evaluateLine(*this, path, &nestedError);
    if (error && nestedError) *error = nestedError;
    return m_result;
}

void NCLine::clearCaches() {
    invalidateResult();
    setExpressionString(m_expression ? m_expression->originalString() : std::nullopt);
}

// Formatting

std::shared_ptr<NCResultFormattingOptions> NCLine::formattingOptions() {
    return m_automaticContextualFormattingEnabled ? contextualizedFormattingOptions()
                                                  : m_customFormattingOptions;
}

std::shared_ptr<NCResultFormattingOptions> NCLine::contextualizedFormattingOptions() {
    NCResultFormattingOptionsContextualizer contextualizer;
    contextualizer.setEnableAutoPrecision(m_automaticallyAdjustsOutputPrecision);
    return contextualizer.contextualizedOptions(m_customFormattingOptions, result().get());
}

std::optional<std::u16string> NCLine::formattedResult() {
    std::shared_ptr<NCResult> answer = result();
    if (!answer || answer->resultType() != NCResultTypeValue) return std::nullopt;
    return NCResultFormatter::sharedInstance().stringValueForResult(answer.get(),
                                                                    formattingOptions().get());
}

void NCLine::setCustomFormattingOptions(std::shared_ptr<NCResultFormattingOptions> options) {
    if (!options) return;
    m_customFormattingOptions = std::move(options);
    if (ownsResult()) m_result->setResultFormattingOptions(m_customFormattingOptions);
}

// References

std::shared_ptr<NCParsedExpression> NCLine::parsedExpressionForReferences() {
    if (!isParsed() && m_lineExpression)
        NCLineExpressionParser(NCLineEvaluator::environmentForLine(*this))
            .parseLineExpression(*m_lineExpression);
    return parsedExpression();
}

std::optional<NCIndexSet> NCLine::lineReferenceIndexes(NCLineReferenceType mask) {
    // Asked several times per change pass; the plain tokens only change with the text.
    if (!m_mayHoldLineReferences) {
        std::shared_ptr<NCSimpleTokenizedExpression> plain = simpleTokenizedExpression();
        m_mayHoldLineReferences = !plain || mayHoldLineReferences(*plain);
    }
    if (!*m_mayHoldLineReferences) return std::nullopt;
    std::shared_ptr<NCParsedExpression> parsed = parsedExpressionForReferences();
    if (!parsed) return std::nullopt;
    std::optional<std::vector<int64_t>> indexes;
    NCExpressionParser::findLineReferencesInLine(*this, mask, &indexes, nullptr, false);
    if (!indexes) return std::nullopt;
    return NCIndexSet::indexSetWithIndexes(*indexes);
}

std::optional<NCIndexSet> NCLine::directAbsoluteLineReferenceIndexes() {
    return lineReferenceIndexes(NCLineReferenceTypeAbsolute | NCLineReferenceTypeByLineNumber);
}

std::optional<NCIndexSet> NCLine::directRelativeLineReferenceIndexes() {
    return lineReferenceIndexes(NCLineReferenceTypeRelative | NCLineReferenceTypeFixedRelative);
}

std::optional<NCIndexSet> NCLine::directLineReferenceIndexes() {
    if (m_directLineReferences) return m_directLineReferences;
    std::optional<NCIndexSet> relative = directRelativeLineReferenceIndexes();
    if (!relative) return std::nullopt;
    NCIndexSet all;
    for (const auto& offset : *relative) all.addIndex(offset->integerValue());
    all.addOffset(static_cast<int64_t>(m_index));
    if (std::optional<NCIndexSet> absolute = directAbsoluteLineReferenceIndexes())
        all.addIndexesFromIndexSet(*absolute);
    m_directLineReferences = all;
    return m_directLineReferences;
}

// Position and mode

void NCLine::setIndex(uint64_t index) {
    m_index = index;
    m_directLineReferences.reset();
}

NCLineCollection* NCLine::owningCollection() const {
    if (!m_lineCollection) return nullptr;
    std::shared_ptr<NCLine> held = m_lineCollection->lineAtIndex(m_index);
    return held.get() == this ? m_lineCollection : nullptr;
}

NCTrigonometryMode NCLine::trigonometryMode() const {
    if (m_trigonometryMode != 0) return m_trigonometryMode;
    return m_lineCollection ? m_lineCollection->trigonometryMode() : 0;
}

void NCLine::setTrigonometryMode(NCTrigonometryMode mode) {
    if (mode == m_trigonometryMode) return;
    m_trigonometryMode = mode;
    invalidateResult();
}

// Identity

const std::u16string& NCLine::uniqueIdentifier() {
    if (!uniqueID) {
        const uint64_t start = processStartTime();
        const uint64_t number = s_identifierCounter.fetch_add(1, std::memory_order_relaxed);
        uniqueID = decimalText(start) + u"." + decimalText(number);
    }
    return *uniqueID;
}

size_t NCLine::hash() const { return m_expression ? m_expression->hash() : 0; }

bool NCLine::isEqual(const NCLine* other) const {
    if (!other) return false;
    if (other == this) return true;
    if (!m_expression || !other->m_expression) return m_expression == other->m_expression;
    return m_expression->isEqual(other->m_expression.get());
}

std::u16string NCLine::description() const {
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<const void*>(this));
    return u"<NCLine: " + NBFUTF8ToUTF16(address) + u", expression: " +
           (m_expression ? m_expression->description() : u"(null)") + u", result: " +
           (m_result ? m_result->description() : u"(null)") + u">";
}
