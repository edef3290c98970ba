#include "NCLineCollectionStatistics.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace {

std::u16string decimalText(uint64_t value) {
    char buffer[24];
    char* end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::u16string(buffer, end);
}

std::shared_ptr<NCEvaluator> evaluatorFor(const std::shared_ptr<NCEnvironment>& environment) {
    if (!environment) return std::make_shared<NCEvaluator>();
    return std::make_shared<NCEvaluator>(environment->unitManager(), environment->variables(),
                                         environment->wordOperators());
}

std::shared_ptr<NCResult> answerAt(NCLineCollection* lines, uint64_t index) {
    if (!lines || index >= lines->countOfLines()) return nullptr;
    std::shared_ptr<NCLine> line = lines->lineAtIndex(index);
    return line ? line->result() : nullptr;
}

// The parser refuses a chain of more than a thousand operators (a tree that tall is taken for a
// hostile line), so a longer sum is added up in runs, each starting from the total so far: left
// to right, as the one long chain would be.
constexpr size_t kTermsPerRun = 500;

std::u16string joinedTerms(std::vector<std::u16string>::const_iterator begin,
                           std::vector<std::u16string>::const_iterator end) {
    std::u16string text;
    for (auto term = begin; term != end; ++term) {
        if (!text.empty()) text += u"+";
        text += *term;
    }
    return text;
}

std::optional<std::u16string> sumText(const std::vector<std::u16string>& terms,
                                      const std::shared_ptr<NCEvaluator>& evaluator) {
    if (terms.empty()) return std::nullopt;
    if (terms.size() <= kTermsPerRun) return joinedTerms(terms.begin(), terms.end());
    if (!evaluator) return std::nullopt;
    std::u16string total;
    for (size_t start = 0; start < terms.size(); start += kTermsPerRun) {
        const size_t end = std::min(terms.size(), start + kTermsPerRun);
        std::u16string run = joinedTerms(terms.begin() + static_cast<std::ptrdiff_t>(start),
                                         terms.begin() + static_cast<std::ptrdiff_t>(end));
        if (!total.empty()) run = total + u"+" + run;
        std::shared_ptr<NCResult> result =
            evaluator->evaluateExpression(NCExpression::withSimpleString(run));
        std::optional<std::u16string> value = result && result->resultType() == NCResultTypeValue
                                                  ? result->completeStringValue()
                                                  : std::nullopt;
        if (!value || value->empty()) return std::nullopt;
        total = *value;
        if (std::optional<std::u16string> unit = result->unitString(); unit && !unit->empty())
            total += u" " + *unit;
    }
    return total;
}

}  // namespace

NCLineCollectionStatistics::NCLineCollectionStatistics(
    std::shared_ptr<NCLineCollection> lineCollection, std::shared_ptr<NCEvaluator> evaluator)
    : m_lineCollection(std::move(lineCollection)), m_evaluator(std::move(evaluator)) {}

NCLineCollectionStatistics::NCLineCollectionStatistics(
    std::shared_ptr<NCLineCollection> lineCollection,
    const std::shared_ptr<NCEnvironment>& environment)
    : NCLineCollectionStatistics(std::move(lineCollection), evaluatorFor(environment)) {}

NCLineCollectionStatistics::NCLineCollectionStatistics(
    std::shared_ptr<NCLineCollection> lineCollection)
    : NCLineCollectionStatistics(lineCollection,
                                 lineCollection ? lineCollection->environment() : nullptr) {}

std::shared_ptr<NCLineCollection> NCLineCollectionStatistics::lineCollection() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lineCollection;
}

void NCLineCollectionStatistics::setLineCollection(std::shared_ptr<NCLineCollection> lines) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lineCollection = std::move(lines);
}

std::shared_ptr<NCEvaluator> NCLineCollectionStatistics::evaluator() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_evaluator;
}

void NCLineCollectionStatistics::setEvaluator(std::shared_ptr<NCEvaluator> evaluator) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_evaluator = std::move(evaluator);
}

std::optional<std::u16string> NCLineCollectionStatistics::totalString(const NSIndexSet& indexes,
                                                                      uint64_t* count) const {
    std::shared_ptr<NCLineCollection> lines = lineCollection();
    std::vector<std::u16string> terms;
    uint64_t percentages = 0;
    for (uint64_t index : indexes.indexes()) {
        std::shared_ptr<NCResult> result = answerAt(lines.get(), index);
        if (!result) continue;
        std::optional<std::u16string> value = result->completeStringValue();
        if (value && !value->empty()) {
            std::u16string term = *value;
            if (std::optional<std::u16string> unit = result->unitString(); unit && !unit->empty())
                term += u" " + *unit;
            terms.push_back(std::move(term));
            if (result->flags() == NCResultFlagPercentage) ++percentages;
        }
    }
    const uint64_t values = terms.size();
    if (count) *count = values;
    // Percentages mixed with other values have no total. Only the chosen values count: lines
    // outside the set, or without an answer, do not make a set of percentages mixed.
    if (percentages > 0 && percentages < values) return std::nullopt;
    return sumText(terms, evaluator());
}

