// The four statistics of a document (1 total, 2 average, 3 variance, 4 standard deviation):
// their localised names, and their values formatted for the statistics bar and for pasting.
#ifndef NUMBERA_KIT_NK_STATISTICS_HELPER_H
#define NUMBERA_KIT_NK_STATISTICS_HELPER_H

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "NCLineCollection.h"
#include "NCLineCollectionStatistics.h"
#include "NCResultFormattingOptions.h"

class NKStatisticsHelper {
  public:
    NKStatisticsHelper();
    static NKStatisticsHelper& sharedHelper();

    const std::shared_ptr<NCLineCollection>& lineCollection() const { return m_lineCollection; }
    // A different collection gets statistics of its own.
    void setLineCollection(std::shared_ptr<NCLineCollection> lineCollection);
    const std::shared_ptr<NCResultFormattingOptions>& formattingOptions() const {
        return m_formattingOptions;
    }
    void setFormattingOptions(std::shared_ptr<NCResultFormattingOptions> options) {
        if (options) m_formattingOptions = std::move(options);
    }

    // Empty without a value. Changes the helper's own options to the collection's separators.
    std::u16string statisticsValueForStatistic(int32_t type);
    std::shared_ptr<NCResult> defaultResult();
    std::u16string defaultStatisticValue() {
        return statisticsValueForStatistic(m_defaultStatistic);
    }
    // The default statistic as a line could read it back: the collection's number locale.
    std::u16string evaluatableStatisticsString();

    // None for a type outside 1...4.
    std::optional<std::u16string> statisticsTitleForStatisticsType(int32_t type) const;
    // 1 when no title matches.
    int32_t statisticsTypeForStatisticsTitle(const std::u16string& title) const;
    std::vector<std::u16string> allStatisticsTitles() const;

    int32_t defaultStatistic() const { return m_defaultStatistic; }
    void setDefaultStatistic(int32_t type) { m_defaultStatistic = type; }
    std::optional<std::u16string> defaultStatisticTitle() const {
        return statisticsTitleForStatisticsType(m_defaultStatistic);
    }

  private:
    std::shared_ptr<NCResult> statistic(int32_t type);

    std::shared_ptr<NCLineCollection> m_lineCollection;
    std::shared_ptr<NCLineCollectionStatistics> m_statistics;
    std::shared_ptr<NCResultFormattingOptions> m_formattingOptions;
    int32_t m_defaultStatistic = 1;
};

#endif
