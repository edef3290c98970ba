// Names of the four statistics of a document (1 total, 2 average, 3 variance, 4 standard
// deviation), localised through the application's strings.
#ifndef NUMBERA_KIT_NK_STATISTICS_HELPER_H
#define NUMBERA_KIT_NK_STATISTICS_HELPER_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class NKStatisticsHelper {
  public:
    static NKStatisticsHelper& sharedHelper();

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
    int32_t m_defaultStatistic = 1;
};

#endif
