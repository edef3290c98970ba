// Total, average, variance and standard deviation of a document's answers. The numbers are not
// added here: an arithmetic expression is written from the answers' texts and units and
// evaluated, so unit conversion and precision are the ordinary evaluation's.
#ifndef NUMBERA_CORE_NC_LINE_COLLECTION_STATISTICS_H
#define NUMBERA_CORE_NC_LINE_COLLECTION_STATISTICS_H

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "NCEvaluator.h"
#include "NCLineCollection.h"
#include "NSIndexSet.h"

typedef int32_t NCStatisticType;
enum : NCStatisticType {
    NCStatisticTypeSum = 1,
    NCStatisticTypeMean = 2,
    // Population variance: divided by the number of values.
    NCStatisticTypeVariance = 3,
    NCStatisticTypeStandardDeviation = 4,
};

class NCLineCollectionStatistics {
  public:
    NCLineCollectionStatistics() = default;
    NCLineCollectionStatistics(std::shared_ptr<NCLineCollection> lineCollection,
                               std::shared_ptr<NCEvaluator> evaluator);
    NCLineCollectionStatistics(std::shared_ptr<NCLineCollection> lineCollection,
                               const std::shared_ptr<NCEnvironment>& environment);
    // In the collection's own environment.
    explicit NCLineCollectionStatistics(std::shared_ptr<NCLineCollection> lineCollection);

    std::shared_ptr<NCLineCollection> lineCollection() const;
    void setLineCollection(std::shared_ptr<NCLineCollection> lineCollection);
    std::shared_ptr<NCEvaluator> evaluator() const;
    void setEvaluator(std::shared_ptr<NCEvaluator> evaluator);

    // The empty result for an unknown kind, no answers, or percentages mixed with other values.
    std::shared_ptr<NCResult> getStatistic(NCStatisticType kind, const NSIndexSet& indexes);
    std::shared_ptr<NCResult> getStatistic(NCStatisticType kind);

    // The answers joined by "+", with units; none without a total. Counts the values.
    std::optional<std::u16string> totalString(const NSIndexSet& indexes, uint64_t* count) const;
    std::shared_ptr<NCExpression> preparedSumExpression(const NSIndexSet& indexes) const;
    std::shared_ptr<NCExpression> preparedMeanExpression(const NSIndexSet& indexes,
                                                         uint64_t* count) const;
    std::shared_ptr<NCExpression> preparedVarianceExpression(const NSIndexSet& indexes) const;
    std::shared_ptr<NCExpression> preparedStandardDeviationExpression(
        const NSIndexSet& indexes) const;

  private:
    mutable std::mutex m_mutex;  // the two properties
    std::shared_ptr<NCLineCollection> m_lineCollection;
    std::shared_ptr<NCEvaluator> m_evaluator;
};

#endif
