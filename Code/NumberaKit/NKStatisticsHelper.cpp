#include "NKStatisticsHelper.h"

#include "NSLocalizedString.h"

namespace {
const char16_t* const kTitleKeys[] = {u"Total", u"Average", u"Variance", u"Standard Deviation"};
}

NKStatisticsHelper& NKStatisticsHelper::sharedHelper() {
    static NKStatisticsHelper helper;
    return helper;
}

std::optional<std::u16string> NKStatisticsHelper::statisticsTitleForStatisticsType(
    int32_t type) const {
    if (type < 1 || type > 4) return std::nullopt;
    return NSLocalizedString(kTitleKeys[type - 1]);
}

int32_t NKStatisticsHelper::statisticsTypeForStatisticsTitle(const std::u16string& title) const {
    for (int32_t type = 1; type <= 4; ++type)
        if (statisticsTitleForStatisticsType(type) == title) return type;
    return 1;
}

std::vector<std::u16string> NKStatisticsHelper::allStatisticsTitles() const {
    std::vector<std::u16string> titles;
    for (int32_t type = 1; type <= 4; ++type)
        titles.push_back(*statisticsTitleForStatisticsType(type));
    return titles;
}