std::shared_ptr<NCExpression> NCLineCollectionStatistics::preparedSumExpression(
    const NSIndexSet& indexes) const {
    std::optional<std::u16string> total = totalString(indexes, nullptr);
    return total ? NCExpression::withSimpleString(*total) : nullptr;
}

std::shared_ptr<NCExpression> NCLineCollectionStatistics::preparedMeanExpression(
    const NSIndexSet& indexes, uint64_t* count) const {
    uint64_t values = 0;
    std::optional<std::u16string> total = totalString(indexes, &values);
    if (count) *count = values;
    if (!total || values == 0) return nullptr;
    return NCExpression::expressionWithString(u"(" + *total + u") / " + decimalText(values));
}

std::shared_ptr<NCExpression> NCLineCollectionStatistics::preparedVarianceExpression(
    const NSIndexSet& indexes) const {
    uint64_t values = 0;
    std::shared_ptr<NCExpression> meanExpression = preparedMeanExpression(indexes, &values);
    if (!meanExpression) return nullptr;
    std::shared_ptr<NCEvaluator> meanEvaluator = NCEvaluator::sharedEvaluator();
    if (!meanEvaluator) meanEvaluator = evaluator();
    if (!meanEvaluator) return nullptr;
    std::shared_ptr<NCResult> meanResult = meanEvaluator->evaluateExpression(meanExpression);
    std::optional<std::u16string> mean =
        meanResult ? meanResult->completeStringValue() : std::nullopt;
    if (!mean || mean->empty()) return nullptr;
    std::shared_ptr<NCLineCollection> lines = lineCollection();
    std::vector<std::u16string> squares;
    for (uint64_t index : indexes.indexes()) {
        std::shared_ptr<NCResult> result = answerAt(lines.get(), index);
        std::optional<std::u16string> value = result ? result->completeStringValue() : std::nullopt;
        if (!value || value->empty()) continue;
        // Each side bracketed: a negative value or mean stays one operand.
        const std::u16string difference = u"((" + *value + u")-(" + *mean + u"))";
        squares.push_back(difference + u"*" + difference);
    }
    std::optional<std::u16string> text = sumText(squares, evaluator());
    if (!text) return nullptr;
    return NCExpression::expressionWithString(u"(" + *text + u")/" + decimalText(values));
}

std::shared_ptr<NCExpression> NCLineCollectionStatistics::preparedStandardDeviationExpression(
    const NSIndexSet& indexes) const {
    std::shared_ptr<NCExpression> variance = preparedVarianceExpression(indexes);
    if (!variance || !variance->originalString()) return nullptr;
    return NCExpression::expressionWithString(u"sqrt(" + *variance->originalString() + u")");
}

std::shared_ptr<NCResult> NCLineCollectionStatistics::getStatistic(NCStatisticType kind,
                                                                   const NSIndexSet& indexes) {
    std::shared_ptr<NCExpression> expression;
    switch (kind) {
        case NCStatisticTypeSum:
            expression = preparedSumExpression(indexes);
            break;
        case NCStatisticTypeMean:
            expression = preparedMeanExpression(indexes, nullptr);
            break;
        case NCStatisticTypeVariance:
            expression = preparedVarianceExpression(indexes);
            break;
        case NCStatisticTypeStandardDeviation:
            expression = preparedStandardDeviationExpression(indexes);
            break;
        default:
            break;
    }
    std::shared_ptr<NCEvaluator> statisticsEvaluator = evaluator();
    if (!expression || !statisticsEvaluator) return NCResult::emptyResult();
    std::shared_ptr<NCResult> result = statisticsEvaluator->evaluateExpression(expression);
    return result ? result : NCResult::emptyResult();
}

std::shared_ptr<NCResult> NCLineCollectionStatistics::getStatistic(NCStatisticType kind) {
    std::shared_ptr<NCLineCollection> lines = lineCollection();
    const uint64_t count = lines ? lines->countOfLines() : 0;
    return getStatistic(kind, count ? NSIndexSet(NSRange{0, count}) : NSIndexSet());
}
